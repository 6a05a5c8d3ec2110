#pragma once
// The online update's texts and rules, without the network: the version-information
// document, the decision and message after a check, the progress text of a download
// and the result codes with their messages. The Qt dialog (app/ui/update_dlg.h) does
// the transfers and shows what these return.
//
// Version-information document: UTF-8 lines "key=value" (CR LF or LF), at most
// kMaxVersionInfoBytes. Keys: version, size (bytes), date, url (absolute, or
// relative to the document's address), sha256 (64 hex digits), importance (0..),
// notes (one line of the change notes per "notes=" line). Unknown keys are skipped.
#include <cstdint>
#include <string>
#include <string_view>

namespace app {

inline constexpr std::size_t kMaxVersionInfoBytes = 64 * 1024;
inline constexpr int kMaxUpdateRedirects = 3;

// The default address of the version document, under the product's web site.
std::string DefaultUpdateInfoUrl();

struct VersionInfo {
  std::string version;
  std::string size;
  std::string date;
  std::string url;
  std::string sha256;  // lower case
  std::string importance = "0";
  std::string notes;  // lines joined by CR LF
};
VersionInfo ParseVersionInfo(std::string_view text);

// A package can be fetched and verified only with a positive size and a SHA-256.
bool IsVerifiable(const VersionInfo& info);
std::int64_t ParseSize(std::string_view size);  // -1 unless all digits and > 0

// "12.3 MB" style text for the 文件大小 field; the text itself when not a number.
std::string FormatFileSize(std::string_view size);

// The current version is below the latest (numbers as atoi reads them).
bool IsNewerVersion(std::string_view current, std::string_view latest);

// Message after a check found a newer version: the importance line, then
// "软件最近更新：" and the notes.
std::string NewVersionMessage(std::string_view importance, std::string_view notes);

// "已下载:%dKB 速度:%1.1fKB/s". elapsedMs 0 counts as 10 ms.
std::string DownloadProgressText(std::int64_t bytes, std::int64_t elapsedMs);
// Percentage 0..100 of bytes in total; -1 when the total is not known (<= 0).
int DownloadPercent(std::int64_t bytes, std::int64_t total);

// Download result codes.
enum DownloadResult {
  kDownloadOk = 1,
  kDownloadConnectFailed = 2,  // the address could not be opened
  kDownloadServerRefused = 3,  // a status other than 200, or a refused redirect
  kDownloadSaveFailed = 4,     // the local file could not be written or moved
  kDownloadReadFailed = 5,     // the transfer broke off, came short or was empty
  kDownloadOffline = 6,        // no network at all
  kDownloadNotVerified = 7,    // length or SHA-256 differ from the version document
  kDownloadTooSlow = 8,        // the transfer crawled below the least rate and was cut off
  kDownloadNoSpace = 9,        // the package would not fit on the disk; nothing was fetched
};
// The message shown in the dialog for a failed download (code 2..7).
std::string DownloadFailureMessage(int code);
// The message when a folder lacks room for the package (sizes in bytes).
std::string NoSpaceMessage(const std::string& folder, std::int64_t needed, std::int64_t available);
// The message when the address of the version document is not https.
std::string InsecureAddressMessage(const std::string& url);
// The message after a verified download saved at path.
std::string DownloadSavedMessage(const std::string& path);

// The dialog's fixed texts.
inline constexpr const char* kMsgCheckFirst = "请检测新版本";
inline constexpr const char* kMsgChecking = "正在检测新版本...";
inline constexpr const char* kProgConnectFailed = "连接服务器失败";
inline constexpr const char* kMsgConnectFailed =
    "连接服务器失败，请稍后重试或检查：\r\n1、网络是否连接；2、防火墙是否禁止本软件访问网络；3、其它故障请联系软件作者。";
inline constexpr const char* kProgCheckFailed = "检测更新失败";
inline constexpr const char* kMsgCheckFailed =
    "检测更新失败，请稍后重试或检查：\r\n1、网络是否连接；2、防火墙是否禁止本软件访问网络；3、其它故障请联系软件作者。";
inline constexpr const char* kMsgUpToDate = "当前使用的是最新版本，不需升级";
inline constexpr const char* kMsgCheckTimedOut =
    "检测更新超时，服务器没有及时发来版本信息，请稍后重试或检查：\r\n1、网络是否连接；2、防火墙是否禁止本软件访问网络；3、其它故障请联系软件作者。";
inline constexpr const char* kProgNewVersion = "检测到新版本";
inline constexpr const char* kBoxNoVersion = "连接服务器失败，\n请检查网络";
inline constexpr const char* kBoxNoUrl = "连接服务器失败，\n请联系软件作者";
inline constexpr const char* kProgDownloadStart = "开始升级";
inline constexpr const char* kMsgDownloadStart =
    "开始下载升级文件，在此期间您可以隐藏升级窗口，进行数据输入、计算等操作。按F3恢复显示隐藏窗口，按“退出”或关闭程序将会中止下载。";
inline constexpr const char* kProgDownloadDone = "下载升级文件完成";
inline constexpr const char* kProgDownloadFailed = "下载升级文件失败";

}  // namespace app
