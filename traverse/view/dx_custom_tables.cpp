// The traverse view's ten custom result tables: "table.cus" and the "自定义" command.
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/ports.h"
#include "platform/textfile.h"
#include "survey/format.h"
#include "traverse/codes.h"
#include "traverse/view/dx_view.h"
#include "traverse/view/dx_view_ports.h"

void CDxView::SetCustomTableFolders(const std::string& programDir, const std::string& userDir) {
  m_strProgramDir = programDir;
  m_strUserDataDir = userDir;
}

bool CDxView::LoadCustomTables() {
  bool read = false;
  std::string message;
  for (const std::string* dir : {&m_strProgramDir, &m_strUserDataDir}) {
    if (dir->empty()) continue;
    const std::string path = *dir + traverse::kCusTableFileName;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) continue;
    std::string why;
    auto bytes = platform::ReadFileBytes(path, traverse::kMaxCusTableBytes, &why);
    if (!bytes) {
      if (message.empty()) message = "自定义表格文件“" + path + "”无法读取：" + why;
      continue;
    }
    traverse::CusTableReadReport report;
    traverse::ReadCustomTableLines(traverse::CustomTableFileLines(*bytes), m_cusTables, &report);
    read = true;
    if (message.empty()) message = traverse::CustomTableReadMessage(path, report);
  }
  if (!message.empty()) platform::Messages().ShowMessage(message);
  return read;
}

bool CDxView::SaveCustomTables() {
  std::string why;
  const std::string path = m_strUserDataDir + traverse::kCusTableFileName;
  if (m_strUserDataDir.empty()) {
    why = "没有用户数据文件夹";
  } else {
    std::error_code ec;
    std::filesystem::create_directories(m_strUserDataDir, ec);
    int badLine = 0;
    std::string badChar;
    auto bytes = platform::EncodeGbkLines(traverse::WriteCustomTableLines(m_cusTables), &badLine, &badChar);
    if (!bytes) why = survey::Format("第%d个表格的名称中的字符“%s”无法以GBK编码保存", (badLine + 1) / 2, badChar);
    else if (platform::WriteFileAtomic(path, *bytes, &why)) return true;
  }
  platform::Messages().ShowMessage("自定义表格文件“" + path + "”保存失败：" + why, platform::MsgIcon::Error);
  return false;
}

void CDxView::OnCustomTable() {
  CommandScope scope(*this);
  const std::string prefix = traverse::kTableCustomPrefix;
  const std::size_t at = TableCode.find(prefix);
  if (at == std::string::npos) {
    platform::Messages().ShowMessage("本表格不能自定义");
    return;
  }
  const int i = std::atoi(TableCode.c_str() + at + prefix.size());
  if (i < 0 || i >= traverse::kCustomTables || !m_pViewPorts) return;
  CCusTable& def = m_cusTables[static_cast<std::size_t>(i)];
  const traverse::CCusTableSetForm before = traverse::CCusTableSetForm::FromTable(def);
  traverse::CCusTableSetForm form = before;
  if (!m_pViewPorts->RunCustomTableDialog(form)) return;
  // OK with the name and ticks as they were keeps the definition as it is written
  // (its columns in their order, codes no tick stands for) and writes no file.
  if (form == before) return;
  def = form.ToTable();
  // A definition left without columns is not shown: showing it would open this
  // dialog again at once.
  if (!def.codes.empty()) ShowTable(TableCode);
  m_pViewPorts->RenameCustomTableItem(i, def.name);
  SaveCustomTables();
}
