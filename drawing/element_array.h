#pragma once
// The drawing's element lists: appended one by one by the feed, read in order by
// the renderer and the DXF writer. Elements live in fixed blocks, so growing the
// list never moves the elements already in it (a vector of 20,000 labelled
// points would copy them all several times on the way, and ask the system for
// fresh pages each time); clear() keeps the blocks for the next drawing.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace drawing {

template <class T>
class ElementArray {
  // A power of two near 32 KiB per block: below the allocator's large-block size.
  static constexpr std::size_t kPerBlock = std::bit_floor(std::max<std::size_t>(1, 32768 / sizeof(T)));
  static constexpr std::size_t kShift = std::countr_zero(kPerBlock);

  struct Block {
    alignas(T) unsigned char bytes[kPerBlock * sizeof(T)];
  };

 public:
  template <bool Const>
  class Iter {
    using Owner = std::conditional_t<Const, const ElementArray, ElementArray>;

   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = std::conditional_t<Const, const T*, T*>;
    using reference = std::conditional_t<Const, const T&, T&>;
    Iter() = default;
    Iter(Owner* a, std::size_t i) : a_(a), i_(i) {}
    reference operator*() const { return (*a_)[i_]; }
    pointer operator->() const { return &(*a_)[i_]; }
    Iter& operator++() {
      ++i_;
      return *this;
    }
    Iter operator++(int) {
      Iter t = *this;
      ++i_;
      return t;
    }
    friend bool operator==(const Iter& a, const Iter& b) { return a.i_ == b.i_; }

   private:
    Owner* a_ = nullptr;
    std::size_t i_ = 0;
  };
  using iterator = Iter<false>;
  using const_iterator = Iter<true>;

  ElementArray() = default;
  ElementArray(const ElementArray& o) {
    for (const T& v : o) push_back(v);
  }
  ElementArray& operator=(const ElementArray& o) {
    if (this != &o) {
      clear();
      for (const T& v : o) push_back(v);
    }
    return *this;
  }
  ElementArray(ElementArray&& o) noexcept : blocks_(std::move(o.blocks_)), size_(std::exchange(o.size_, 0)) {}
  ElementArray& operator=(ElementArray&& o) noexcept {
    if (this != &o) {
      clear();
      blocks_ = std::move(o.blocks_);
      size_ = std::exchange(o.size_, 0);
    }
    return *this;
  }
  ~ElementArray() { clear(); }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T& operator[](std::size_t i) { return Slot(i); }
  const T& operator[](std::size_t i) const { return const_cast<ElementArray*>(this)->Slot(i); }
  T& back() { return Slot(size_ - 1); }
  const T& back() const { return (*this)[size_ - 1]; }
  iterator begin() { return {this, 0}; }
  iterator end() { return {this, size_}; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size_}; }

  template <class... A>
  T& emplace_back(A&&... args) {
    if ((size_ >> kShift) == blocks_.size()) blocks_.push_back(std::unique_ptr<Block>(new Block));
    T* p = new (Raw(size_)) T{std::forward<A>(args)...};
    ++size_;
    return *p;
  }
  void push_back(const T& v) { emplace_back(v); }
  void push_back(T&& v) { emplace_back(std::move(v)); }
  // Destroys the elements and keeps the blocks.
  void clear() {
    for (std::size_t i = 0; i < size_; ++i) Slot(i).~T();
    size_ = 0;
  }

 private:
  void* Raw(std::size_t i) { return blocks_[i >> kShift]->bytes + (i & (kPerBlock - 1)) * sizeof(T); }
  T& Slot(std::size_t i) { return *std::launder(reinterpret_cast<T*>(Raw(i))); }
  std::vector<std::unique_ptr<Block>> blocks_;
  std::size_t size_ = 0;
};

}  // namespace drawing
