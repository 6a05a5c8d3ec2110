#include "traverse/view/cus_table.h"

#include <string_view>

#include "platform/gbk.h"
#include "platform/textfile.h"
#include "survey/format.h"
#include "traverse/view/dx_columns.h"

namespace traverse {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Splits a code line and keeps the codes the tables know, up to the cap.
void ReadCodes(std::string_view line, int table, std::vector<std::string>& codes, CusTableReadReport* report) {
  auto take = [&](std::string_view item) {
    const std::string code(TrimBlanks(item));
    const bool known = IsKnownCustomCode(code);
    if (known && static_cast<int>(codes.size()) < kMaxCustomTableCodes) {
      codes.push_back(code);
      return;
    }
    if (!report) return;
    if (known) ++report->capped;
    else ++report->dropped;
    if (report->firstTable < 0) {
      report->firstTable = table;
      report->firstCode = known ? std::string() : code;
    }
  };
  std::size_t start = 0;
  for (std::size_t comma = line.find(','); comma != std::string_view::npos; comma = line.find(',', start)) {
    take(line.substr(start, comma - start));
    start = comma + 1;
  }
  if (start < line.size()) take(line.substr(start));
}

}  // namespace

bool IsKnownCustomCode(const std::string& code) {
  if (code.empty()) return false;
  const std::string bare = StripLowSuffix(code, nullptr);
  return !bare.empty() && FindColumnCode(bare) != nullptr;
}

std::vector<std::string> CustomTableFileLines(std::string_view bytes) {
  std::size_t bom = 0;
  const platform::TextEncoding encoding = platform::GuessTextEncoding(bytes, &bom);
  return platform::SplitTextLines(bytes.substr(bom), encoding, nullptr, 2 * kCustomTables);
}

void ReadCustomTableLines(const std::vector<std::string>& lines, CustomTables& tables, CusTableReadReport* report) {
  std::size_t next = 0;
  for (int i = 0; i < kCustomTables && next < lines.size(); ++i) {
    CCusTable& t = tables[static_cast<std::size_t>(i)];
    t.name = lines[next++];
    t.codes.clear();
    if (next < lines.size()) ReadCodes(lines[next++], i, t.codes, report);
  }
}

std::vector<std::string> WriteCustomTableLines(const CustomTables& tables) {
  std::vector<std::string> out;
  out.reserve(2 * kCustomTables);
  for (const CCusTable& t : tables) {
    out.push_back(t.name);
    std::string codes;
    for (const std::string& c : t.codes) codes += c + ",";
    out.push_back(std::move(codes));
  }
  return out;
}

std::string CustomTableReadMessage(const std::string& path, const CusTableReadReport& r) {
  if (r.Clean()) return "";
  std::string text = "自定义表格文件“" + path + "”中";
  if (r.dropped > 0) {
    text += survey::Format("有%d个空的或无法识别的列代码", r.dropped);
    if (r.capped > 0) text += "，";
  }
  if (r.capped > 0) text += survey::Format("有表格超过%d列", kMaxCustomTableCodes);
  text += survey::Format("，已略去（首见于第%d个表格", r.firstTable + 1);
  if (!r.firstCode.empty()) text += "的“" + r.firstCode + "”";
  text += "）。";
  return text;
}

const std::array<CusTableChoice, CCusTableSetForm::kChoiceCount>& CCusTableSetForm::Choices() {
  static const std::array<CusTableChoice, kChoiceCount> kChoices = {{
      {1071, "坐标XY", {"X", "Y"}, false},
      {1072, "坐标中误差", {"MX", "MY", "M"}, false},
      {1073, "误差椭圆参数", {"MA", "MB", "MF"}, false},
      {1074, "高程", {"H"}, false},
      {1075, "高程中误差", {"MH"}, false},
      {1076, "备注", {"BZH"}, false},
      {1077, "观测角度", {"QJD"}, false},
      {1078, "角度改正数", {"VJD"}, false},
      {1079, "角度平差值", {"HJD"}, false},
      {1080, "至点", {"ZDM"}, false},
      {1081, "相邻点位误差", {"MDJ"}, true},
      {1082, "方位角", {"FW"}, true},
      {1083, "方位角中误差", {"MFW"}, true},
      {1084, "观测边长", {"QBCH"}, true},
      {1085, "边长改正数", {"VBCH"}, true},
      {1086, "边长平差值", {"HBCH"}, true},
      {1087, "边长中误差", {"MBCH"}, true},
      {1088, "边长相对误差", {"FBCH"}, true},
      {1089, "观测高差", {"QGCH"}, true},
      {1090, "高差改正数", {"VGCH"}, true},
      {1091, "高差平差值", {"HGCH"}, true},
  }};
  return kChoices;
}

CCusTableSetForm CCusTableSetForm::FromTable(const CCusTable& t) {
  CCusTableSetForm f;
  f.name = t.name;
  for (const std::string& stored : t.codes) {
    const std::string code = StripLowSuffix(stored, nullptr);
    for (int i = 0; i < kChoiceCount; ++i)
      if (code == Choices()[static_cast<std::size_t>(i)].codes.front()) f.ticked[static_cast<std::size_t>(i)] = true;
  }
  return f;
}

CCusTable CCusTableSetForm::ToTable() const {
  CCusTable t;
  // The name is one line of the file.
  for (char c : name) t.name += (c == '\r' || c == '\n') ? ' ' : c;
  const std::string s = ticked[kToPoint] ? "" : "LOW";
  for (int i = 0; i < kChoiceCount; ++i) {
    if (!ticked[static_cast<std::size_t>(i)]) continue;
    const CusTableChoice& c = Choices()[static_cast<std::size_t>(i)];
    for (const char* code : c.codes) t.codes.push_back(std::string(code) + (c.between ? s : ""));
  }
  return t;
}

std::string CCusTableSetForm::Validate() const {
  if (name.empty()) return "表格名称不能为空！";
  const std::string bad = platform::FirstNonGbkChar(name);
  if (!bad.empty()) return "表格名称中的字符“" + bad + "”无法保存，请换用其它字符！";
  return "";
}

}  // namespace traverse
