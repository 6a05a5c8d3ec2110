#pragma once
// What the traverse view needs from outside its grid: the scheme dialog, the
// adjustment tree of the navigation pane, the help page and the document's
// modified flag. The Qt side implements it (traverse/ui/); tests script it.
#include <string>

namespace records {
class IFieldBooks;
}  // namespace records

namespace traverse {

class CSchemeForm;
struct CCusTableSetForm;
struct CExportKzdForm;

class ITraverseViewPorts {
 public:
  enum class SchemeResult { Ok, Cancel, Help };
  virtual ~ITraverseViewPorts() = default;

  // The modal scheme dialog on a copy of the scheme: Ok writes the form back.
  virtual SchemeResult RunSchemeDialog(CSchemeForm& form) = 0;
  // The custom-table definition dialog on a copy of the definition; true after OK
  // (the form then holds the user's name and choices).
  virtual bool RunCustomTableDialog(CCusTableSetForm& form) = 0;
  // The tree's item of custom table i (0..9) after its name changed.
  virtual void RenameCustomTableItem(int /*index*/, const std::string& /*name*/) {}

  // The control-point dialog ("成果入库及输出到其它成图系统") on the form; true after OK.
  virtual bool RunExportKzdDialog(CExportKzdForm& /*form*/) { return false; }

  // The adjustment tree after a successful computation: the selected item again
  // when it is a result leaf, else the plane table (plane part) or the height
  // table. The tree then calls ShowTable for it.
  virtual void ReselectAfterCompute(bool plane) = 0;
  // After the scheme's OK: drop the selection, rebuild the tree for the new type
  // and select the data-input item (which shows it).
  virtual void RebuildAndSelectInput() = 0;
  // The tree's caret on "自定义成果形式" (nothing is shown).
  virtual void SelectCustomFormsBranch() = 0;
  virtual void ClearTreeSelection() = 0;
  // The help section with the scheme page "1、 计算方案".
  virtual void ShowSchemeHelp() = 0;

  // The computed field books and their summary ("读取"); nullptr when the job has none.
  virtual const records::IFieldBooks* FieldBooks() const { return nullptr; }

  virtual bool IsDocumentModified() const = 0;
  virtual void SetDocumentModified() = 0;
};

}  // namespace traverse
