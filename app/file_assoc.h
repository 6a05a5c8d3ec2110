#pragma once
// The ".qvt" file association. On this desktop it is a per-user freedesktop
// registration: a MIME type for "*.qvt", a .desktop entry that runs this program, and
// the default-application line in mimeapps.list. Nothing here ever asks for elevation.
#include <string>

namespace app {

inline constexpr const char* kQvtMimeType = "application/x-quintar-qvt";
inline constexpr const char* kDesktopEntry = "quintar.desktop";
inline constexpr const char* kAssocWrong = "本软件文件关联不正确，\n";
inline constexpr const char* kAssocRepairQuestion = "\n是否立即修复？\n";

class IFileAssociation {
 public:
  virtual ~IFileAssociation() = default;
  // Whether ".qvt" opens with this program.
  virtual bool IsAssociated() = 0;
  // Writes the MIME type and the .desktop entry; claims the default only when no
  // program (or this one) holds it, so another program's choice is not overridden.
  virtual bool RegisterFileTypes() = 0;
  // Makes this program the default for ".qvt" (the repair).
  virtual bool Repair() = 0;
  // Whether the repair can write what it must (a read-only home cannot take it).
  virtual bool CanRepair() = 0;
};

// Per-user registration under XDG_DATA_HOME / XDG_CONFIG_HOME (or ~/.local/share,
// ~/.config).
class XdgFileAssociation final : public IFileAssociation {
 public:
  // programPath: the executable the .desktop entry runs.
  explicit XdgFileAssociation(std::string programPath, std::string dataHome = "", std::string configHome = "");
  bool IsAssociated() override;
  bool RegisterFileTypes() override;
  bool Repair() override;
  bool CanRepair() override;

  std::string MimeFile() const;
  std::string DesktopFile() const;
  std::string MimeAppsFile() const;
  // The current default application for the MIME type ("" when none).
  std::string DefaultApp() const;

 private:
  bool WriteOwnFiles();
  bool SetDefault();
  std::string program_, data_, config_;
};

// The start-up check: when the association is wrong, asks
// "本软件文件关联不正确，\n" + "\n是否立即修复？\n" and repairs on Yes.
// A repair that cannot succeed (CanRepair false) is not offered: the user is told
// once (profile "settings"/"AssocRepairFailed") and not asked again until it can.
// Returns true when the association is (now) right.
inline constexpr const char* kAssocCannotRepair =
    "本软件文件关联不正确，\n用户配置文件夹不可写入，无法修复。\n在该文件夹可写入之前不再提示。";
bool CheckFileAssociationAtStartup(IFileAssociation& assoc);

}  // namespace app
