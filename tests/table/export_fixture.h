#pragma once
// A small coordinate table for the export tests: a point-name column over both
// header lines, a staggered side column, and "坐标" spanning X and Y.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "table/export/export_ports.h"
#include "table/table_view.h"

namespace tabletest {

inline void FillCoordinateTable(CTableView& v, const std::string& title = "坐标表") {
  v.OnInitialUpdate();
  v.NewTable(3, 4, title, true);
  v.SetColumnHeader(1, "点名", "");
  v.SetColumnHeader(2, "边长", "");
  v.SetColumnStagger(2, true);
  v.SetColumnHeader(3, "坐标", "X", 2);
  v.SetColumnHeader(4, "", "Y");
  const char* cells[3][4] = {{"A", "123.456", "3456789.123", "512345.654"},
                             {"B007", "98.700", "3456800.000", "-12.5"},
                             {"007", "", "3456900.500", "512500.250"}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) v.SetCellText(r + 1, c + 1, cells[r][c]);
  v.SetHeaderText(0, "工程名称：演示");
}

inline std::string Shell(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  while (std::size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  pclose(p);
  return out;
}

// A fresh folder for one test.
class TempDir {
 public:
  explicit TempDir(const std::string& tag)
      : path_(std::filesystem::temp_directory_path() / ("quintar-" + tag + "-" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Export dialogs that answer from a script and count what was opened.
class ScriptedExportDialogs final : public table::IExportDialogs {
 public:
  ScriptedExportDialogs() { old_ = table::SetExportDialogs(this); }
  ~ScriptedExportDialogs() override { table::SetExportDialogs(old_); }
  ScriptedExportDialogs(const ScriptedExportDialogs&) = delete;
  ScriptedExportDialogs& operator=(const ScriptedExportDialogs&) = delete;
  bool RunTextExportDialog(table::TextExportSettings& s) override {
    ++textRuns;
    if (ok) s = text;
    return ok;
  }
  void ShowExcelDialog(CTableView&) override { ++excelShown; }
  void ShowWordDialog(CTableView&) override { ++wordShown; }
  void ShowCadDialog(CTableView&) override { ++cadShown; }
  table::TextExportSettings text;
  bool ok = true;
  int textRuns = 0, excelShown = 0, wordShown = 0, cadShown = 0;

 private:
  table::IExportDialogs* old_ = nullptr;
};

}  // namespace tabletest
