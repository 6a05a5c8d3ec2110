#pragma once
// Advice to the system about memory the program fills in one go.
#include <algorithm>
#include <cstddef>

namespace platform {

// A large block about to be filled at once (the rows of a big job): asks the system
// to back it with large pages where it offers them, so that filling it does not fault
// page by page. Only the whole large pages inside [data, data + bytes) are advised;
// small blocks, and systems without the advice, are left as they are. Advice only:
// nothing else changes, and a refusal is ignored.
void AdviseLargeBlock(const void* data, std::size_t bytes);

// Room for n more elements in v, at least doubling its capacity: a list reserved
// piece by piece (one block of rows after another) still grows in linear time.
template <typename Vector>
void ReserveMore(Vector& v, std::size_t n) {
  if (v.size() + n > v.capacity()) v.reserve(std::max(v.size() + n, 2 * v.capacity()));
}

}  // namespace platform
