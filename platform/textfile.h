#pragma once
// GBK text files with CR LF. Readers take LF-only files too and strip a trailing CR;
// writers save atomically: a temporary file beside the target, every write checked,
// then a rename, so a failed save leaves the old file as it was.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Reads a whole regular file as bytes; nullopt when it cannot be opened or read, is
// not a regular file (a FIFO, a device, a folder: opened non-blocking and refused, so
// the caller never hangs), or is larger than maxBytes (a hostile file never exhausts
// memory). *error receives a Chinese reason.
std::optional<std::string> ReadFileBytes(const std::string& path,
                                         std::size_t maxBytes = std::size_t(512) << 20,
                                         std::string* error = nullptr);

// Lines whose bytes were not GBK (they read with "?" in their place).
struct GbkDamage {
  int firstLine = 0;  // 1-based; 0 when every line was sound
  int lines = 0;
};

// How the bytes of a text file are read.
enum class TextEncoding { Gbk, Utf8 };

// Splits text bytes into UTF-8 lines. A line ends at LF, a CR before it dropped; in
// bytes without any LF a CR ends the line (a file saved with CR-only line ends).
// Empty lines cost nothing: of a run of empty lines at most keepEmpty are kept (0
// drops them all), so a file of bare line ends never grows into millions of
// strings; a format in which an empty line means something passes how many in a
// row can still mean something. damage counts lines as the file has them. Bytes
// that are not of the encoding read as "?".
std::vector<std::string> SplitTextLines(std::string_view bytes, TextEncoding encoding, GbkDamage* damage = nullptr,
                                        std::size_t keepEmpty = 0);
inline std::vector<std::string> SplitGbkLines(std::string_view bytes, GbkDamage* damage = nullptr,
                                              std::size_t keepEmpty = 0) {
  return SplitTextLines(bytes, TextEncoding::Gbk, damage, keepEmpty);
}

// The encoding a text file of unknown origin is most likely in: UTF-8 when it starts
// with the UTF-8 byte-order mark, or when it is well-formed UTF-8 and holds
// characters beyond ASCII (Chinese GBK text practically never is); GBK otherwise.
// *bom receives the length of a byte-order mark to skip.
TextEncoding GuessTextEncoding(std::string_view bytes, std::size_t* bom = nullptr);

// True when the bytes start with a UTF-16 byte-order mark, or look like UTF-16 text
// (a zero byte in the first line): text no GBK reader can read.
bool LooksLikeUtf16(std::string_view bytes);

// Reads a GBK text file into UTF-8 lines.
std::optional<std::vector<std::string>> ReadGbkLines(const std::string& path);

// Joins UTF-8 lines as GBK with CR LF after each. When a line holds a character GBK
// cannot store, returns nullopt and sets *badLine (1-based) and *badChar.
std::optional<std::string> EncodeGbkLines(const std::vector<std::string>& lines,
                                          int* badLine = nullptr, std::string* badChar = nullptr);

// Writes bytes atomically. A symbolic link is followed and the file it names is
// replaced; a replaced file keeps its permission bits (and owner, where allowed). A
// target that exists and may not be written (no write permission, or marked
// read-only), or is not a regular file, is refused. On failure returns false, leaves
// any old file intact and puts a reason (Chinese, for a message box) into *error.
//
// The temporary file is made beside the target under a fresh name
// "<target>.tmp~XXXXXX" (six letters or digits), created exclusively so that nothing
// already standing there (a link, a folder, another writer's file) is followed or
// overwritten. It is locked while it is written; such a file left by a writer that
// was killed (unlocked, untouched for a minute, ours) is removed at the next write
// to the same target.
bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string* error = nullptr);

// The same, for a file written piece by piece: Open, Write as often as needed,
// Commit. After the first failure the rest does nothing and Commit reports it;
// a file never committed leaves no temporary file behind.
class CAtomicFile {
 public:
  CAtomicFile() = default;
  ~CAtomicFile();
  CAtomicFile(const CAtomicFile&) = delete;
  CAtomicFile& operator=(const CAtomicFile&) = delete;
  bool Open(const std::string& path);
  bool Write(std::string_view bytes);
  // Makes the file the target; false with the reason of the first failure.
  bool Commit(std::string* error = nullptr);
  bool Failed() const { return failed_; }
  // The temporary file's name after a successful Open, for a library that writes
  // only to a file name; Commit checks that the name still holds this file.
  const std::string& TempPath() const { return tmp_; }

 private:
  bool Fail(const std::string& why);
  std::string path_, tmp_, why_;
  int fd_ = -1;
  unsigned long long dev_ = 0, ino_ = 0;  // the temporary file as created
  bool exists_ = false, failed_ = false;
  unsigned uid_ = 0, gid_ = 0, mode_ = 0;
};

// The Chinese reason for a system error number of a file operation; the system's
// own text only for causes a user rarely meets.
std::string FileErrorText(int err);

}  // namespace platform
