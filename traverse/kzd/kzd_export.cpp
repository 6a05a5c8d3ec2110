#include "traverse/kzd/kzd_export.h"

#include <cmath>
#include <unordered_set>

#include "platform/gbk.h"
#include "platform/ports.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "survey/format.h"
#include "traverse/kzd/kzd_file.h"

namespace traverse {

namespace {

constexpr const char* kExtKey = "OtherExt";
constexpr const char* kCountKey = "OtherBZdsh";
constexpr const char* kSeparatorKey = "OtherFgFsh";
constexpr const char* kSequenceKey = "OtherDataXl";

std::string Trimmed(const std::string& s) {
  const auto a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string CleanExtension(const std::string& typed) {
  std::string out;
  for (char c : typed)
    if (c != '.') out += c;
  return Trimmed(out);
}

std::string SeparatorText(int separator) {
  switch (separator) {
    case kKzdSemicolon: return ";";
    case kKzdBlank: return " ";
    case kKzdTab: return "\t";
    case kKzdLineBreak: return "\n";
    default: return ",";
  }
}

std::string SeparatorName(int separator) {
  static const char* const kNames[] = {"逗号", "分号", "空格", "TAB", "换行"};
  return separator >= 0 && separator <= kKzdLineBreak ? kNames[separator] : kNames[0];
}

std::string KzdNumber(double value) {
  std::string s = survey::FormatNumber(value, 4);
  if (s == "-0.0000") s = "0.0000";
  return s;
}

void CExportKzdForm::LoadProfile(platform::IProfile& p) {
  kzdPath = p.GetString(kKzdProfileSection, kKzdPathKey, "");
  extension = p.GetString(kKzdProfileSection, kExtKey, "dat");
  countLine = p.GetInt(kKzdProfileSection, kCountKey, 0) != 0;
  separator = p.GetInt(kKzdProfileSection, kSeparatorKey, 0);
  if (separator < 0 || separator > kKzdLineBreak) separator = 0;
  sequence = p.GetString(kKzdProfileSection, kSequenceKey, "DM,BM,X,Y,H");
}

void CExportKzdForm::SaveProfile(platform::IProfile& p) const {
  // Only what differs from what the profile gives: a value as the dialog showed it
  // (a default never written, a suffix typed ".txt", a separator out of the list)
  // stays in the profile as it is.
  CExportKzdForm stored;
  stored.LoadProfile(p);
  if (CleanExtension(stored.extension) != extension) p.SetString(kKzdProfileSection, kExtKey, extension);
  if (stored.countLine != countLine) p.SetInt(kKzdProfileSection, kCountKey, countLine ? 1 : 0);
  if (stored.separator != separator) p.SetInt(kKzdProfileSection, kSeparatorKey, separator);
  if (stored.sequence != sequence) p.SetString(kKzdProfileSection, kSequenceKey, sequence);
}

bool CExportKzdForm::IsEnabled(int id) const {
  switch (id) {
    case kIdKzdPath:
    case kIdBrowseKzd: return mode != kKzdExport;
    case kIdPolicy: return mode == kKzdStore;
    case kIdExtension:
    case kIdCountLine:
    case kIdSeparator:
    case kIdExportPath:
    case kIdBrowseOther:
    case kIdSequence:
    case kIdKnownCode:
    case kIdOtherCode: return mode == kKzdExport;
    default: return true;
  }
}

bool CExportKzdForm::BrowseKzdFile() {
  platform::FileOptions o;
  o.overwritePrompt = false;
  o.defaultSuffix = "kzd";
  o.startFolder = FolderOf(kzdPath);
  auto chosen = platform::Desktop().files->SaveFile("选择控制点数据库文件", "控制点数据文件(*.kzd)", kzdPath, o);
  if (!chosen) return false;
  kzdPath = *chosen;
  platform::Desktop().profile->SetString(kKzdProfileSection, kKzdPathKey, kzdPath);
  return true;
}

bool CExportKzdForm::BrowseOtherFile() {
  extension = CleanExtension(extension);
  if (extension.empty()) {
    platform::Messages().ShowMessage("请先填写文件后缀名！");
    return false;
  }
  platform::FileOptions o;
  o.overwritePrompt = true;
  o.defaultSuffix = extension;
  o.startFolder = FolderOf(exportPath);
  auto chosen = platform::Desktop().files->SaveFile(
      "输出到其它成图系统文件", "其它成图系统文件(*." + extension + ")", exportPath, o);
  if (!chosen) return false;
  exportPath = *chosen;
  return true;
}

std::string CExportKzdForm::Check() {
  extension = CleanExtension(extension);
  std::string messages;
  if (mode != kKzdExport) {
    if (kzdPath.find(".kzd") == std::string::npos) messages += "文件路径不正确\n";
  } else {
    if (extension.empty()) messages += "文件后缀名不能为空\n";
    if (exportPath.find(extension) == std::string::npos) messages += "文件路径不正确\n";
    if (Trimmed(sequence).empty()) {
      messages += "数据序列不能为空\n";
    } else {
      // An item the export does not know would write nothing, so a sequence typed
      // with full-width commas ("DM，X，Y") would give empty lines reported as done.
      std::vector<std::string> items;
      survey::SplitText(sequence, items, ',');
      for (const std::string& item : items)
        if (!item.empty() && item != "DM" && item != "BM" && item != "X" && item != "Y" && item != "H") {
          messages += "数据序列中的“" + item + "”不是可输出的项（DM、BM、X、Y、H）\n";
          break;
        }
    }
  }
  return messages;
}

bool CExportKzdForm::Accept() {
  const std::string messages = Check();
  if (!messages.empty()) {
    platform::Messages().ShowMessage(messages);
    return false;
  }
  SaveProfile(*platform::Desktop().profile);
  return true;
}

KzdExportResult BuildKzdExport(const CExportKzdForm& form, const std::vector<KzdExportPoint>& points) {
  KzdExportResult result;
  std::vector<std::string> items;
  survey::SplitText(form.sequence, items, ',');
  const std::string sep = SeparatorText(form.separator);
  // A text holding the separator (or a line break) would split its record.
  auto splits = [&sep](const std::string& s) {
    return s.find(sep) != std::string::npos || s.find('\n') != std::string::npos ||
           s.find('\r') != std::string::npos;
  };
  bool usesName = false, usesCode = false;
  for (const auto& item : items) {
    usesName |= item == "DM";
    usesCode |= item == "BM";
  }
  if (usesCode) {
    for (const std::string* code : {&form.knownCode, &form.otherCode})
      if (splits(*code)) {
        result.refused = survey::Format("编码“%s”含有分隔符（%s），无法输出！", *code, SeparatorName(form.separator));
        return result;
      }
  }

  std::string body;
  std::unordered_set<std::string> written;
  for (const KzdExportPoint& p : points) {
    if (!written.insert(p.name).second) continue;  // the same point again
    if (usesName && splits(p.name)) {
      result.refused = survey::Format("点名“%s”含有分隔符（%s），无法输出！", p.name, SeparatorName(form.separator));
      return result;
    }
    std::string record;
    bool first = true;
    for (const auto& item : items) {
      std::string text;
      if (item == "DM") text = p.name;
      else if (item == "BM") text = p.knownPlane ? form.knownCode : form.otherCode;
      else if (item == "X") text = KzdNumber(p.x);
      else if (item == "Y") text = KzdNumber(p.y);
      else if (item == "H") text = p.hasHeight ? KzdNumber(p.h) : "0.0000";
      else continue;  // an unknown item gives neither text nor separator
      if (!first) record += sep;
      record += text;
      first = false;
    }
    body += record;
    body += '\n';
    ++result.records;
  }
  if (form.countLine) result.text = survey::Format("%d\n", result.records);
  result.text += body;
  return result;
}

bool WriteKzdExport(const CExportKzdForm& form, const std::vector<KzdExportPoint>& points) {
  const KzdExportResult r = BuildKzdExport(form, points);
  if (!r.refused.empty()) {
    platform::Messages().ShowMessage(r.refused);
    return false;
  }
  std::string crlf;
  crlf.reserve(r.text.size() + r.text.size() / 16);
  for (char c : r.text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  std::size_t bad = 0;
  auto gbk = platform::Utf8ToGbk(crlf, &bad);
  if (!gbk) {
    platform::Messages().ShowMessage(
        survey::Format("含有GBK无法保存的字符“%s”，无法输出！", platform::FirstNonGbkChar(crlf)));
    return false;
  }
  std::string why;
  if (!platform::WriteFileAtomic(form.exportPath, *gbk, &why)) {
    platform::Messages().ShowMessage(survey::Format("无法写入文件“%s”：\n%s", form.exportPath, why),
                                     platform::MsgIcon::Error);
    return false;
  }
  return true;
}

}  // namespace traverse
