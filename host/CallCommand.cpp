#include "host/CallCommand.h"

#include <iostream>

#include "host/ValuePrinter.h"
#include "skein10/ClassRegistry.h"
#include "skein10/Dispatch.h"
#include "skein10/TypeInfo.h"

namespace skein10::host {
namespace {

const MemberInfo* callable(const Object& object, const String& member) {
  const InterfaceInfo& info = object.interfaceInfo();
  const auto id = info.idOfName(member);
  return id ? info.find(*id, InvokeKind::Method | InvokeKind::Get) : nullptr;
}

// A Variant parameter takes a whole number as a Long (a resource type, an
// index) and any other word as text.
Variant asVariant(const Variant& text) {
  try {
    const Variant whole = convert(text, VarType::Long);
    if (whole.toDouble() == convert(text, VarType::Double).toDouble()) return whole;
  } catch (const Error&) {
  }
  return text;
}

Variant converted(const Variant& text, VarType type) {
  return type == VarType::Variant ? asVariant(text) : convert(text, type);
}

}  // namespace

std::vector<Variant> convertArguments(const Object& object, const String& member,
                                      const std::vector<std::string>& words) {
  const MemberInfo* info = callable(object, member);
  std::vector<Variant> args;
  for (std::size_t i = 0; i < words.size(); ++i) {
    Variant text(fromUtf8(words[i]));
    const bool typed = info && i < info->params.size();
    args.push_back(typed ? converted(text, info->params[i].type) : std::move(text));
  }
  return args;
}

int runCall(CommandLine& words) {
  const String progId = fromUtf8(words.take("PROGID"));
  const String member = fromUtf8(words.take("MEMBER"));
  std::vector<std::string> rest;
  while (!words.empty()) rest.push_back(words.take("ARG"));
  const ObjectRef object = CreateObject(progId);
  std::vector<Variant> args = convertArguments(*object, member, rest);
  printValue(call(*object, member, std::move(args)), std::cout);
  return 0;
}

}  // namespace skein10::host
