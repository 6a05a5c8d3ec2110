// "表格": the table settings dialog on the grid's values.
#include "table/table_set_form.h"
#include "table/table_view.h"

void CTableView::OnTableSettings() {
  table::CTableSetForm form = table::CTableSetForm::FromView(*this);
  if (!m_host || !m_host->RunTableSettingsDialog(form)) return;
  form.ApplyTo(*this);
  UpdateScrollBars();
  Repaint();
  table::Frame().SetDocumentModified();
}

void CTableView::ResetTableSettings(int fontHeight) {
  table::CTableSetForm::Defaults(fontHeight).ApplyTo(*this);
  UpdateScrollBars();
  Repaint();
}
