#pragma once
// Text inside the program is UTF-8; files and old programs' clipboards use GBK.
// The codec sits on glibc iconv. Encoding refuses what GBK cannot hold instead of
// replacing it, so a save can report the character before anything is written.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 -> GBK. Returns nullopt when a character has no GBK form (or the input is
// not valid UTF-8); *badOffset then receives the byte offset of it in the input.
std::optional<std::string> Utf8ToGbk(std::string_view utf8, std::size_t* badOffset = nullptr);

// GBK -> UTF-8. A byte sequence that is not GBK becomes "?" so that a damaged file
// still loads; *damaged (when given) is set true when that happened, so the caller
// can tell the user before the "?" are saved.
std::string GbkToUtf8(std::string_view gbk, bool* damaged = nullptr);

// Length of the well-formed UTF-8 character at s[i] (no overlong forms, surrogates
// or code points beyond U+10FFFF), 0 when the bytes there are none.
std::size_t Utf8ValidCharLen(std::string_view s, std::size_t i);

// True when the bytes are well-formed UTF-8 throughout.
bool IsValidUtf8(std::string_view s);

// The text with every byte that is not part of a well-formed UTF-8 character
// replaced by "?"; *damaged (when given) is set true when that happened.
std::string CleanUtf8(std::string_view s, bool* damaged = nullptr);

// True when every character of the UTF-8 text can be stored in GBK.
bool IsGbkEncodable(std::string_view utf8);

// The first character of the text that GBK cannot store, or "" when there is none.
std::string FirstNonGbkChar(std::string_view utf8);

// Width in GBK bytes: 1 for ASCII, 2 for every other character. Column widths and
// padding are measured with it.
int GbkWidth(std::string_view utf8);

// Byte length of the UTF-8 character that starts at s[i] (1 for a stray byte).
std::size_t Utf8CharLen(std::string_view s, std::size_t i);

// Cuts the text to at most maxWidth GBK bytes without splitting a character.
std::string GbkTruncate(std::string_view utf8, int maxWidth);

}  // namespace platform
