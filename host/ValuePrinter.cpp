#include "host/ValuePrinter.h"

#include <iomanip>

#include "skein10/Dispatch.h"
#include "skein10/TypeInfo.h"

namespace skein10::host {
namespace {

bool isCollection(const Object& object) {
  const InterfaceInfo& info = object.interfaceInfo();
  return info.idOfName(u"Count") && info.idOfName(u"Item");
}

void printItems(Object& collection, std::ostream& out) {
  const int32_t count = call(collection, u"Count").toLong();
  for (int32_t position = 1; position <= count; ++position)
    printValue(call(collection, u"Item", {Variant(position)}), out);
}

void printObject(Object* object, std::ostream& out) {
  if (!object) out << "Nothing\n";
  else if (isCollection(*object)) printItems(*object, out);
  else out << toUtf8(object->interfaceInfo().name) << "\n";
}

void printHex(const ByteArray& bytes, std::ostream& out) {
  const auto flags = out.flags();
  out << std::hex << std::setfill('0');
  for (uint8_t byte : bytes) out << std::setw(2) << static_cast<unsigned>(byte);
  out.flags(flags);
  out << "\n";
}

}  // namespace

void printValue(const Variant& value, std::ostream& out) {
  if (value.isEmpty()) return;
  if (const ObjectRef* object = value.as<ObjectRef>()) return printObject(object->get(), out);
  if (const ByteArray* bytes = value.as<ByteArray>()) return printHex(*bytes, out);
  if (const Variant::Array* items = value.as<Variant::Array>()) {
    for (const Variant& item : *items) printValue(item, out);
    return;
  }
  out << toUtf8(value.toString()) << "\n";
}

}  // namespace skein10::host
