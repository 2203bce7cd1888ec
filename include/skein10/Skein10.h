#pragma once
// Everything a host needs to call the Skein10 classes directly: the runtime,
// the identifiers, the enumerations and the five typed interfaces.
//
//   ObjectRef object = CreateObject(ids::kProgIdKvInetFTPConnection);
//   Ref<_clsKvInetFTPConnection> ftp = as<_clsKvInetFTPConnection>(object);
//   Variant unused;
//   check(ftp->Connect(u"127.0.0.1", u"21", u"user", u"secret", &unused));

#include "skein10/Automation.h"
#include "skein10/Component.h"
#include "skein10/Enums.h"
#include "skein10/Identifiers.h"
#include "skein10/_clsKvInetAdvancedA.h"
#include "skein10/_clsKvInetFTPConnection.h"
#include "skein10/_clsKvInetGeneralA.h"
#include "skein10/_clsKvInetURLCacheA.h"
#include "skein10/_clsKvSkein10A.h"

namespace skein10 {

// The object's typed interface; 13 "Type mismatch" when it has another one.
template <class Interface>
Ref<Interface> as(const ObjectRef& object) {
  auto* typed = dynamic_cast<Interface*>(object.get());
  if (!typed) throw Error::runtime(errc::TypeMismatch);
  return Ref<Interface>(typed);
}

}  // namespace skein10
