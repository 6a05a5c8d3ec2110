// "表格": the table settings dialog on the grid's values.
#include "table/table_set_form.h"
#include "table/table_view.h"

void CTableView::OnTableSettings() {
  const table::CTableSetForm before = table::CTableSetForm::FromView(*this);
  table::CTableSetForm form = before;
  if (!m_host || !m_host->RunTableSettingsDialog(form)) return;
  // OK with nothing changed leaves the table and the job's modified flag as they were.
  if (form == before) return;
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
