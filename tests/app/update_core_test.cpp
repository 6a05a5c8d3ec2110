// The update's rules without the network: the version document, the decision after a
// check and its message, the progress text and percentage, the failure messages.
#include "app/update.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionDocument, KeysValuesNotesAndNoise) {
  const std::string doc =
      "\xEF\xBB\xBF"
      "version=521\r\n"
      "size = 123456\r\n"
      "date=2026-11-30\n"
      "# a comment line without an equals sign\n"
      "url=pkg/quintar-5.21.tar.gz\r\n"
      "SHA256=ABCDEF0123456789abcdef0123456789ABCDEF0123456789abcdef0123456789\n"
      "colour=blue\n"
      "importance=5\n"
      "notes=1、导线网平差更快\n"
      "notes=2、修正高程表的小数位\n"
      "notes=a=b stays as written\n";
  app::VersionInfo v = app::ParseVersionInfo(doc);
  EXPECT_EQ(v.version, "521");
  EXPECT_EQ(v.size, "123456");
  EXPECT_EQ(v.date, "2026-11-30");
  EXPECT_EQ(v.url, "pkg/quintar-5.21.tar.gz");
  EXPECT_EQ(v.sha256, "abcdef0123456789abcdef0123456789abcdef0123456789abcdef0123456789");
  EXPECT_EQ(v.importance, "5");
  EXPECT_EQ(v.notes, "1、导线网平差更快\r\n2、修正高程表的小数位\r\na=b stays as written");
  EXPECT_TRUE(app::IsVerifiable(v));

  app::VersionInfo empty = app::ParseVersionInfo("");
  EXPECT_EQ(empty.importance, "0");
  EXPECT_FALSE(app::IsVerifiable(empty));
}

TEST(VersionDocument, WhatCannotBeVerifiedIsNoOffer) {
  const std::string hash(64, 'a');
  struct Case {
    std::string size, sha;
    bool ok;
  } cases[] = {
      {"10", hash, true},         {"0", hash, false},           {"-5", hash, false},
      {"12MB", hash, false},      {"", hash, false},            {"10", hash.substr(1), false},
      {"10", hash + "a", false},  {"10", std::string(64, 'g'), false},
      {"999999999999999999999", hash, false},
  };
  for (const auto& c : cases) {
    app::VersionInfo v;
    v.size = c.size;
    v.sha256 = c.sha;
    EXPECT_EQ(app::IsVerifiable(v), c.ok) << c.size << " " << c.sha;
  }
}

TEST(VersionDocument, AnEndlessDocumentIsReadOnlyToItsCap) {
  std::string doc = "version=530\nnotes=" + std::string(1 << 20, 'x') + "\nurl=never";
  app::VersionInfo v = app::ParseVersionInfo(doc);
  EXPECT_EQ(v.version, "530");
  EXPECT_LT(v.notes.size(), app::kMaxVersionInfoBytes);
  EXPECT_EQ(v.url, "") << "lines past the cap are not read";
}

TEST(UpdateCheck, VersionComparisonAndImportance) {
  EXPECT_FALSE(app::IsNewerVersion("520", "520"));
  EXPECT_FALSE(app::IsNewerVersion("520", "519"));
  EXPECT_TRUE(app::IsNewerVersion("520", "521"));
  EXPECT_TRUE(app::IsNewerVersion("520", "1000"));  // numbers, not texts
  struct Case {
    const char* importance;
    const char* first;
  } cases[] = {
      {"0", "检测到新版本，请升级软件。\r\n"},     {"4", "检测到新版本，请升级软件。\r\n"},
      {"5", "检测到重要更新，请立即升级软件。\r\n"}, {"9", "检测到重要更新，请立即升级软件。\r\n"},
      {"10", "检测到重要更新，必须升级软件。\r\n"}, {"99x", "检测到重要更新，必须升级软件。\r\n"},
      {"", "检测到新版本，请升级软件。\r\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(app::NewVersionMessage(c.importance, "修正"), std::string(c.first) + "软件最近更新：修正") << c.importance;
}

TEST(UpdateDownload, ProgressTextAndPercentageIn64Bits) {
  EXPECT_EQ(app::DownloadProgressText(0, 0), "已下载:0KB 速度:0.0KB/s");
  EXPECT_EQ(app::DownloadProgressText(10240, 0), "已下载:10KB 速度:1000.0KB/s") << "0 ms counts as 10";
  EXPECT_EQ(app::DownloadProgressText(2048 * 1024, 2000), "已下载:2048KB 速度:1024.0KB/s");
  const std::int64_t big = std::int64_t(3) << 32;  // 12 GB, far past 32 bits
  EXPECT_EQ(app::DownloadProgressText(big, 1000), "已下载:12582912KB 速度:12582912.0KB/s");

  struct Case {
    std::int64_t bytes, total;
    int pct;
  } cases[] = {
      {0, 100, 0},           {50, 100, 50},          {100, 100, 100},        {150, 100, 100},
      {22 << 20, 44 << 20, 50}, {big, big * 4, 25},  {10, 0, -1},            {10, -1, -1},
      {INT64_MAX / 2, INT64_MAX, 49},
  };
  for (const auto& c : cases) EXPECT_EQ(app::DownloadPercent(c.bytes, c.total), c.pct) << c.bytes << "/" << c.total;
}

TEST(UpdateDownload, FailureMessagesStartWithTheirPrefix) {
  struct Case {
    int code;
    const char* prefix;
  } cases[] = {
      {app::kDownloadConnectFailed, "连接网络失败，请检查："},
      {app::kDownloadServerRefused, "连接网络文件失败，请检查："},
      {app::kDownloadSaveFailed, "保存文件到本地失败，请检查："},
      {app::kDownloadReadFailed, "读取网络文件失败，请检查："},
      {app::kDownloadOffline, "请检查："},
      {app::kDownloadNotVerified, "校验升级文件失败，"},
  };
  for (const auto& c : cases) EXPECT_EQ(app::DownloadFailureMessage(c.code).rfind(c.prefix, 0), 0u) << c.code;
  EXPECT_NE(app::DownloadFailureMessage(app::kDownloadReadFailed).find("\r\n3、其它故障请联系软件作者。"), std::string::npos);
  EXPECT_NE(app::DownloadSavedMessage("/home/u/下载/q.tar.gz").find("/home/u/下载/q.tar.gz"), std::string::npos);
}

}  // namespace
