#pragma once
// Advice to the system about memory the program fills in one go.
#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>
#include <vector>

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

// Memory for the large arrays of a computation (the factor of a big network), with
// its pages present from the start. Pages touched one by one fault one by one, and
// under virtualisation a fault can cost ten microseconds or more: a 100 MB factor
// took most of a second just to appear. Blocks under a megabyte, and builds with
// the address sanitizer (which must see every block), use the ordinary allocator.
void* MapPopulated(std::size_t bytes);  // null when the system refuses
void Unmap(void* data, std::size_t bytes);

template <typename T>
struct PopulatedAllocator {
  using value_type = T;
  static constexpr std::size_t kLarge = std::size_t(1) << 20;
  PopulatedAllocator() = default;
  template <typename U>
  PopulatedAllocator(const PopulatedAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    if (!Mapped(n)) return std::allocator<T>().allocate(n);
    if (void* p = MapPopulated(n * sizeof(T))) return static_cast<T*>(p);
    throw std::bad_alloc();
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (Mapped(n))
      Unmap(p, n * sizeof(T));
    else
      std::allocator<T>().deallocate(p, n);
  }
  template <typename U>
  bool operator==(const PopulatedAllocator<U>&) const noexcept {
    return true;
  }

 private:
  static bool Mapped(std::size_t n) {
#if defined(__SANITIZE_ADDRESS__)
    (void)n;
    return false;
#else
    return n * sizeof(T) >= kLarge;
#endif
  }
};

template <typename T>
using PopulatedVector = std::vector<T, PopulatedAllocator<T>>;

}  // namespace platform
