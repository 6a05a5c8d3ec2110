// The grid's export entry points: the text export flow, the spreadsheet and
// word-processor dialogs, and the session file those dialogs write to.
#include <cstdint>
#include <filesystem>
#include <optional>

#include "platform/ports.h"
#include "platform/services.h"
#include "table/export/export_ports.h"
#include "table/export/export_session.h"
#include "table/export/text_export.h"
#include "platform/textfile.h"
#include "table/table_view.h"

namespace table {
namespace {

class NoExportDialogs final : public IExportDialogs {
 public:
  bool RunTextExportDialog(TextExportSettings&) override {
    SayNotAvailable("文本");
    return false;
  }
  void ShowExcelDialog(CTableView&) override { SayNotAvailable("EXCEL"); }
  void ShowWordDialog(CTableView&) override { SayNotAvailable("WORD"); }
  void ShowCadDialog(CTableView&) override { SayNotAvailable("CAD"); }
};
NoExportDialogs g_noDialogs;
IExportDialogs* g_dialogs = nullptr;

}  // namespace

IExportDialogs& ExportDialogs() { return g_dialogs ? *g_dialogs : g_noDialogs; }
IExportDialogs* SetExportDialogs(IExportDialogs* dialogs) {
  IExportDialogs* old = g_dialogs;
  g_dialogs = dialogs;
  return old;
}

bool CExportSession::Attach(bool wantNew, const std::string& caption, const std::string& filter,
                            const std::string& suffix) {
  if (!wantNew && !path.empty()) {
    target = path;
    newFile = false;
    return true;
  }
  platform::FileOptions o;
  o.overwritePrompt = wantNew;
  o.defaultSuffix = suffix;
  std::optional<std::string> chosen = platform::Desktop().files->SaveFile(caption, filter, "", o);
  if (!chosen || chosen->empty()) return false;
  target = *chosen;
  newFile = wantNew;
  if (target != path) {
    content.reset();
    stamp.clear();
  }
  return true;
}

namespace {

// Size and FNV-1a hash of a file's bytes; "" when it cannot be read.
std::string StampOf(const std::string& file) {
  std::optional<std::string> bytes = platform::ReadFileBytes(file, std::size_t(1) << 31);
  if (!bytes) return "";
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : *bytes) h = (h ^ c) * 1099511628211ull;
  return std::to_string(bytes->size()) + ":" + std::to_string(h);
}

}  // namespace

bool CExportSession::AddsToFile() const {
  std::error_code ec;
  if (newFile || !std::filesystem::exists(target, ec)) return false;
  return target != path || !content.has_value() || stamp.empty() || StampOf(target) != stamp;
}

void CExportSession::Commit() {
  path = target;
  newFile = false;
  written = true;
  stamp = StampOf(path);
}

bool CExportSession::Write(const std::function<bool(const std::string&, std::string*)>& write) {
  std::string error;
  bool ok;
  {
    platform::WaitCursor wait;
    ok = write(target, &error);
  }
  if (!ok) {
    platform::Messages().ShowMessage("表格未能输出到文件“" + target + "”：\n" + error, platform::MsgIcon::Error);
    return false;
  }
  Commit();
  return true;
}

ExportRun RunExcelExport(CTableView& view, bool newFile, bool allowHalfRow) {
  ExportRun run;
  if (view.GetRowCount() < 1 || view.GetColCount() < 1) {
    platform::Messages().ShowMessage("当前表格无内容输出！");
    return run;
  }
  if (!view.ExcelSession().Attach(newFile, "输出到EXCEL", "excel文件(*.xlsx)", "xlsx")) return run;
  if (view.ExportToExcel(allowHalfRow && view.HasStaggeredColumn())) {
    run.result = ExportRun::Exported;
    run.status = "该表格已输出,可另选表格继续输出或单击“完成”";
  } else {
    run.result = ExportRun::Failed;
    run.status = "该表格输出失败";
  }
  return run;
}

namespace {

void EndSession(CExportSession& s, bool open) {
  const std::string path = s.written ? s.path : std::string();
  s.Forget();
  if (open && !path.empty() && !platform::Desktop().desktop->OpenWithDesktop(path))
    platform::Messages().ShowMessage("文件“" + path + "”已输出，但没有能打开它的程序。");
}

}  // namespace

void EndExcelSession(CTableView& view, bool open) { EndSession(view.ExcelSession(), open); }

ExportRun RunWordExport(CTableView& view, bool newFile, bool allowRowOffset) {
  ExportRun run;
  const int n = view.GetRowCount();
  if (n < 1 || view.GetColCount() < 1) {
    platform::Messages().ShowMessage("当前表格无内容输出！");
    return run;
  }
  const bool offset = allowRowOffset && view.HasStaggeredColumn();
  const char* question = nullptr;
  if (n > 2000 && offset)
    question = "当前表格允许向下错开，输出较慢，\r\n\r\n建议直接在软件中打印或输出到EXCEL！\r\n\r\n是否继续输出？";
  else if (n > 10000)
    question = "当前表格内容较多，输出缓慢，\r\n\r\n建议直接在软件中打印或输出到EXCEL！\r\n\r\n是否继续输出？";
  if (question && !platform::Messages().AskYesNo(question)) return run;
  if (!view.WordSession().Attach(newFile, "输出到WORD", "WORD文件(*.odt)", "odt")) return run;
  if (view.ExportToWord(offset)) {
    run.result = ExportRun::Exported;
    run.status = view.WordSession().note + "输出完成。可继续输出其他表格或单击“完成”";
  } else {
    run.result = ExportRun::Failed;
  }
  return run;
}

}  // namespace table

void CTableView::OnExportText() {
  using namespace table;
  if (GetRowCount() < 1 || GetColCount() < 1) {
    platform::Messages().ShowMessage("无表格内容输出到文本文件!");
    return;
  }
  TextExportSettings s;
  if (!ExportDialogs().RunTextExportDialog(s)) return;
  const bool csv = s.format == kTextCsv;
  platform::FileOptions o;
  // A text table is added to a chosen file, so choosing one asks nothing.
  o.overwritePrompt = s.format != kTextTable;
  o.defaultSuffix = csv ? "csv" : "txt";
  std::optional<std::string> path = platform::Desktop().files->SaveFile(
      "输出到文本文件", csv ? "excel文件(*.csv)" : "文本文件(*.txt)", "", o);
  if (!path || path->empty()) return;
  std::string error;
  bool ok;
  {
    platform::WaitCursor wait;
    ok = WriteTextFile(*path, s.format, &error);
  }
  if (!ok) {
    platform::Messages().ShowMessage("表格未能输出到文件“" + *path + "”：\n" + error, platform::MsgIcon::Error);
    return;
  }
  if (s.openAfter && !platform::Desktop().desktop->OpenWithDesktop(*path))
    platform::Messages().ShowMessage("文件“" + *path + "”已输出，但没有能打开它的程序。");
}

bool CTableView::WriteTextFile(const std::string& path, int format, std::string* error) {
  return table::WriteTextExport(*this, path, format, error);
}

void CTableView::OnExportExcel() { table::ExportDialogs().ShowExcelDialog(*this); }
void CTableView::OnExportWord() { table::ExportDialogs().ShowWordDialog(*this); }
void CTableView::OnExportCad() { table::ExportDialogs().ShowCadDialog(*this); }
void CTableView::EndOfficeExport(bool open) { table::EndSession(m_wordSession, open); }
