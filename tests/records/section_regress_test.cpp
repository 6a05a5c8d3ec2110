// Damaged job files kept as regressions: each reads without leaving its section, with
// the values a reader must fall back to, and what it read saves and reads again to
// the same lines.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/doc_section.h"
#include "platform/textfile.h"
#include "records/gcjl_view.h"
#include "records/records_section.h"

namespace {

struct Loaded {
  std::vector<std::string> lines;
  std::size_t start = 0, end = 0;
  records::RecordsData data;
};

Loaded Load(const std::string& name) {
  Loaded l;
  auto bytes = platform::ReadFileBytes(std::string(QUINTAR_SOURCE_DIR) + "/tests/records/data/regress/" + name);
  EXPECT_TRUE(bytes.has_value()) << name;
  if (!bytes) return l;
  l.lines = platform::SplitGbkLines(*bytes);
  while (l.start < l.lines.size() && l.lines[l.start] != app::kRecordsBanner) ++l.start;
  l.end = ++l.start;
  l.data.Reset();
  records::ReadRecordsSectionLines(l.lines, l.end, l.data);
  return l;
}

TEST(RecordsSectionRegress, EveryFileStaysInItsSectionAndRoundTrips) {
  const std::string dir = std::string(QUINTAR_SOURCE_DIR) + "/tests/records/data/regress";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const Loaded l = Load(entry.path().filename().string());
    ++files;
    for (std::size_t i = l.start; i < l.end; ++i) {
      EXPECT_TRUE(l.lines[i] != app::kTraverseBanner && l.lines[i] != app::kToolsBanner) << entry.path();
      EXPECT_TRUE(l.lines[i] != app::kSectionEnd || i + 1 == l.end) << entry.path();
    }
    const std::vector<std::string> first = records::WriteRecordsSectionLines(l.data);
    records::RecordsData again;
    again.Reset();
    std::size_t pos = 1;
    records::ReadRecordsSectionLines(first, pos, again);
    EXPECT_EQ(records::WriteRecordsSectionLines(again), first) << entry.path();
  }
  EXPECT_GE(files, 5);
}

TEST(RecordsSectionRegress, WhatEachDamagedFileReads) {
  {
    const Loaded l = Load("short-page-eats-traverse.qvt");
    EXPECT_EQ(l.lines[l.end], app::kTraverseBanner);
    EXPECT_EQ(l.data.dx.m_arrPages.at(0).RowCount(), 40);
    EXPECT_EQ(l.data.dx.m_arrPages[0].Cell(0, 3), "180");
  }
  {
    const Loaded l = Load("huge-rows-and-sets.qvt");
    EXPECT_EQ(l.data.dx.m_nSets, 2);
    EXPECT_EQ(l.data.dx.m_nTableRows, 40);
    EXPECT_EQ(l.data.shpj.m_nSets, 2);
    EXPECT_EQ(l.data.shpj.m_nTableRows, 40);
    EXPECT_EQ(l.data.shzh.m_nLevellingMode, 0);
    EXPECT_EQ(l.data.shzh.m_nTableRows, 40);
  }
  {
    const Loaded l = Load("settings-after-pages.qvt");
    EXPECT_EQ(l.data.shzh.m_arrPages.at(0).RowCount(), 6);
    EXPECT_EQ(l.data.shzh.m_arrPages[0].Cell(0, 7), "6210");
    EXPECT_EQ(l.data.dx.m_arrPages.at(0).RowCount(), 4);
  }
  {
    const Loaded l = Load("no-closing-line.qvt");
    EXPECT_EQ(l.lines[l.end], app::kToolsBanner);
    EXPECT_EQ(l.data.shpj.m_arrPages.at(0).Cell(0, 3), "180");
  }
  {
    // A book read with no pages gets one when the view takes it, so it stays reachable.
    Loaded l = Load("empty-page-list.qvt");
    EXPECT_TRUE(l.data.dx.m_arrPages.empty());
    CGcJlView view;
    view.ApplyRecordsData(std::move(l.data));
    EXPECT_EQ(view.PageCount("DX"), 1);
    EXPECT_TRUE(view.ShowPage("DX", 0));
    EXPECT_EQ(view.GetRowCount(), 40);
  }
}

}  // namespace
