#include "platform/services.h"

#include "platform/number.h"

namespace platform {
namespace {

MemoryClipboard g_clip;
MemoryProfile g_profile;
ScriptedFileChooser g_files;
RecordingDesktop g_desktop;
Services g_services{&g_clip, &g_profile, &g_files, &g_desktop};

}  // namespace

int MemoryProfile::GetInt(const std::string& s, const std::string& k, int def) {
  auto it = values.find({s, k});
  return it == values.end() ? def : ParseInt(it->second);
}
void MemoryProfile::SetInt(const std::string& s, const std::string& k, int v) {
  values[{s, k}] = std::to_string(v);
}
std::string MemoryProfile::GetString(const std::string& s, const std::string& k, const std::string& def) {
  auto it = values.find({s, k});
  return it == values.end() ? def : it->second;
}
void MemoryProfile::SetString(const std::string& s, const std::string& k, const std::string& v) {
  values[{s, k}] = v;
}

Services& Desktop() { return g_services; }

Services SetServices(const Services& s) {
  Services old = g_services;
  g_services.clipboard = s.clipboard ? s.clipboard : &g_clip;
  g_services.profile = s.profile ? s.profile : &g_profile;
  g_services.files = s.files ? s.files : &g_files;
  g_services.desktop = s.desktop ? s.desktop : &g_desktop;
  return old;
}

}  // namespace platform
