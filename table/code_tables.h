#pragma once
// A view that shows one of many tables chosen by a code (ShowTable(code), ShowTool(code))
// keeps its code -> entry map in a CCodeTableRegistry, so a new table is one
// registration instead of one more branch in a long if-else chain. Std only.
//
// Entries keep their registration order (the order a document or a tree lists them).
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace table {

template <class Entry>
class CCodeTableRegistry {
 public:
  // Adds the entry under code; false (and nothing changes) when the code is "" or
  // already registered.
  bool Add(std::string code, Entry entry) {
    if (code.empty() || Find(code)) return false;
    entries_.emplace_back(std::move(code), std::move(entry));
    return true;
  }
  // The entry of code; nullptr for "" and for codes not registered.
  const Entry* Find(std::string_view code) const {
    for (const auto& e : entries_)
      if (e.first == code) return &e.second;
    return nullptr;
  }
  bool Contains(std::string_view code) const { return Find(code) != nullptr; }
  std::vector<std::string> Codes() const {
    std::vector<std::string> out;
    out.reserve(entries_.size());
    for (const auto& e : entries_) out.push_back(e.first);
    return out;
  }
  std::size_t Size() const { return entries_.size(); }

 private:
  std::vector<std::pair<std::string, Entry>> entries_;
};

}  // namespace table
