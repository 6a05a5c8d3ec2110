// The settings file: the profile the program reads at start and in its dialogs
// (an ini file under the user's configuration folder), given as hostile bytes and
// read through the same Qt profile and the same readers as the program. Checked:
// what the readers keep is something the program can work with.
#include <fcntl.h>
#include <sys/stat.h>

#include <QSettings>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "app/recent.h"
#include "app/scale.h"
#include "platform/services.h"
#include "table/ui/qt_ports.h"
#include "tests/fuzz/fuzz_common.h"
#include "traverse/kzd/kzd_export.h"

namespace {

std::string g_file;
table_ui::QtProfile g_profile;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char tmpl[] = "/tmp/fuzz-settings-XXXXXX";
  const char* dir = ::mkdtemp(tmpl);
  if (!dir) std::abort();
  static const std::string made = dir;
  std::atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(made, ec);
  });
  // The profile's folder, as the program finds it, points at a private one.
  const QString root = QString::fromUtf8(dir);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, root);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, root);
  const std::string folder = std::string(dir) + "/" + table_ui::kProfileOrganisation;
  ::mkdir(folder.c_str(), 0700);
  g_file = folder + "/" + table_ui::kProfileApplication + ".conf";
  platform::SetServices({nullptr, &g_profile, nullptr, nullptr});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream out(g_file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  // A new time for every input: the settings are read again, not taken from a cache.
  static long long stamp = 1000000000;
  const struct timespec times[2] = {{static_cast<time_t>(++stamp), 0}, {static_cast<time_t>(stamp), 0}};
  ::utimensat(AT_FDCWD, g_file.c_str(), times, 0);

  platform::IProfile& p = *platform::Desktop().profile;
  const int pt = app::SanitizeFontPt(p.GetInt("settings", "FontPt", app::kDefaultFontPt));
  FUZZ_CHECK(app::IsListedFontSize(pt), "font size not in the list");
  (void)p.GetInt("settings", "LowVerAlarm", 1);
  (void)p.GetInt("settings", "AssocRepairFailed", 0);
  (void)p.GetString("settings", "UpdateUrl", "");

  app::RecentFiles recent;
  recent.Load();
  const auto& paths = recent.Paths();
  FUZZ_CHECK(paths.size() <= static_cast<std::size_t>(app::RecentFiles::kSize), "too many recent files");
  for (std::size_t i = 0; i < paths.size(); ++i) {
    FUZZ_CHECK(!paths[i].empty(), "empty recent file");
    for (std::size_t k = 0; k < i; ++k) FUZZ_CHECK(paths[k] != paths[i], "recent file listed twice");
  }

  traverse::CExportKzdForm form;
  form.LoadProfile(p);
  FUZZ_CHECK(form.separator >= traverse::kKzdComma && form.separator <= traverse::kKzdLineBreak,
             "separator out of range");
  (void)traverse::SeparatorText(form.separator);
  return 0;
}
