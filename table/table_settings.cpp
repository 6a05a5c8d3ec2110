// "表格": the table settings dialog on the grid's values.
#include "table/table_set_form.h"
#include "table/table_view.h"

void CTableView::OnTableSettings() {
  const table::CTableSetForm before = table::CTableSetForm::FromView(*this);
  table::CTableSetForm form = before;
  if (!m_host || !m_host->RunTableSettingsDialog(form)) return;
  // OK lays the table out again even with nothing changed (texts typed since may be
  // wider now); the job is marked modified only when a value changed.
  form.ApplyTo(*this);
  UpdateScrollBars();
  Repaint();
  if (!(form == before)) table::Frame().SetDocumentModified();
}

void CTableView::ResetTableSettings(int fontHeight) {
  table::CTableSetForm::Defaults(fontHeight).ApplyTo(*this);
  UpdateScrollBars();
  Repaint();
}
