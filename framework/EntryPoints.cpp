// The four entry points of the in-process server libkvmarrow10.so.

#include "framework/KvMarrow10.h"
#include "platform/automation/ComponentServer.h"

namespace {

skein10::ComponentServer& server() {
  static skein10::ComponentServer instance(
      {u"{7C2F1B50-3A4D-4B6E-8F10-2A3B4C5D6E00}", u"KvMarrow10", u"1.0"}, kvmarrow10Classes());
  return instance;
}

}  // namespace

SKEIN10_COMPONENT_ENTRY_POINTS(server())
