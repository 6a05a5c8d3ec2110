#pragma once
// The traverse view on screen: the grid widget over CDxView, and the ports the
// presenter talks through (scheme dialog, navigation tree, document flag). Plugged
// into the main frame as view 1005.
#include <QObject>
#include <functional>
#include <memory>

#include "app/shell.h"
#include "app/views.h"
#include "traverse/view/dx_view.h"
#include "traverse/file/traverse_section.h"
#include "traverse/view/dx_view_ports.h"
#include "traverse/view/traverse_nav.h"

class CTableWidget;
class QPrinter;

namespace traverse_ui {

class CTraverseViewHost : public QObject, public traverse::ITraverseViewPorts,
                          public traverse::ITraverseNavTarget, public app::ITraverseFacts {
  Q_OBJECT
 public:
  // Builds the presenter and its grid widget (a child of parent). The shell's
  // services come from the frame; without them the view shows its own tables.
  explicit CTraverseViewHost(QWidget* parent = nullptr, app::IShellServices* shell = nullptr);
  ~CTraverseViewHost() override;

  CDxView& View() { return *view_; }
  CTableWidget* Widget() const { return widget_; }
  traverse::CTraverseDocSection& Section() { return section_; }
  app::INavSource& Nav() { return nav_; }
  // Prints the table shown into the printer (a PDF file, for one).
  void PrintTo(QPrinter& printer);

  // traverse::ITraverseViewPorts
  SchemeResult RunSchemeDialog(traverse::CSchemeForm& form) override;
  bool RunCustomTableDialog(traverse::CCusTableSetForm& form) override;
  void RenameCustomTableItem(int index, const std::string& name) override;
  bool RunExportKzdDialog(traverse::CExportKzdForm& form) override;
  void ReselectAfterCompute(bool plane) override;
  void RebuildAndSelectInput() override;
  void SelectCustomFormsBranch() override;
  void ClearTreeSelection() override;
  void ShowSchemeHelp() override;
  const records::IFieldBooks* FieldBooks() const override { return fieldBooks_ ? fieldBooks_() : nullptr; }
  // Where the field books come from (the records view, once the frame has it).
  void SetFieldBooksSource(std::function<const records::IFieldBooks*()> source) { fieldBooks_ = std::move(source); }
  bool IsDocumentModified() const override;
  void SetDocumentModified() override;

  // traverse::ITraverseNavTarget and app::ITraverseFacts
  int TraverseType() const override { return view_->m_nTraverseType; }
  int InputRowCount() const override { return static_cast<int>(view_->m_arrUnit.size()); }
  std::string CustomTableName(int i) const override;
  void ShowInFrame(bool drawing) override;
  void ShowTable(const std::string& code) override { view_->ShowTable(code); }
  void DrawErrorSearchDiagram() override;
  void DrawTraverseDiagram() override;
  void DrawPointPlot() override;

  // The interface scale changed.
  void ApplyUiScale();

 private:
  app::IShellServices* shell_ = nullptr;
  std::unique_ptr<CDxView> view_;
  traverse::CTraverseDocSection section_;
  CTableWidget* widget_ = nullptr;
  std::function<const records::IFieldBooks*()> fieldBooks_;
  traverse::CTraverseNavSource nav_{*this};
};

// Registers view 1005 with the main frame (call before the frame is built).
void RegisterTraverseView();

}  // namespace traverse_ui
