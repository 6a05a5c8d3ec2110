#pragma once
// What the output-to-CAD dialog ("输出到CAD") decides, without the dialog: the
// format, the DXF path check, the scale hint, and the output with its status,
// messages and the opening of the written file. Only DXF exists on this system;
// the DWG format is shown disabled.
#include <functional>
#include <string>

namespace drawing {

class CDrawView;

class CExportCadForm {
 public:
  // The source writes the DXF file; false with a reason on failure. The drawing
  // view passes WriteDxf over itself; a table view its own writer.
  using DxfWriter = std::function<bool(const std::string& path, std::string* error)>;

  explicit CExportCadForm(DxfWriter writer = {}) : writer_(std::move(writer)) {}
  void SetWriter(DxfWriter writer) { writer_ = std::move(writer); }

  void SetScaleHint(double scale);
  const std::string& ScaleHint() const { return m_strHint; }

  // The DXF output ("输出到新文件"). True when the file was written and the
  // dialog may close; false leaves it open (bad path or failed write).
  bool OnExportToNewFile();

  int m_nFormat = 1;             // 0 DWG (not available here), 1 DXF
  std::string m_strPath;         // edit 192
  bool m_bOpenAfter = true;      // check 1092
  std::string m_strStatus;       // the progress bar's text
  int m_nProgress = 0;

 private:
  void SetStatus(const std::string& s) { m_strStatus = s; }
  DxfWriter writer_;
  std::string m_strHint;
};

// The tip of the disabled DWG radio.
inline constexpr const char* kDwgNotAvailable = "本系统不提供DWG格式输出，请使用DXF格式。";

}  // namespace drawing
