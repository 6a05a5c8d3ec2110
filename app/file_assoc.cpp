#include "app/file_assoc.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/ports.h"
#include "platform/services.h"
#include "platform/textfile.h"

namespace app {

namespace fs = std::filesystem;

namespace {

std::string HomeDir(const char* xdgVar, const char* fallback) {
  if (const char* v = std::getenv(xdgVar); v && *v == '/') return v;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + fallback;
}

std::string ReadText(const std::string& path) {
  auto b = platform::ReadFileBytes(path, 1 << 20);
  return b ? *b : std::string();
}

bool WriteText(const std::string& path, const std::string& text) {
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  return platform::WriteFileAtomic(path, text);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    out.push_back(l);
  }
  return out;
}

// Exec quoting of freedesktop desktop entries.
std::string QuoteExec(const std::string& path) {
  std::string q = "\"";
  for (char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') q += '\\';
    q += c;
  }
  return q + "\"";
}

// Whether a file can be written where it stands: an existing file must be a
// writable regular file (the atomic save refuses anything else); a missing one needs
// its nearest existing folder to be writable, as the folders are made on the way.
bool CanWriteFile(const fs::path& file) {
  std::error_code ec;
  fs::file_status st = fs::symlink_status(file, ec);
  if (fs::exists(st)) {
    if (fs::is_symlink(st)) st = fs::status(file, ec);
    const auto w = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return fs::is_regular_file(st) && (st.permissions() & w) != fs::perms::none &&
           ::access(file.c_str(), W_OK) == 0;
  }
  for (fs::path dir = file.parent_path(); !dir.empty(); dir = dir.parent_path()) {
    fs::file_status d = fs::status(dir, ec);
    if (fs::exists(d)) return fs::is_directory(d) && ::access(dir.c_str(), W_OK | X_OK) == 0;
    if (dir == dir.root_path()) break;
  }
  return false;
}

constexpr const char* kSettings = "settings";
constexpr const char* kAssocRepairFailed = "AssocRepairFailed";

}  // namespace

XdgFileAssociation::XdgFileAssociation(std::string programPath, std::string dataHome, std::string configHome)
    : program_(std::move(programPath)),
      data_(dataHome.empty() ? HomeDir("XDG_DATA_HOME", "/.local/share") : std::move(dataHome)),
      config_(configHome.empty() ? HomeDir("XDG_CONFIG_HOME", "/.config") : std::move(configHome)) {}

std::string XdgFileAssociation::MimeFile() const { return data_ + "/mime/packages/quintar-qvt.xml"; }
std::string XdgFileAssociation::DesktopFile() const { return data_ + "/applications/" + kDesktopEntry; }
std::string XdgFileAssociation::MimeAppsFile() const { return config_ + "/mimeapps.list"; }

std::string XdgFileAssociation::DefaultApp() const {
  bool inDefaults = false;
  const std::string key = std::string(kQvtMimeType) + "=";
  for (const auto& l : Lines(ReadText(MimeAppsFile()))) {
    if (!l.empty() && l[0] == '[') {
      inDefaults = l == "[Default Applications]";
      continue;
    }
    if (inDefaults && l.compare(0, key.size(), key) == 0) {
      std::string v = l.substr(key.size());
      auto semi = v.find(';');
      return semi == std::string::npos ? v : v.substr(0, semi);
    }
  }
  return {};
}

bool XdgFileAssociation::IsAssociated() {
  if (DefaultApp() != kDesktopEntry) return false;
  if (!fs::exists(MimeFile())) return false;
  // The entry must run this program, not a copy that has moved away.
  return ReadText(DesktopFile()).find("Exec=" + QuoteExec(program_) + " %f") != std::string::npos;
}

bool XdgFileAssociation::WriteOwnFiles() {
  std::string mime =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
      "  <mime-type type=\"" + std::string(kQvtMimeType) + "\">\n"
      "    <comment>Quintar文件</comment>\n"
      "    <glob pattern=\"*.qvt\"/>\n"
      "  </mime-type>\n"
      "</mime-info>\n";
  std::string desktop =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Quintar\n"
      "Comment=Quintar文件\n"
      "Exec=" + QuoteExec(program_) + " %f\n"
      "MimeType=" + std::string(kQvtMimeType) + ";\n"
      "Terminal=false\n"
      "Categories=Science;Education;\n";
  return WriteText(MimeFile(), mime) && WriteText(DesktopFile(), desktop);
}

bool XdgFileAssociation::SetDefault() {
  std::vector<std::string> lines = Lines(ReadText(MimeAppsFile()));
  const std::string key = std::string(kQvtMimeType) + "=";
  const std::string entry = key + kDesktopEntry + ";";
  int section = -1;
  bool done = false;
  for (std::size_t i = 0; i < lines.size() && !done; ++i) {
    if (!lines[i].empty() && lines[i][0] == '[') {
      if (section >= 0) break;
      if (lines[i] == "[Default Applications]") section = static_cast<int>(i);
      continue;
    }
    if (section >= 0 && lines[i].compare(0, key.size(), key) == 0) {
      lines[i] = entry;
      done = true;
    }
  }
  if (!done) {
    if (section < 0) {
      lines.push_back("[Default Applications]");
      lines.push_back(entry);
    } else {
      lines.insert(lines.begin() + section + 1, entry);
    }
  }
  std::string text;
  for (const auto& l : lines) text += l + "\n";
  return WriteText(MimeAppsFile(), text);
}

bool XdgFileAssociation::RegisterFileTypes() {
  if (!WriteOwnFiles()) return false;
  std::string current = DefaultApp();
  if (current.empty() || current == kDesktopEntry) return SetDefault();
  return true;
}

bool XdgFileAssociation::Repair() { return WriteOwnFiles() && SetDefault(); }

bool XdgFileAssociation::CanRepair() {
  return CanWriteFile(MimeFile()) && CanWriteFile(DesktopFile()) && CanWriteFile(MimeAppsFile());
}

bool CheckFileAssociationAtStartup(IFileAssociation& assoc) {
  platform::IProfile& profile = *platform::Desktop().profile;
  auto remember = [&](int failed) {
    if (profile.GetInt(kSettings, kAssocRepairFailed, 0) != failed) profile.SetInt(kSettings, kAssocRepairFailed, failed);
  };
  if (assoc.IsAssociated()) {
    remember(0);
    return true;
  }
  if (!assoc.CanRepair()) {
    // Asking at every start would only lead to the same failure.
    if (profile.GetInt(kSettings, kAssocRepairFailed, 0) == 0)
      platform::Messages().ShowMessage(kAssocCannotRepair, platform::MsgIcon::Warning);
    remember(1);
    return false;
  }
  remember(0);
  if (!platform::Messages().AskYesNo(std::string(kAssocWrong) + kAssocRepairQuestion)) return false;
  if (assoc.Repair()) return true;
  platform::Messages().ShowMessage("文件关联修复失败。", platform::MsgIcon::Warning);
  return false;
}

}  // namespace app
