// The four entry points of the in-process server libskein10.so.

#include "library/ClassSurface.h"

using namespace skein10;

extern "C" {

Status DllRegisterServer() { return classSurface().registerServer(reinterpret_cast<const void*>(&DllRegisterServer)); }

Status DllUnregisterServer() { return classSurface().unregisterServer(); }

Status DllGetClassObject(const char16_t* classId, Ref<ClassFactory>* factory) {
  return classSurface().getClassObject(classId, factory);
}

Status DllCanUnloadNow() { return classSurface().canUnloadNow(); }

}  // extern "C"
