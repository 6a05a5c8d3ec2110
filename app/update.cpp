#include "app/update.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "app/version.h"
#include "platform/number.h"

namespace app {

std::string DefaultUpdateInfoUrl() { return std::string(kWebsiteUrl) + "update/version.txt"; }

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

}  // namespace

VersionInfo ParseVersionInfo(std::string_view text) {
  VersionInfo info;
  if (text.size() > kMaxVersionInfoBytes) text = text.substr(0, kMaxVersionInfoBytes);
  // A byte-order mark from an editor is not part of the first key.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  bool importanceSeen = false;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string key(Trim(line.substr(0, eq)));
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
    std::string value(Trim(line.substr(eq + 1)));
    if (key == "version") info.version = value;
    else if (key == "size") info.size = value;
    else if (key == "date") info.date = value;
    else if (key == "url") info.url = value;
    else if (key == "sha256") {
      std::transform(value.begin(), value.end(), value.begin(), [](unsigned char c) { return std::tolower(c); });
      info.sha256 = value;
    } else if (key == "importance") {
      info.importance = value;
      importanceSeen = true;
    } else if (key == "notes") {
      if (!info.notes.empty()) info.notes += "\r\n";
      info.notes += value;
    }
  }
  if (!importanceSeen || info.importance.empty()) info.importance = "0";
  return info;
}

std::int64_t ParseSize(std::string_view size) {
  size = Trim(size);
  if (size.empty() || size.size() > 15) return -1;
  std::int64_t n = 0;
  for (char c : size) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n > 0 ? n : -1;
}

bool IsVerifiable(const VersionInfo& info) {
  if (ParseSize(info.size) <= 0 || info.sha256.size() != 64) return false;
  return std::all_of(info.sha256.begin(), info.sha256.end(),
                     [](unsigned char c) { return std::isdigit(c) || (c >= 'a' && c <= 'f'); });
}

std::string FormatFileSize(std::string_view size) {
  std::int64_t n = ParseSize(size);
  if (n <= 0) return std::string(size);
  char buf[64];
  if (n >= 1024 * 1024) std::snprintf(buf, sizeof buf, "%.1f MB", double(n) / (1024.0 * 1024.0));
  else if (n >= 1024) std::snprintf(buf, sizeof buf, "%.1f KB", double(n) / 1024.0);
  else std::snprintf(buf, sizeof buf, "%lld 字节", static_cast<long long>(n));
  return buf;
}

bool IsNewerVersion(std::string_view current, std::string_view latest) {
  return platform::ParseInt(current) < platform::ParseInt(latest);
}

std::string NewVersionMessage(std::string_view importance, std::string_view notes) {
  int level = platform::ParseInt(importance);
  std::string msg = level >= 10  ? "检测到重要更新，必须升级软件。\r\n"
                    : level >= 5 ? "检测到重要更新，请立即升级软件。\r\n"
                                 : "检测到新版本，请升级软件。\r\n";
  msg += "软件最近更新：";
  msg += notes;
  return msg;
}

std::string DownloadProgressText(std::int64_t bytes, std::int64_t elapsedMs) {
  if (elapsedMs <= 0) elapsedMs = 10;
  double speed = double(bytes) / (double(elapsedMs) / 1000.0) / 1024.0;
  char buf[96];
  std::snprintf(buf, sizeof buf, "已下载:%lldKB 速度:%1.1fKB/s", static_cast<long long>(bytes / 1024), speed);
  return buf;
}

int DownloadPercent(std::int64_t bytes, std::int64_t total) {
  if (total <= 0) return -1;
  if (bytes <= 0) return 0;
  if (bytes >= total) return 100;
  // Wide enough for any 64-bit count: bytes * 100 never overflows.
  return static_cast<int>(static_cast<__int128>(bytes) * 100 / total);
}

std::string DownloadFailureMessage(int code) {
  const char* prefix = "";
  switch (code) {
    case kDownloadConnectFailed: prefix = "连接网络失败，"; break;
    case kDownloadServerRefused: prefix = "连接网络文件失败，"; break;
    case kDownloadSaveFailed: prefix = "保存文件到本地失败，"; break;
    case kDownloadReadFailed: prefix = "读取网络文件失败，"; break;
    case kDownloadTooSlow: prefix = "网络传输过慢，下载已中止，"; break;
    case kDownloadNotVerified:
      return "校验升级文件失败，下载的文件与服务器公布的长度或SHA-256校验值不符，已删除。\r\n"
             "请稍后重新检测并下载，仍然失败时请联系软件作者。";
    default: break;
  }
  return std::string(prefix) +
         "请检查：\r\n1、网络是否连接，防火墙是否禁止本软件访问网络；\r\n2、本地文件夹属性是否可写入，不能在光盘上运行升级；\r\n3、其它故障请联系软件作者。";
}

std::string NoSpaceMessage(const std::string& folder, std::int64_t needed, std::int64_t available) {
  return "磁盘空间不足：升级文件有" + FormatFileSize(std::to_string(needed)) + "，而" + folder + "只剩" +
         (available > 0 ? FormatFileSize(std::to_string(available)) : std::string("0 字节")) +
         "。\r\n请清理磁盘后重新下载。";
}

std::string InsecureAddressMessage(const std::string& url) {
  return "升级地址必须以https://开头，已拒绝：\r\n" + url +
         "\r\n请改正配置中的升级地址（settings/UpdateUrl），或删除该项以使用默认地址。";
}

std::string DownloadSavedMessage(const std::string& path) {
  return "升级文件已下载并通过校验，保存在：\r\n" + path +
         "\r\n本软件不会自动安装。请保存工作、退出本软件后运行该文件完成升级。";
}

}  // namespace app
