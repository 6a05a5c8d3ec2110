#pragma once
// Advice to the system about memory the program fills in one go.
#include <cstddef>

namespace platform {

// A large block about to be filled at once (the rows of a big job): asks the system
// to back it with large pages where it offers them, so that filling it does not fault
// page by page. Only the whole large pages inside [data, data + bytes) are advised;
// small blocks, and systems without the advice, are left as they are. Advice only:
// nothing else changes, and a refusal is ignored.
void AdviseLargeBlock(const void* data, std::size_t bytes);

}  // namespace platform
