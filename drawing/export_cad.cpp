#include "drawing/export_cad.h"

#include "platform/ports.h"
#include "platform/services.h"
#include "survey/format.h"

namespace drawing {
namespace {

std::string Trim(const std::string& s) {
  const auto a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return "";
  const auto b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() > tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

void CExportCadForm::SetScaleHint(double scale) {
  m_strHint = "当前图形比例为1：" + survey::FormatNumber(scale, -1) +
              "，输出到CAD后图形比例总是1:1000，请在CAD中打印时设置比例为1毫米=" +
              survey::FormatNumber(scale / 1000, -1) + "单位";
}

bool CExportCadForm::OnExportToNewFile() {
  const std::string path = Trim(m_strPath);
  m_strPath = path;
  // The name must end with ".dxf" ("plan.dxf.txt" is not a DXF file); the test
  // stays case-sensitive.
  if (!EndsWith(path, ".dxf")) {
    platform::Messages().ShowMessage("请正确填写DXF文件的保存路径！");
    return false;
  }
  SetStatus("正在输出...");
  std::string error;
  const bool ok = writer_ ? writer_(path, &error) : (error = "没有可输出的图形", false);
  if (!ok) {
    SetStatus("输出失败");
    platform::Messages().ShowMessage("输出到dxf文件失败：\n" + path + "\n" + error, platform::MsgIcon::Error);
    return false;
  }
  if (m_bOpenAfter) {
    SetStatus("输出完成,正在启动CAD打开");
    if (!platform::Desktop().desktop->OpenWithDesktop(path))
      platform::Messages().ShowMessage("输出到dxf文件完成，但无法用桌面程序打开：\n" + path);
  } else {
    platform::Messages().ShowMessage("输出到dxf文件完成。", platform::MsgIcon::Information);
  }
  SetStatus("");
  return true;
}

}  // namespace drawing
