#pragma once
// The user's custom calculation programs ("cusprog.prog"): each a calculation table
// (name, least rows, columns with their captions) and the program text that computes
// its rows. The frame loads them once at start-up and keeps them for the run; the
// program text is stored as written, never parsed here.
//
// File: GBK text, one value per line, any number of blocks
//   [BEGIN] / name / initial rows / column count n / input columns /
//   n x (caption 1, caption 2, data type, stagger) / PROGRAM / program lines / [END]
// Numbers follow atoi. Lines outside blocks are ignored.
//
// Hostile files stay cheap: the file is refused above kMaxCusProgBytes before it is
// read, a column count is capped at kMaxCusProgColumns and by the lines that are left,
// the programs and their columns are capped per load, and a "[BEGIN]" met inside a
// block starts the next block instead of being eaten. A "PROGRAM" line met among the
// column descriptors ends them early (a block with fewer columns than it announced),
// so its program text is still read.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace app {

inline constexpr const char* kCusProgFileName = "cusprog.prog";
inline constexpr std::size_t kMaxCusProgBytes = std::size_t(16) << 20;
inline constexpr int kMaxCusProgColumns = 256;     // per program
inline constexpr int kMaxCusPrograms = 4096;        // per load
inline constexpr int kMaxCusProgTotalColumns = 65536;

// One table column: four texts, as the file gives them.
struct col {
  std::string m_strCaption1;  // "" merges with the first caption of the column before
  std::string m_strCaption2;  // "" merges with the first caption of this column
  std::string m_strType;      // "1" real number, "2" angle d.mmss, else free text
  std::string m_strStagger;   // "1" shifted down by half a row
};

struct CCusProg {
  std::vector<col> m_arrCol;
  std::string m_strName;
  int m_nInitRows = 0;
  int m_nColCount = 0;   // == m_arrCol.size()
  int m_nInputCols = 0;  // 0 .. m_nColCount
  std::string m_strCode; // every program line followed by CR LF (UTF-8)
};

// Parses the bytes of one file (GBK) and appends its blocks to out, in file order.
void ParseCustomPrograms(std::string_view bytes, std::vector<CCusProg>& out);

// Empties out, then reads "cusprog.prog" from each folder in turn (the program
// folder, then the user's data folder); a folder without the file, an unreadable or
// oversized file adds nothing. Folders end with their separator or are "" to skip.
void LoadCustomPrograms(const std::vector<std::string>& folders, std::vector<CCusProg>& out);

}  // namespace app
