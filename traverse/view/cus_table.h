#pragma once
// The ten custom result tables of a traverse job: each a name and the column data
// codes it shows after the point name. They belong to the installation, not to a job:
// "table.cus" holds them, read from the program folder and then from the user's data
// folder (which wins line by line), and written to the user's file only.
//
// "table.cus": GBK text, 20 lines, two per definition 0..9: the name, then the codes
// each followed by "," (a definition without codes has an empty line). A code line
// splits at every ","; text after the last comma is a last code. Missing lines leave
// the remaining definitions as they were. A hand-edited file may hold empty or
// unknown codes: they are dropped when read (the caller says so once), and a
// definition keeps at most kMaxCustomTableCodes codes.
#include <array>
#include <string>
#include <string_view>
#include <vector>

struct CCusTable {
  std::string name;
  std::vector<std::string> codes;  // column codes in column order; "LOW" ends a staggered one
};

namespace traverse {

inline constexpr const char* kCusTableFileName = "table.cus";
inline constexpr int kCustomTables = 10;
// More than the definition dialog can tick (26 codes).
inline constexpr int kMaxCustomTableCodes = 32;
// A larger file is not read: twenty lines never come near it.
inline constexpr std::size_t kMaxCusTableBytes = std::size_t(1) << 20;

using CustomTables = std::array<CCusTable, kCustomTables>;

// What reading left out, for the one message the caller shows.
struct CusTableReadReport {
  int dropped = 0;       // empty or unknown codes
  int capped = 0;        // codes beyond the cap
  int firstTable = -1;   // the first definition that lost a code (0-based)
  std::string firstCode; // and the first code dropped ("" for an empty one)
  bool Clean() const { return dropped == 0 && capped == 0; }
};

// A code as the result tables know it, with or without "LOW".
bool IsKnownCustomCode(const std::string& code);

// The lines of a table.cus as read: GBK, or UTF-8 where an editor saved it so (a
// byte-order mark, or well-formed UTF-8 beyond ASCII). An empty line is a definition
// without codes, so the empty lines of the twenty are kept.
std::vector<std::string> CustomTableFileLines(std::string_view bytes);
// Applies the lines of one file to the definitions.
void ReadCustomTableLines(const std::vector<std::string>& lines, CustomTables& tables,
                          CusTableReadReport* report = nullptr);
// The 20 lines of the file.
std::vector<std::string> WriteCustomTableLines(const CustomTables& tables);
// The one message about what a read left out ("" when nothing was).
std::string CustomTableReadMessage(const std::string& path, const CusTableReadReport& report);

// The definition dialog ("自定义表格") as a model: the table name and the 21 column
// choices, what a choice writes and which stored code ticks it again.
struct CusTableChoice {
  int id;                 // check box 1071..1091
  const char* label;
  std::vector<const char*> codes;  // written in this order
  bool between;           // a leg value: "LOW" is added unless 至点 is ticked
};

struct CCusTableSetForm {
  static constexpr int kChoiceCount = 21;
  static constexpr int kToPoint = 9;  // "至点"
  static const std::array<CusTableChoice, kChoiceCount>& Choices();
  static constexpr const char* kNote = "说明：如果不勾选“至点”，则其后的各列自动向下错开。";

  std::string name;
  std::array<bool, kChoiceCount> ticked{};

  // The dialog on definition t: a code ticks the choice it is read back as (the
  // choice's first code), its "LOW" cut; Y, MY, M, MB and MF tick nothing.
  bool operator==(const CCusTableSetForm&) const = default;

  static CCusTableSetForm FromTable(const CCusTable& t);
  // The definition the ticks stand for, in the choices' order.
  CCusTable ToTable() const;
  // "" when OK may close the dialog, else the message that keeps it open.
  std::string Validate() const;
};

}  // namespace traverse
