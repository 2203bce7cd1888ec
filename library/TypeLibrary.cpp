#include "library/TypeLibrary.h"

#include <cstdio>

#include "skein10/Identifiers.h"
#include "skein10/TypeInfo.h"
#include "library/ClassSurface.h"

namespace skein10 {
namespace {

std::string hex(DispId id) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(id));
  return buffer;
}

std::string memberLine(const MemberInfo& m) {
  std::string line = "  " + std::string(memberKindName(m.kind)) + " " + toUtf8(m.name) + " " + hex(m.id) + " (";
  for (std::size_t i = 0; i < m.params.size(); ++i) {
    if (i) line += ", ";
    line += m.params[i].passing == Passing::ByReference ? "ByRef " : "ByVal ";
    line += toUtf8(typeName(m.params[i].type));
    if (!m.params[i].name.empty()) line.append(" ").append(toUtf8(m.params[i].name));
  }
  return line + ") " + toUtf8(typeName(m.result)) + "\n";
}

std::string interfaceText(const ClassEntry& entry) {
  // The type tables live with each class; a fresh instance hands out its own.
  const ObjectRef probe = entry.factory();
  const InterfaceInfo& info = probe->interfaceInfo();
  std::string text = "class " + toUtf8(entry.progId.substr(entry.progId.find(u'.') + 1)) + " " +
                     toUtf8(entry.classId) + " creatable default " + toUtf8(info.name) + "\n";
  text += "interface " + toUtf8(info.name) + " " + toUtf8(info.iid) + " dual hidden nonextensible\n";
  for (const MemberInfo& m : info.members) text += memberLine(m);
  return text;
}

}  // namespace

std::string typeLibraryText() {
  std::string text = "library " + toUtf8(ids::kTypeLibraryName) + " " + toUtf8(ids::kTypeLibraryVersion) +
                     " " + toUtf8(ids::kTypeLibrary) + "\n";
  text += "enum TransferModes " + toUtf8(ids::kEnumTransferModes) + " ftp_BINARY=0 ftp_ASCII=1\n";
  text += "enum ErrorReturns " + toUtf8(ids::kEnumErrorReturns) + " ERR_OK=0 ERR_Returned=1\n";
  for (const ClassEntry& entry : publicClasses()) text += interfaceText(entry);
  return text;
}

}  // namespace skein10
