#pragma once
// The control-point dialog's values (CExportKzdDlg, "成果入库及输出到其它成图系统") and
// the export of adjusted points as a text file for another mapping system. The Qt
// dialog only shows a CExportKzdForm; every rule is here.
#include <string>
#include <vector>

namespace platform {
class IProfile;
}

namespace traverse {

// KzdMode.
enum KzdMode { kKzdRead = 0, kKzdStore = 1, kKzdExport = 2 };
// KzdSeparator: "逗号", "分号", "空格", "TAB", "换行".
enum KzdSeparator { kKzdComma = 0, kKzdSemicolon, kKzdBlank, kKzdTab, kKzdLineBreak };

// Control ids of the dialog.
enum KzdControl {
  kIdModeRead = 1076, kIdModeStore = 1074, kIdModeExport = 1075,
  kIdKzdPath = 1026, kIdBrowseKzd = 1007, kIdPolicy = 1028,
  kIdExtension = 1027, kIdCountLine = 1078, kIdSeparator = 1029, kIdExportPath = 1030,
  kIdBrowseOther = 1008, kIdSequence = 1031, kIdKnownCode = 1032, kIdOtherCode = 1033,
};

struct CExportKzdForm {
  int mode = kKzdRead;
  std::string kzdPath;
  int policy = 0;  // KzdSameNamePolicy
  std::string extension = "dat";
  bool countLine = false;
  int separator = kKzdComma;
  std::string sequence = "DM,BM,X,Y,H";
  std::string knownCode, otherCode;
  std::string exportPath;

  // The values the profile keeps ("USER": 控制点文件名称, OtherExt, OtherBZdsh,
  // OtherFgFsh, OtherDataXl); the others start at their defaults.
  void LoadProfile(platform::IProfile& profile);
  // OK writes those of the four export keys whose value differs from what the profile
  // gives; the store path is written only by the choosers.
  void SaveProfile(platform::IProfile& profile) const;

  // UpdateControls: whether a control is enabled in the current mode.
  bool IsEnabled(int controlId) const;
  // OnBrowseKzdFile: the store picked with the chooser goes into kzdPath and the
  // profile. False on Cancel.
  bool BrowseKzdFile();
  // OnBrowseOtherFile: the export file, with the extension typed (dots removed).
  bool BrowseOtherFile();
  // OnOK: the gathered messages, "" when the values may be taken. The extension
  // loses its dots first.
  std::string Check();
  // OnOK as the button runs it: a message and false, or the profile written and true.
  bool Accept();
};

// The extension as typed, without any ".".
std::string CleanExtension(const std::string& typed);
// The separator's text ("," ";" " " TAB or a line break) and its name for messages.
std::string SeparatorText(int separator);
std::string SeparatorName(int separator);

// One point of the job for the export.
struct KzdExportPoint {
  std::string name;
  bool knownPlane = false;
  double x = 0, y = 0;
  bool hasHeight = false;
  double h = 0;
};

struct KzdExportResult {
  std::string text;    // UTF-8 with "\n" line ends
  int records = 0;     // points written
  std::string refused; // a message when a name or code holds the separator
};

// The export text: per point, the sequence items DM (name), BM (code), X, Y, H
// ("%.4f", H "0.0000" without a height) joined by the separator, a line break
// after each point; unknown items give nothing. Each name is written once (a closed
// traverse repeats its first points); the count line, when asked for, is the number
// of points written.
KzdExportResult BuildKzdExport(const CExportKzdForm& form, const std::vector<KzdExportPoint>& points);

// The export written atomically as GBK with CR LF line ends. False after a message.
bool WriteKzdExport(const CExportKzdForm& form, const std::vector<KzdExportPoint>& points);

// "%.4f" without the user's locale, and never "-0.0000".
std::string KzdNumber(double value);

}  // namespace traverse
