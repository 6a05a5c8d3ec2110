#pragma once
// CKzdFile: the control-point store (".kzd") shared between jobs. A GBK text file,
// one point a line: name, X, Y, H, remark, separated by "," without quoting. A line
// is found by its key (the text before the first comma, blanks trimmed), compared
// exactly with the wanted name.
//
// The store is read once, bounded, and indexed by key; the points of one command are
// applied in memory and Close writes the file once, atomically, so a failed write
// leaves the shared store as it was. A store opened for writing stays locked until
// Close, so two programs storing points at once both keep theirs. Lines nobody changed keep their bytes (line ends
// included); new and replaced lines end in CR LF.
#include <cstddef>
#include <string>
#include <unordered_map>

#include "platform/file_lock.h"
#include <vector>

namespace traverse {

// The profile section of the store and export settings, and the store's path key.
inline constexpr const char* kKzdProfileSection = "USER";
inline constexpr const char* kKzdPathKey = "控制点文件名称";

// KzdSameNamePolicy: what WritePoint does when the store already holds the name.
enum KzdSameNamePolicy { kKzdAlwaysAsk = 0, kKzdOverwriteAll = 1, kKzdKeepAll = 2 };

class CKzdFile {
 public:
  // Largest store read (about a million points); a larger file is refused.
  static constexpr std::size_t kMaxBytes = std::size_t(64) << 20;

  // With an empty path the user picks the store (the profile's path is the start and
  // receives the choice). False after a message, or on Cancel.
  bool OpenForRead(const std::string& path);
  // The values after the key of the first line whose key is name (UTF-8); false for
  // an empty name or a name the store does not hold.
  bool FindPoint(const std::string& name, std::vector<std::string>& values) const;
  // The 1-based line number of that line, 0 when the store does not hold the name.
  std::size_t LineOf(const std::string& name) const;

  // Opens for storing: a missing file is an empty store, created on Close. policy is
  // a KzdSameNamePolicy. With an empty path the user picks the file.
  bool OpenForWrite(const std::string& path, int policy);
  // Stores one point line (UTF-8, ending in "\n") under name, asking the same-name
  // questions through the message port. True when the store now holds the line.
  bool WritePoint(const std::string& name, const std::string& line);
  // Writes the store when it was opened for writing and something changed (or the
  // file did not exist yet). False after a message; the old file is then intact.
  bool Close();

  // The store's bytes, for a store opened in memory or after the points of a command.
  void LoadBytes(const std::string& bytes);
  std::string Bytes() const;
  const std::string& Path() const { return m_strPath; }
  std::size_t LineCount() const { return m_lines.size(); }

  // The same-name answer in force: 0 ask every time, 6 overwrite (Yes), 7 keep (No).
  int m_nAnswer = 0;
  // How long OpenForWrite waits for another program that is storing points.
  int m_nLockWaitMs = 10000;

 private:
  struct Line {
    std::string text;  // GBK bytes without the line end
    std::string end;   // "\r\n", "\n", or "" / "\r" on a last line without LF;
                       // then the line ends of the empty lines after it
  };
  bool Load(const std::string& path, bool forWrite);
  void Index(std::size_t i);
  // Index of the first non-empty line whose key is key (GBK), or npos.
  std::size_t Find(const std::string& key) const;
  void Append(const std::string& gbkText);

  std::string m_strPath;
  std::vector<Line> m_lines;
  std::unordered_map<std::string, std::size_t> m_index;
  bool m_bForWrite = false;
  bool m_bExisted = false;
  bool m_bChanged = false;
  platform::CFileUpdateLock m_lock;
};

// The key of a store line: the text before the first comma, blanks trimmed.
std::string KzdKey(const std::string& line);

}  // namespace traverse
