#include "app/doc.h"

#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/gbk.h"
#include "platform/number.h"
#include "platform/ports.h"
#include "platform/services.h"
#include "platform/textfile.h"

namespace app {


namespace {

constexpr const char* kSettings = "settings";
constexpr const char* kLowVerAlarm = "LowVerAlarm";

constexpr const char* kNewerFileQuestion = "正在读取高版本数据，可能出错！\n是否继续？";
constexpr const char* kWrongHeader = "不是Quintar当前版本文件！";
constexpr const char* kLowVersionQuestion =
    "您正在打开4.2及以下版本文件，该文件中没有设置限差信息，\n"
    "请在打开文件后在“项目设置”中设置限差，否则软件默认按一级导线的限差处理。\n\n\n"
    "以后在打开低版本文件时是否继续弹出提示？";

std::string Replace1(std::string text, const std::string& arg) {
  auto at = text.find("%1");
  if (at != std::string::npos) text.replace(at, 2, arg);
  return text;
}

// "----------名称----------": ten dashes, a name, ten dashes. The closing line (28
// dashes) and a banner with trailing blanks are no banners.
bool IsBannerLine(const std::string& line) {
  const std::string dashes(10, '-');
  return line.size() > 20 && line.compare(0, 10, dashes) == 0 && line.compare(line.size() - 10, 10, dashes) == 0 &&
         line[10] != '-' && line[line.size() - 11] != '-';
}

// Reads a section nobody reads, banner included, through its closing line. Stops
// before the next banner when the closing line is missing, so it never swallows the
// section after it.
std::vector<std::string> KeepSection(const std::string& banner, LineReader& in) {
  std::vector<std::string> lines{banner};
  while (const std::string* next = in.Peek()) {
    if (IsBannerLine(*next)) break;
    std::string line;
    in.Next(&line);
    lines.push_back(std::move(line));
    if (lines.back() == kSectionEnd) break;
  }
  return lines;
}

// The name a banner carries, as the user knows the section.
std::string SectionName(const std::string& banner) {
  if (banner == kRecordsBanner) return "观测记录";
  if (banner == kTraverseBanner) return "平差计算";
  if (banner == kToolsBanner) return "常用工具";
  return "“" + banner.substr(10, banner.size() - 20) + "”";
}

std::string Join(const std::vector<std::string>& items, const std::string& sep) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? sep : "") + items[i];
  return out;
}

// The encoding the header line is written in (a UTF-8 byte-order mark skipped):
// GBK as this program writes it, or UTF-8 as an editor may have saved it. False
// when the first line is no header in either.
bool HeaderEncoding(std::string_view bytes, platform::TextEncoding* encoding, std::size_t* bom) {
  *bom = bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  std::string_view first = bytes.substr(*bom);
  first = first.substr(0, first.find_first_of("\r\n"));
  if (*bom == 0 && first == *platform::Utf8ToGbk(kFileHeader)) {
    *encoding = platform::TextEncoding::Gbk;
    return true;
  }
  if (first == kFileHeader) {
    *encoding = platform::TextEncoding::Utf8;
    return true;
  }
  return false;
}

bool SameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  if (a == b) return true;
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec);
}

std::string BaseName(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool LowVersionAlarmApplies(int traverseType, int inputRows, int alarmOn, int fileVersion) {
  return (traverseType == 0 || traverseType == 1) && inputRows > 3 && alarmOn != 0 &&
         fileVersion <= 420;
}

CVornDoc::CVornDoc() : m_strVersion(kProgramVersion) {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
}

CVornDoc::~CVornDoc() = default;

void CVornDoc::Notify() {
  if (parts_.changed) parts_.changed();
}

void CVornDoc::SetModifiedFlag(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  Notify();
}

void CVornDoc::SetPathName(const std::string& path) {
  path_ = path;
  Notify();
}

std::string CVornDoc::Title() const { return path_.empty() ? kUntitled : BaseName(path_); }

void CVornDoc::DeleteContents() {
  m_bLowVerAlarm = platform::Desktop().profile->GetInt(kSettings, kLowVerAlarm, 1);
  m_bJustLoaded = 0;
  kept_.clear();
  incompleteRead_.clear();
  // The table settings of the last job (a font height, decimals, margins) are not
  // this job's: every grid starts from its defaults, then each part sets its own.
  if (parts_.resetTables) parts_.resetTables();
  if (parts_.records) parts_.records->Reset();
  if (parts_.traverse) parts_.traverse->Reset();
  if (parts_.drawing) parts_.drawing->ResetView();
  if (parts_.tools) parts_.tools->Reset();
  if (parts_.buildTrees) parts_.buildTrees(-1);
}

bool CVornDoc::OnNewDocument() {
  DeleteContents();
  m_nFileVersion = kProgramVersionNumber;
  modified_ = false;
  SetPathName("");
  return true;
}

bool CVornDoc::OnOpenDocument(const std::string& path) {
  auto& msg = platform::Messages();
  // Everything that can refuse the file comes first; the job on screen is touched
  // only once the file has been accepted and read.
  std::string why;
  auto bytes = platform::ReadFileBytes(path, kMaxJobFileBytes, &why);
  if (!bytes) {
    msg.ShowMessage("无法打开文件“" + path + "”。\n" + why + "。", platform::MsgIcon::Error);
    return false;
  }
  platform::TextEncoding encoding = platform::TextEncoding::Gbk;
  std::size_t bom = 0;
  if (!HeaderEncoding(*bytes, &encoding, &bom)) {
    if (platform::LooksLikeUtf16(*bytes))
      msg.ShowMessage("无法打开文件“" + path + "”。\n文件是UTF-16编码的文本，不是GBK文本。\n请用文本编辑器另存为GBK（ANSI）编码后再打开。",
                      platform::MsgIcon::Error);
    else
      msg.ShowMessage(kWrongHeader);
    return false;
  }
  // A cut file ends inside a line; a whole one with a line end (or its closing line).
  const bool endsWithLineEnd = !bytes->empty() && (bytes->back() == '\n' || bytes->back() == '\r');
  platform::GbkDamage damage;
  LineReader in(platform::SplitTextLines(std::string_view(*bytes).substr(bom), encoding, &damage,
                                         kEmptyLinesThatCount));
  bytes.reset();
  std::string line;
  in.Next(&line);  // the header, checked above
  line.clear();
  const bool hasVersion = in.Next(&line);
  const int version = platform::ParseInt(line);
  if (version > platform::ParseInt(m_strVersion) && !msg.AskYesNo(kNewerFileQuestion)) return false;

  IDocSection* sections[] = {parts_.records, parts_.traverse, parts_.tools};
  const std::string known[3] = {kRecordsBanner, kTraverseBanner, kToolsBanner};
  std::vector<KeptSection> kept;
  std::vector<std::string> incomplete;  // sections that end without their closing line
  if (!hasVersion) incomplete.push_back("文件在标题行后中断，缺少版本行和结束行");
  int sectionsRead = 0;
  try {
    for (auto* s : sections)
      if (s) s->BeginRead(version);
    if (version < 410) {
      if (parts_.records) parts_.records->ReadSection(in);
      in.Rewind();
      if (parts_.traverse) parts_.traverse->ReadLegacySection(in);
    } else {
      std::string banners[3];
      for (int i = 0; i < 3; ++i) banners[i] = sections[i] ? sections[i]->Banner() : known[i];
      // A section whose last line read is not its closing line ran into the next
      // banner or the end of the file: it was cut.
      auto closed = [&in] { return in.Position() > 0 && in.Lines()[in.Position() - 1] == kSectionEnd; };
      int slot = -1;  // the last of the three sections met so far
      while (in.Next(&line)) {
        int i = 0;
        while (i < 3 && line != banners[i]) ++i;
        if (i < 3) {
          slot = i;
          ++sectionsRead;
          if (sections[i]) sections[i]->ReadSection(in);
          else kept.push_back({i, KeepSection(line, in)});
          if (!closed()) incomplete.push_back(SectionName(line) + "部分缺少结束行");
        } else if (IsBannerLine(line)) {
          ++sectionsRead;
          kept.push_back({slot, KeepSection(line, in)});
          if (!closed()) incomplete.push_back(SectionName(line) + "部分缺少结束行");
        }
      }
      if (sectionsRead == 0) incomplete.push_back("文件中没有任何数据部分，缺少各部分的结束行");
    }
  } catch (const std::exception&) {
    for (auto* s : sections)
      if (s) s->AbortRead();
    msg.ShowMessage("读取文件“" + path + "”时出错，文件未打开。", platform::MsgIcon::Error);
    return false;
  }
  ReadNotes notes = std::move(in.Notes());
  if (!notes.refusal.empty()) {
    for (auto* s : sections)
      if (s) s->AbortRead();
    msg.ShowMessage("无法打开文件“" + path + "”。\n" + notes.refusal + "。\n为免丢失数据，文件未打开。",
                    platform::MsgIcon::Error);
    return false;
  }
  if (incomplete.empty() && !endsWithLineEnd && !in.Lines().empty() && in.Lines().back() != kSectionEnd)
    incomplete.push_back("文件在第" + std::to_string(in.Lines().size()) + "行中断，缺少结束行");

  // The file's lines are no longer needed: freed before the read models are swapped
  // in, so a large job does not hold both at once.
  in = LineReader();
  DeleteContents();
  for (auto* s : sections)
    if (s) s->CommitRead();
  kept_ = std::move(kept);
  m_nFileVersion = version;
  m_bJustLoaded = 1;

  if (damage.lines > 0) {
    msg.ShowMessage("文件第" + std::to_string(damage.firstLine) + "行含有不是" +
                        (encoding == platform::TextEncoding::Utf8 ? "UTF-8" : "GBK") + "编码的字节（共" +
                        std::to_string(damage.lines) + "行），已显示为“?”。\n保存后这些字节将以“?”存入文件。",
                    platform::MsgIcon::Warning);
  }
  // Whatever was not read would be gone after a save over the file: say it once, and
  // ask before the first save replaces the file.
  std::string lost;
  if (!incomplete.empty()) lost = "文件不完整（" + Join(incomplete, "；") + "），可能已损坏。";
  for (const std::string& l : notes.lost) lost += (lost.empty() ? "" : "\n") + l + "。";
  if (!lost.empty()) msg.ShowMessage(lost, platform::MsgIcon::Warning);
  if (encoding == platform::TextEncoding::Utf8) {
    msg.ShowMessage("文件“" + path + "”是UTF-8编码的，已按UTF-8读入。\n保存时将按GBK编码写入。",
                    platform::MsgIcon::Information);
  }

  int type = parts_.traverseFacts ? parts_.traverseFacts->TraverseType() : 0;
  int rows = parts_.traverseFacts ? parts_.traverseFacts->InputRowCount() : 0;
  if (LowVersionAlarmApplies(type, rows, m_bLowVerAlarm, m_nFileVersion) &&
      !msg.AskYesNo(kLowVersionQuestion)) {
    platform::Desktop().profile->SetInt(kSettings, kLowVerAlarm, 0);
    m_bLowVerAlarm = 0;
  }
  modified_ = false;
  SetPathName(path);
  incompleteRead_ = lost;
  return true;
}

bool CVornDoc::OnSaveDocument(const std::string& path) {
  // The file was not read whole: replacing it loses what was not read, so the first
  // save over it asks. No leaves the file and the modified flag as they are.
  if (!incompleteRead_.empty() && SameFile(path, path_) &&
      !platform::Messages().AskYesNo("文件“" + path + "”打开时没有完整读入：\n" + incompleteRead_ +
                                         "\n\n保存将用现在的内容覆盖该文件，未读入的数据将丢失。\n是否覆盖？",
                                     platform::MsgIcon::Warning))
    return false;
  if (!WriteJob(path)) return false;
  modified_ = false;
  incompleteRead_.clear();
  SetPathName(path);
  return true;
}

bool CVornDoc::SaveCopy(const std::string& path) { return WriteJob(path); }

bool CVornDoc::WriteJob(const std::string& path) {
  if (parts_.beforeSave) parts_.beforeSave();
  LineWriter out;
  out.Write(kFileHeader);
  out.Write(m_strVersion);
  auto writeKept = [&](int slot) {
    for (const auto& k : kept_)
      if (k.slot == slot)
        for (const auto& l : k.lines) out.Write(l);
  };
  IDocSection* sections[] = {parts_.records, parts_.traverse, parts_.tools};
  writeKept(-1);
  for (int i = 0; i < 3; ++i) {
    if (sections[i]) sections[i]->WriteSection(out);
    writeKept(i);
  }

  auto& msg = platform::Messages();
  int badLine = 0;
  std::string badChar;
  auto bytes = platform::EncodeGbkLines(out.Lines(), &badLine, &badChar);
  if (!bytes) {
    msg.ShowMessage("文件第" + std::to_string(badLine) + "行含有不能保存的字符“" + badChar +
                        "”，文件未保存。\n请改掉该字符后再保存。",
                    platform::MsgIcon::Error);
    return false;
  }
  std::string why;
  if (!platform::WriteFileAtomic(path, *bytes, &why)) {
    msg.ShowMessage("保存文件“" + path + "”失败，原文件未改动。\n" + why, platform::MsgIcon::Error);
    return false;
  }
  return true;
}

bool CVornDoc::SaveModified() {
  if (!modified_) return true;
  std::string name = path_.empty() ? Title() : path_;
  switch (platform::Messages().AskYesNoCancel(Replace1("是否保存对 %1 的更改?", name))) {
    case platform::Answer::Yes: return FileSave();
    case platform::Answer::No: return true;
    case platform::Answer::Cancel: break;
  }
  return false;
}

bool CVornDoc::FileNew() {
  if (!SaveModified()) return false;
  return OnNewDocument();
}

bool CVornDoc::FileOpen(const std::string& chosen) {
  std::string path = chosen;
  if (path.empty()) {
    auto p = platform::Desktop().files->OpenFile("打开", kQvtFilter);
    if (!p) return false;
    path = *p;
  }
  if (!SaveModified()) return false;
  if (!OnOpenDocument(path)) return false;
  if (parts_.addRecent) parts_.addRecent(path);
  return true;
}

bool CVornDoc::FileSave() {
  if (path_.empty()) return FileSaveAs();
  if (!OnSaveDocument(path_)) return false;
  if (parts_.addRecent) parts_.addRecent(path_);
  return true;
}

bool CVornDoc::FileSaveAs() {
  std::string suggested = path_.empty() ? std::string(kUntitled) + ".qvt" : path_;
  auto p = platform::Desktop().files->SaveFile("另存为", kQvtFilter, suggested);
  if (!p) return false;
  std::string path = *p;
  if (path.size() < 4 || path.compare(path.size() - 4, 4, ".qvt") != 0) path += ".qvt";
  if (!OnSaveDocument(path)) return false;
  if (parts_.addRecent) parts_.addRecent(path);
  return true;
}

}  // namespace app
