#pragma once
// GBK text files with CR LF. Readers take LF-only files too and strip a trailing CR;
// writers save atomically: a temporary file beside the target, every write checked,
// then a rename, so a failed save leaves the old file as it was.
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Reads a whole file as bytes; nullopt when it cannot be opened or read.
// Files larger than maxBytes are refused (a hostile file never exhausts memory).
std::optional<std::string> ReadFileBytes(const std::string& path,
                                         std::size_t maxBytes = std::size_t(512) << 20);

// Splits GBK bytes into UTF-8 lines at LF, dropping a trailing CR of each line.
std::vector<std::string> SplitGbkLines(const std::string& bytes);

// Reads a GBK text file into UTF-8 lines.
std::optional<std::vector<std::string>> ReadGbkLines(const std::string& path);

// Joins UTF-8 lines as GBK with CR LF after each. When a line holds a character GBK
// cannot store, returns nullopt and sets *badLine (1-based) and *badChar.
std::optional<std::string> EncodeGbkLines(const std::vector<std::string>& lines,
                                          int* badLine = nullptr, std::string* badChar = nullptr);

// Writes bytes atomically. On failure returns false, leaves any old file intact and
// puts a reason (Chinese, for a message box) into *error.
bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error = nullptr);

}  // namespace platform
