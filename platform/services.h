#pragma once
// Ports for the desktop services a presenter uses besides message boxes: the
// clipboard, the profile (settings that outlive a job), file choosers and "open with
// the desktop's program". The Qt side installs real ones; tests install MemoryServices.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual std::string GetText() = 0;               // UTF-8; "" when none
  virtual void SetText(const std::string& text) = 0;
};

// Profile values by section and key, as the program's settings store keeps them.
class IProfile {
 public:
  virtual ~IProfile() = default;
  virtual int GetInt(const std::string& section, const std::string& key, int def) = 0;
  virtual void SetInt(const std::string& section, const std::string& key, int value) = 0;
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& def) = 0;
  virtual void SetString(const std::string& section, const std::string& key,
                         const std::string& value) = 0;
};

struct FileOptions {
  bool overwritePrompt = true;  // ask before an existing file is chosen for saving
  std::string defaultSuffix;    // added to a typed name without one, e.g. "txt"
  std::string startFolder;      // where the chooser opens; empty: its own choice
};

class IFileChooser {
 public:
  virtual ~IFileChooser() = default;
  // filter like "Quintar文件 (*.qvt)"; returns the chosen path or nullopt on Cancel.
  virtual std::optional<std::string> OpenFile(const std::string& caption, const std::string& filter,
                                              const FileOptions& options = {}) = 0;
  virtual std::optional<std::string> SaveFile(const std::string& caption, const std::string& filter,
                                              const std::string& suggested,
                                              const FileOptions& options = {}) = 0;
};

class IDesktop {
 public:
  virtual ~IDesktop() = default;
  // Opens a file or address with the desktop's program; false when that failed.
  virtual bool OpenWithDesktop(const std::string& pathOrUrl) = 0;
};

struct Services {
  IClipboard* clipboard = nullptr;
  IProfile* profile = nullptr;
  IFileChooser* files = nullptr;
  IDesktop* desktop = nullptr;
};

// The services in force; each pointer is never null (in-memory defaults).
Services& Desktop();
// Replaces the services (null members keep the defaults); returns the old set.
Services SetServices(const Services& s);

// In-memory implementations: the defaults, and the fakes tests script.
class MemoryClipboard final : public IClipboard {
 public:
  std::string GetText() override { return text; }
  void SetText(const std::string& t) override { text = t; }
  std::string text;
};

class MemoryProfile final : public IProfile {
 public:
  int GetInt(const std::string& s, const std::string& k, int def) override;
  void SetInt(const std::string& s, const std::string& k, int v) override;
  std::string GetString(const std::string& s, const std::string& k, const std::string& def) override;
  void SetString(const std::string& s, const std::string& k, const std::string& v) override;
  std::map<std::pair<std::string, std::string>, std::string> values;
};

class ScriptedFileChooser final : public IFileChooser {
 public:
  std::optional<std::string> OpenFile(const std::string&, const std::string&,
                                      const FileOptions& o = {}) override {
    lastOptions = o;
    return Next();
  }
  std::optional<std::string> SaveFile(const std::string&, const std::string&, const std::string&,
                                      const FileOptions& o = {}) override {
    lastOptions = o;
    return Next();
  }
  std::vector<std::optional<std::string>> answers;  // consumed from the front
  FileOptions lastOptions;                          // what the last call asked for
 private:
  std::optional<std::string> Next() {
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
};

class RecordingDesktop final : public IDesktop {
 public:
  bool OpenWithDesktop(const std::string& p) override { opened.push_back(p); return result; }
  std::vector<std::string> opened;
  bool result = true;
};

// Installs fresh in-memory services for a test and restores the old ones after.
class ScopedMemoryServices {
 public:
  ScopedMemoryServices() { old_ = SetServices({&clipboard, &profile, &files, &desktop}); }
  ~ScopedMemoryServices() { SetServices(old_); }
  ScopedMemoryServices(const ScopedMemoryServices&) = delete;
  ScopedMemoryServices& operator=(const ScopedMemoryServices&) = delete;
  MemoryClipboard clipboard;
  MemoryProfile profile;
  ScriptedFileChooser files;
  RecordingDesktop desktop;

 private:
  Services old_;
};

}  // namespace platform
