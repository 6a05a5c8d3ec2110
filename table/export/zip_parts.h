#pragma once
// Office packages (.xlsx, .odt) are zip archives of named parts. These read one from
// memory and build one in memory, so that a file is only ever written through the
// program's atomic save.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace table {

struct ZipPart {
  std::string name;
  std::string data;
  bool stored = false;  // kept uncompressed (an ODF mimetype must be)
};

// The parts of an archive in their order; nullopt with a Chinese reason when the bytes
// are not a zip archive we can read. A part larger than `maxPart` is refused too.
std::optional<std::vector<ZipPart>> ReadZip(const std::string& bytes, std::string* error,
                                            std::size_t maxPart = std::size_t(256) << 20);

// The archive of `parts` in their order.
std::optional<std::string> MakeZip(const std::vector<ZipPart>& parts, std::string* error);

}  // namespace table
