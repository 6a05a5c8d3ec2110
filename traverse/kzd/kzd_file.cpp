#include "traverse/kzd/kzd_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "platform/gbk.h"
#include "platform/ports.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "survey/format.h"

namespace traverse {

namespace {

constexpr const char* kStoreFilter = "控制点数据文件(*.kzd)";

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// The text without trailing "," and line breaks (how much of a line is data).
std::string TrimTrailingCommas(std::string s) {
  while (!s.empty() && (s.back() == ',' || s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

platform::FileOptions StoreChooserOptions(const std::string& current) {
  platform::FileOptions o;
  o.overwritePrompt = false;  // the store is added to, never replaced
  o.defaultSuffix = "kzd";
  o.startFolder = FolderOf(current);
  return o;
}

void SayOpenFailed(const std::string& path, const std::string& why) {
  platform::Messages().ShowMessage(survey::Format("无法打开控制点文件“%s”：\n%s", path, why),
                                   platform::MsgIcon::Error);
}

}  // namespace

std::string KzdKey(const std::string& line) {
  const auto comma = line.find(',');
  return std::string(Trim(std::string_view(line).substr(0, comma)));
}

bool CKzdFile::OpenForRead(const std::string& path) {
  std::string p = path;
  if (p.empty()) {
    platform::IProfile& profile = *platform::Desktop().profile;
    const std::string current = profile.GetString(kKzdProfileSection, kKzdPathKey, "");
    auto chosen = platform::Desktop().files->OpenFile("打开", std::string(kStoreFilter) + ";;所有文件(*.*)",
                                                      StoreChooserOptions(current));
    if (!chosen) return false;
    p = *chosen;
    profile.SetString(kKzdProfileSection, kKzdPathKey, p);
  }
  return Load(p, false);
}

bool CKzdFile::OpenForWrite(const std::string& path, int policy) {
  m_nAnswer = policy == kKzdOverwriteAll ? 6 : policy == kKzdKeepAll ? 7 : 0;
  std::string p = path;
  if (p.empty()) {
    platform::IProfile& profile = *platform::Desktop().profile;
    const std::string current = profile.GetString(kKzdProfileSection, kKzdPathKey, "");
    auto chosen = platform::Desktop().files->SaveFile("另存为", kStoreFilter, current, StoreChooserOptions(current));
    if (!chosen) return false;
    p = *chosen;
    profile.SetString(kKzdProfileSection, kKzdPathKey, p);
  }
  return Load(p, true);
}

bool CKzdFile::Load(const std::string& path, bool forWrite) {
  m_strPath = path;
  m_bForWrite = forWrite;
  m_bChanged = false;
  m_lines.clear();
  m_index.clear();
  m_lock.Unlock();
  std::error_code ec;
  m_bExisted = std::filesystem::exists(path, ec);
  // Held from the read to the write, so that another program's points stored
  // meanwhile are read, not written away. A missing store is created empty to have
  // something to lock; with nothing to lock the read or the write says why.
  if (forWrite && !ec &&
      m_lock.Lock(path, std::chrono::milliseconds(m_nLockWaitMs)) == platform::CFileUpdateLock::Result::Busy) {
    m_bForWrite = false;
    platform::Messages().ShowMessage(
        survey::Format("控制点文件“%s”正被另一个程序写入，请稍后再试。", path), platform::MsgIcon::Error);
    return false;
  }
  if (!m_bExisted) {
    if (forWrite && !ec) return true;  // a new store, written on Close
    SayOpenFailed(path, platform::FileErrorText(ENOENT));
    return false;
  }
  std::string why;
  auto bytes = platform::ReadFileBytes(path, kMaxBytes, &why);
  if (!bytes) {
    m_lock.Unlock();
    m_bForWrite = false;
    SayOpenFailed(path, why.empty() ? "文件过大或无法读取" : why);
    return false;
  }
  // Refused before any question is asked: the answers would be lost. A file without
  // any write bit is read-only even to the superuser, as the atomic write holds it.
  if (forWrite) {
    int err = 0;
    struct stat st;
    if (::access(path.c_str(), W_OK) != 0) err = errno;
    else if (::stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) err = EACCES;
    if (err) {
      m_lock.Unlock();
      m_bForWrite = false;
      SayOpenFailed(path, platform::FileErrorText(err));
      return false;
    }
  }
  LoadBytes(*bytes);
  return true;
}

void CKzdFile::LoadBytes(const std::string& bytes) {
  m_lines.clear();
  m_index.clear();
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const auto nl = bytes.find('\n', pos);
    std::string text, end;
    if (nl == std::string::npos) {
      text = bytes.substr(pos);
      pos = bytes.size();
      if (!text.empty() && text.back() == '\r') {
        text.pop_back();
        end = "\r";
      }
    } else {
      text = bytes.substr(pos, nl - pos);
      pos = nl + 1;
      end = "\n";
      if (!text.empty() && text.back() == '\r') {
        text.pop_back();
        end = "\r\n";
      }
    }
    // An empty line is kept as bytes after the line before it: a store of bare line
    // ends costs its bytes, not a line record each.
    if (text.empty() && !m_lines.empty()) {
      m_lines.back().end += end;
      continue;
    }
    m_lines.push_back({std::move(text), std::move(end)});
    Index(m_lines.size() - 1);
  }
}

std::string CKzdFile::Bytes() const {
  std::string out;
  std::size_t n = 0;
  for (const Line& l : m_lines) n += l.text.size() + l.end.size();
  out.reserve(n);
  for (const Line& l : m_lines) {
    out += l.text;
    out += l.end;
  }
  return out;
}

void CKzdFile::Index(std::size_t i) {
  std::string key = KzdKey(m_lines[i].text);
  if (!key.empty()) m_index.emplace(std::move(key), i);  // the first line of a key wins
}

std::size_t CKzdFile::Find(const std::string& key) const {
  auto it = m_index.find(key);
  return it == m_index.end() ? std::string::npos : it->second;
}

bool CKzdFile::FindPoint(const std::string& name, std::vector<std::string>& values) const {
  values.clear();
  if (name.empty()) return false;
  auto gbkName = platform::Utf8ToGbk(name);
  if (!gbkName) return false;
  const std::size_t i = Find(*gbkName);
  if (i == std::string::npos) return false;
  std::vector<std::string> items;
  survey::SplitText(m_lines[i].text, items, ',');
  for (std::size_t k = 1; k < items.size(); ++k) values.push_back(platform::GbkToUtf8(items[k]));
  return true;
}

std::size_t CKzdFile::LineOf(const std::string& name) const {
  if (name.empty()) return 0;
  auto gbkName = platform::Utf8ToGbk(name);
  if (!gbkName) return 0;
  const std::size_t i = Find(*gbkName);
  if (i == std::string::npos) return 0;
  // Empty lines live in the line ends of the lines before them.
  std::size_t line = 1;
  for (std::size_t k = 0; k < i; ++k)
    line += static_cast<std::size_t>(std::count(m_lines[k].end.begin(), m_lines[k].end.end(), '\n'));
  return line;
}

void CKzdFile::Append(const std::string& gbkText) {
  // A last line without its line end would glue the new point onto it.
  if (!m_lines.empty()) {
    std::string& end = m_lines.back().end;
    if (end.empty() || end.back() != '\n') end = end.substr(0, end.size() - (!end.empty() && end.back() == '\r')) + "\r\n";
  }
  m_lines.push_back({gbkText, "\r\n"});
  Index(m_lines.size() - 1);
  m_bChanged = true;
}

bool CKzdFile::WritePoint(const std::string& name, const std::string& line) {
  if (name.empty()) return false;
  std::string text = line;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  const std::string newLine = text + "\n";
  std::size_t bad = 0;
  auto gbk = platform::Utf8ToGbk(text, &bad);
  auto gbkName = platform::Utf8ToGbk(name);
  if (!gbk || !gbkName) {
    platform::Messages().ShowMessage(
        survey::Format("点“%s”含有控制点文件（GBK）无法保存的字符“%s”，未入库。", name,
                       platform::FirstNonGbkChar(gbk ? name : text)));
    return false;
  }
  if (m_lines.empty()) {
    Append(*gbk);
    return true;
  }

  std::size_t i = Find(*gbkName);
  if (std::string(Trim(*gbkName)) != *gbkName) {
    // No key equals a name with outer blanks; only an identical line can match.
    for (const Line& l : m_lines)
      if (!l.text.empty() && l.text == *gbk) return true;
    i = std::string::npos;
  }
  if (i == std::string::npos) {
    Append(*gbk);
    return true;
  }
  if (m_lines[i].text == *gbk) return true;  // stored identically

  const std::string old = platform::GbkToUtf8(m_lines[i].text);
  const std::string oldTrimmed = TrimTrailingCommas(old), newTrimmed = TrimTrailingCommas(newLine);
  const std::string lines = "原有的数据：" + old + "\n" + "现在的数据：" + newLine;
  const std::string quoted = "“" + name + "”  点已存在，";
  auto ask = [&](const std::string& question) {
    return platform::Messages().AskYesNo(quoted + question + lines, platform::MsgIcon::Question) ? 6 : 7;
  };
  int answer;
  if (newLine.find(oldTrimmed) != std::string::npos) {
    answer = m_nAnswer ? 6 : ask("但现在的数据比原有的数据全。\n是否覆盖原有的数据？\n");
  } else if (old.find(newTrimmed) != std::string::npos) {
    answer = m_nAnswer ? 7 : ask("但现在的数据不如原有的数据全，\n是否覆盖原有的数据？\n");
  } else {
    answer = m_nAnswer ? m_nAnswer : ask("\n是否覆盖？\n");
  }
  if (answer != 6) return false;
  // The empty lines after it stay.
  std::string& end = m_lines[i].end;
  const std::size_t own = end.rfind("\r\n", 0) == 0 ? 2 : !end.empty() && end[0] == '\n' ? 1 : end.size();
  m_lines[i].text = *gbk;
  end = "\r\n" + end.substr(own);
  m_bChanged = true;
  return true;
}

bool CKzdFile::Close() {
  const bool write = m_bForWrite && (m_bChanged || !m_bExisted);
  m_bForWrite = false;
  if (!write) {
    m_lock.Unlock();
    return true;
  }
  std::string why;
  const bool written = platform::WriteFileAtomic(m_strPath, Bytes(), &why);
  m_lock.Unlock();  // after the rename: a waiting writer then reads the new store
  if (!written) {
    platform::Messages().ShowMessage(
        survey::Format("控制点文件“%s”写入失败：\n%s\n文件保持原样。", m_strPath, why), platform::MsgIcon::Error);
    return false;
  }
  m_bChanged = false;
  m_bExisted = true;
  return true;
}

}  // namespace traverse
