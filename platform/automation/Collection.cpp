#include "skein10/Collection.h"

#include "skein10/Boundary.h"
#include "skein10/TypeInfo.h"

namespace skein10 {

void Collection::add(Variant item, std::optional<String> key) {
  if (key) {
    auto [it, inserted] = positions_.try_emplace(foldCase(*key), items_.size());
    if (!inserted) throw Error::runtime(errc::DuplicateKey);
  }
  items_.push_back(Entry{std::move(item), std::move(key)});
}

std::size_t Collection::positionOf(const Variant& index) const {
  if (const String* key = index.as<String>()) {
    auto it = positions_.find(foldCase(*key));
    if (it == positions_.end()) throw Error::runtime(errc::InvalidCall);
    return it->second;
  }
  const int32_t position = index.toLong();
  if (position < 1 || position > count()) throw Error::runtime(errc::InvalidCall);
  return static_cast<std::size_t>(position - 1);
}

const Variant& Collection::item(const Variant& index) const { return items_[positionOf(index)].value; }

void Collection::remove(const Variant& index) {
  const std::size_t at = positionOf(index);
  if (items_[at].key) positions_.erase(foldCase(*items_[at].key));
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(at));
  for (auto& [key, position] : positions_)
    if (position > at) --position;
}

Status Collection::Add(const Variant& item, const Variant& key) {
  return guarded([&] {
    add(item, key.isMissing() ? std::nullopt : std::optional<String>(key.toString()));
  });
}

Status Collection::Item(const Variant& index, Variant* result) {
  return guarded(result, [&] { return item(index); });
}

Status Collection::Count(int32_t* result) {
  return guarded(result, [&] { return count(); });
}

Status Collection::Remove(const Variant& index) {
  return guarded([&] { remove(index); });
}

const InterfaceInfo& Collection::interfaceInfo() const {
  static const InterfaceInfo info{
      u"Collection",
      u"{6B1E0A40-5C3D-4E8F-9A21-0F0D3C2B1A10}",
      {
          member<&Collection::Item>(u"Item", MemberKind::Method, 0, {u"Index"}),
          member<&Collection::Add>(u"Add", MemberKind::Method, 1, {u"Item", u"Key"}, 1),
          member<&Collection::Count>(u"Count", MemberKind::Get, 2),
          member<&Collection::Remove>(u"Remove", MemberKind::Method, 3, {u"Index"}),
      }};
  return info;
}

}  // namespace skein10
