#include "platform/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/gbk.h"

namespace platform {

std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t maxBytes) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return std::nullopt;
  std::string out;
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    if (out.size() + n > maxBytes) {
      std::fclose(f);
      return std::nullopt;
    }
    out.append(buf, n);
  }
  bool bad = std::ferror(f) != 0;
  std::fclose(f);
  if (bad) return std::nullopt;
  return out;
}

std::vector<std::string> SplitGbkLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    std::size_t stop = end == std::string::npos ? bytes.size() : end;
    std::size_t len = stop - start;
    if (len > 0 && bytes[start + len - 1] == '\r') --len;
    lines.push_back(GbkToUtf8(std::string_view(bytes).substr(start, len)));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
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

bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  std::string tmp = path + ".tmp~";
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return fail(std::string("无法创建临时文件：") + std::strerror(errno));
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t w = ::write(fd, p, left);
    if (w < 0) {
      if (errno == EINTR) continue;
      std::string why = std::string("写入文件失败：") + std::strerror(errno);
      ::close(fd);
      ::unlink(tmp.c_str());
      return fail(why);
    }
    p += w;
    left -= static_cast<std::size_t>(w);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    std::string why = std::string("写入文件失败：") + std::strerror(errno);
    ::unlink(tmp.c_str());
    return fail(why);
  }
  // Keep the permissions of a file that is being replaced.
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) ::chmod(tmp.c_str(), st.st_mode & 07777);
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    std::string why = std::string("保存文件失败：") + std::strerror(errno);
    ::unlink(tmp.c_str());
    return fail(why);
  }
  return true;
}

}  // namespace platform
