#pragma once
// The runtime's keyed collection: ordered Variant items with 1-based
// positions, each optionally under a text key that is unique in the
// collection and compared without regard to case.

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "skein10/Object.h"
#include "skein10/Variant.h"
#include "skein10/Export.h"

namespace skein10 {

class SKEIN10_API Collection : public Object {
 public:
  // Appends an item. A key already present raises 457 and changes nothing.
  void add(Variant item, std::optional<String> key = std::nullopt);
  // The item at a 1-based position (a number) or under a key (a text);
  // one that is not there raises 5.
  const Variant& item(const Variant& index) const;
  int32_t count() const noexcept { return static_cast<int32_t>(items_.size()); }
  void remove(const Variant& index);

  // The late-bound surface: Add(item, [key]), Item(index), Count, Remove(index).
  const InterfaceInfo& interfaceInfo() const override;
  Status Add(const Variant& item, const Variant& key);
  Status Item(const Variant& index, Variant* result);
  Status Count(int32_t* result);
  Status Remove(const Variant& index);

 private:
  struct Entry {
    Variant value;
    std::optional<String> key;
  };
  std::size_t positionOf(const Variant& index) const;

  std::vector<Entry> items_;
  std::unordered_map<String, std::size_t> positions_;  // folded key -> index in items_
};

}  // namespace skein10
