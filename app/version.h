#pragma once
// The program version and the texts built from it.
#include <string>

namespace app {

inline constexpr const char* kProductName = "Quintar";
inline constexpr const char* kProgramVersion = "520";  // written as line 2 of every job
inline constexpr int kProgramVersionNumber = 520;
// The product's web site: "官方网站" in the menu and the help, and the default home
// of the update server.
inline constexpr const char* kWebsiteUrl = "https://quintar.example.com/";

// "520" -> "5.2", "512" -> "5.12": a point before the last two digits, then one
// trailing "0" dropped. Texts shorter than three digits stay as they are.
std::string FormatVersion(const std::string& version);

// "Quintar5.2版": the frame title and the About box's version line.
std::string ProductTitle(const std::string& version = kProgramVersion);

// Frame caption: "Quintar5.2版 - job.qvt".
std::string FrameCaption(const std::string& docTitle, const std::string& version = kProgramVersion);

}  // namespace app
