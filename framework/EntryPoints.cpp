// The four entry points of the in-process server libkvmarrow10.so.

#include "framework/KvMarrow10.h"
#include "platform/automation/ComponentServer.h"

using namespace skein10;

namespace {

ComponentServer& server() {
  static ComponentServer instance({u"{7C2F1B50-3A4D-4B6E-8F10-2A3B4C5D6E00}", u"KvMarrow10", u"1.0"},
                                  kvmarrow10Classes());
  return instance;
}

}  // namespace

extern "C" {

Status DllRegisterServer() { return server().registerServer(reinterpret_cast<const void*>(&DllRegisterServer)); }

Status DllUnregisterServer() { return server().unregisterServer(); }

Status DllGetClassObject(const char16_t* classId, Ref<ClassFactory>* factory) {
  return server().getClassObject(classId, factory);
}

Status DllCanUnloadNow() { return server().canUnloadNow(); }

}  // extern "C"
