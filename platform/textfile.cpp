#include "platform/textfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/gbk.h"

namespace platform {

namespace {

void SetError(std::string* error, const std::string& why) {
  if (error) *error = why;
}

// The file a path names after following symbolic links (at most 40, as the
// kernel does); the path itself when it is no link. A dangling link gives the path
// it points to, so a save creates the file the link names.
std::optional<std::string> ResolveLinks(const std::string& path) {
  std::string p = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st;
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    std::string target(std::size_t(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    ssize_t n = ::readlink(p.c_str(), target.data(), target.size());
    if (n < 0) return std::nullopt;
    target.resize(static_cast<std::size_t>(n));
    if (target.empty()) return std::nullopt;
    if (target[0] != '/') {
      auto slash = p.find_last_of('/');
      if (slash != std::string::npos) target = p.substr(0, slash + 1) + target;
    }
    p = target;
  }
  errno = ELOOP;
  return std::nullopt;
}

// Why a path that is no regular file cannot be read as one.
std::string NotRegularText(mode_t mode) {
  if (S_ISDIR(mode)) return "这是一个文件夹，不是文件";
  if (S_ISFIFO(mode)) return "这是一个管道（FIFO），不是普通文件";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "这是一个设备，不是普通文件";
  if (S_ISSOCK(mode)) return "这是一个套接字，不是普通文件";
  return "不是普通文件";
}

std::string TooLargeText(std::size_t maxBytes) {
  if (maxBytes >= (std::size_t(1) << 20)) return "文件过大（超过" + std::to_string(maxBytes >> 20) + " MB）";
  return "文件过大（超过" + std::to_string(maxBytes) + "字节）";
}

constexpr char kTempMark[] = ".tmp~";
constexpr std::size_t kTempRandom = 6;
constexpr char kTempChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// A temporary file nobody has written for this long and nobody holds locked was
// left by a writer that died. The lock alone decides on a local disk; the age
// spares a writer on another machine of a shared folder that sees no lock.
constexpr std::time_t kStaleSeconds = 60;

void SplitPath(const std::string& path, std::string* dir, std::string* base) {
  const auto slash = path.find_last_of('/');
  *dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  *base = slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsOurTempName(const std::string& name, const std::string& base) {
  const std::string prefix = base + kTempMark;
  if (name.size() != prefix.size() + kTempRandom || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (std::size_t i = prefix.size(); i < name.size(); ++i)
    if (std::strchr(kTempChars, name[i]) == nullptr || name[i] == '\0') return false;
  return true;
}

// Removes the temporary files of earlier writes to base in dir that were given up:
// only names of our own pattern, only plain files of ours with no other link, only
// when no writer holds them and they have not changed for a while.
void RemoveStaleTemporaries(const std::string& dir, const std::string& base) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  const int dfd = ::dirfd(d);
  const std::time_t now = std::time(nullptr);
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (!IsOurTempName(name, base)) continue;
    struct stat st;
    if (::fstatat(dfd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_uid != ::geteuid()) continue;
    if (now - st.st_mtime < kStaleSeconds) continue;
    const int fd = ::openat(dfd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) continue;
    struct stat held;
    // Still the file looked at, and no writer holds it.
    if (::fstat(fd, &held) == 0 && held.st_ino == st.st_ino && held.st_dev == st.st_dev &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlinkat(dfd, name.c_str(), 0);
    ::close(fd);
  }
  ::closedir(d);
}

// Creates "<path>.tmp~XXXXXX" exclusively (O_EXCL never follows a link and never
// opens what is already there); a new target gets 0644 less the umask, as before.
int CreateTemp(const std::string& path, std::string* tmp) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char random[kTempRandom];
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
      for (auto& r : random) r = static_cast<unsigned char>(std::rand());
    }
    std::string name = path + kTempMark;
    for (unsigned char r : random) name += kTempChars[r % (sizeof kTempChars - 1)];
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0644);
    if (fd >= 0) {
      *tmp = std::move(name);
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  errno = EEXIST;
  return -1;
}

// Makes a finished rename last a power cut; a folder that cannot be synced
// (some network file systems) does not undo a save that already happened.
void SyncFolder(const std::string& path) {
  std::string dir, base;
  SplitPath(path, &dir, &base);
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string FileErrorText(int err) {
  switch (err) {
    case EACCES:
    case EPERM: return "没有权限（文件或文件夹不允许写入或读取）";
    case ENOSPC:
    case EDQUOT: return "磁盘空间已满";
    case EISDIR: return "该位置是一个文件夹";
    case ENOENT: return "文件或文件夹不存在";
    case ENOTDIR: return "路径中有一项不是文件夹";
    case EROFS: return "磁盘是只读的";
    case ENAMETOOLONG: return "文件名过长";
    case ELOOP: return "符号链接过多或成环";
    case EBUSY:
    case ETXTBSY: return "文件正被占用";
    case EIO: return "磁盘读写出错";
    default: return std::strerror(err);
  }
}

std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes, std::string* error) {
  // Checked before opening, and the open is non-blocking: opening a FIFO or a
  // device for reading may otherwise wait for ever.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    SetError(error, FileErrorText(errno));
    return std::nullopt;
  }
  if (!S_ISREG(st.st_mode)) {
    SetError(error, NotRegularText(st.st_mode));
    return std::nullopt;
  }
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    SetError(error, FileErrorText(errno));
    return std::nullopt;
  }
  // The path may have been swapped between stat and open.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    SetError(error, NotRegularText(st.st_mode));
    return std::nullopt;
  }
  if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
    ::close(fd);
    SetError(error, TooLargeText(maxBytes));
    return std::nullopt;
  }
  std::string out;
  out.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  while (true) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      SetError(error, FileErrorText(errno));
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    if (out.size() + static_cast<std::size_t>(n) > maxBytes) {
      ::close(fd);
      SetError(error, TooLargeText(maxBytes));
      return std::nullopt;
    }
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return out;
}

std::vector<std::string> SplitTextLines(std::string_view bytes, TextEncoding encoding, GbkDamage* damage,
                                        std::size_t keepEmpty) {
  std::vector<std::string> lines;
  if (damage) *damage = GbkDamage{};
  const char eol = bytes.find('\n') == std::string_view::npos ? '\r' : '\n';
  // Non-empty lines of a job are some tens of bytes; a fair guess saves most
  // reallocations without counting the lines first.
  lines.reserve(bytes.size() / 64 + 1);
  std::size_t start = 0, lineNo = 0, emptyRun = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find(eol, start);
    std::size_t stop = end == std::string_view::npos ? bytes.size() : end;
    std::size_t len = stop - start;
    if (eol == '\n' && len > 0 && bytes[start + len - 1] == '\r') --len;
    ++lineNo;
    if (len == 0) {
      if (emptyRun++ < keepEmpty) lines.emplace_back();
    } else {
      emptyRun = 0;
      bool bad = false;
      const std::string_view raw = bytes.substr(start, len);
      lines.push_back(encoding == TextEncoding::Utf8 ? CleanUtf8(raw, &bad) : GbkToUtf8(raw, &bad));
      if (bad && damage) {
        if (damage->lines++ == 0) damage->firstLine = static_cast<int>(lineNo);
      }
    }
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  // The guess was for lines of text; a file of mostly empty lines gives it back.
  if (lines.capacity() > 2 * lines.size() + 64) lines.shrink_to_fit();
  return lines;
}

TextEncoding GuessTextEncoding(std::string_view bytes, std::size_t* bom) {
  if (bom) *bom = 0;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    if (bom) *bom = 3;
    return TextEncoding::Utf8;
  }
  bool high = false;
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) {
      high = true;
      break;
    }
  return high && IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Gbk;
}

bool LooksLikeUtf16(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") return true;
  const std::string_view first = bytes.substr(0, bytes.find('\n'));
  return first.find('\0') != std::string_view::npos;
}

std::optional<std::vector<std::string>> ReadGbkLines(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  if (!bytes) return std::nullopt;
  return SplitGbkLines(*bytes);
}

std::optional<std::string> EncodeGbkLines(const std::vector<std::string>& lines, int* badLine,
                                          std::string* badChar) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto enc = Utf8ToGbk(lines[i]);
    if (!enc) {
      if (badLine) *badLine = static_cast<int>(i) + 1;
      if (badChar) *badChar = FirstNonGbkChar(lines[i]);
      return std::nullopt;
    }
    out += *enc;
    out += "\r\n";
  }
  return out;
}

CAtomicFile::~CAtomicFile() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(tmp_.c_str());
  }
}

bool CAtomicFile::Fail(const std::string& why) {
  if (failed_) return false;
  failed_ = true;
  why_ = why;
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(tmp_.c_str());
    fd_ = -1;
  }
  return false;
}

bool CAtomicFile::Open(const std::string& requested) {
  // Through a link to the file it names: replacing the link would leave the real
  // file with the old content.
  auto resolved = ResolveLinks(requested);
  if (!resolved) return Fail(FileErrorText(errno));
  path_ = *resolved;

  struct stat old;
  exists_ = ::stat(path_.c_str(), &old) == 0;
  if (exists_) {
    if (S_ISDIR(old.st_mode)) return Fail(FileErrorText(EISDIR));
    if (!S_ISREG(old.st_mode)) return Fail("目标不是普通文件");
    // The rename would replace a file the user may not write (it only needs the
    // folder); a file without any write bit is read-only even to the superuser.
    if (::access(path_.c_str(), W_OK) != 0 || (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
      return Fail("文件是只读的或没有写入权限");
    uid_ = old.st_uid;
    gid_ = old.st_gid;
    mode_ = old.st_mode & 07777;
  }

  std::string dir, base;
  SplitPath(path_, &dir, &base);
  RemoveStaleTemporaries(dir, base);
  fd_ = CreateTemp(path_, &tmp_);
  if (fd_ < 0) return Fail("无法创建临时文件：" + FileErrorText(errno));
  // Held until the file is renamed or removed, so no other writer takes it for stale.
  ::flock(fd_, LOCK_EX | LOCK_NB);
  struct stat st;
  if (::fstat(fd_, &st) != 0) return Fail("无法创建临时文件：" + FileErrorText(errno));
  dev_ = st.st_dev;
  ino_ = st.st_ino;
  return true;
}

bool CAtomicFile::Write(std::string_view bytes) {
  if (failed_ || fd_ < 0) return false;
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t w = ::write(fd_, p, left);
    if (w < 0) {
      if (errno == EINTR) continue;
      return Fail("写入文件失败：" + FileErrorText(errno));
    }
    p += w;
    left -= static_cast<std::size_t>(w);
  }
  return true;
}

bool CAtomicFile::Commit(std::string* error) {
  auto fail = [&](const std::string& why) {
    Fail(why);
    SetError(error, why_);
    return false;
  };
  if (failed_ || fd_ < 0) return fail(why_.empty() ? "写入文件失败" : why_);
  if (exists_) {
    // Keep what the replaced file had; the owner can only be kept where allowed.
    if (::fchown(fd_, uid_, gid_) != 0) { /* another user's file in a shared folder */ }
    ::fchmod(fd_, mode_);
  }
  // A library given TempPath() wrote by name: the name must still be the file made.
  struct stat named;
  if (::lstat(tmp_.c_str(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_dev != dev_ ||
      named.st_ino != ino_) {
    const int fd = fd_;
    fd_ = -1;
    ::close(fd);
    return fail("写入文件失败：临时文件被替换");
  }
  if (::fsync(fd_) != 0) return fail("写入文件失败：" + FileErrorText(errno));
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    std::string why = "写入文件失败：" + FileErrorText(errno);
    ::unlink(tmp_.c_str());
    return fail(why);
  }
  if (::rename(tmp_.c_str(), path_.c_str()) != 0) {
    std::string why = "保存文件失败：" + FileErrorText(errno);
    ::unlink(tmp_.c_str());
    return fail(why);
  }
  SyncFolder(path_);
  return true;
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error) {
  CAtomicFile f;
  f.Open(path);
  f.Write(bytes);
  return f.Commit(error);
}

}  // namespace platform
