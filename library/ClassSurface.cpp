#include "library/ClassSurface.h"

#include "skein10/Identifiers.h"
#include "common/LibraryModule.h"
#include "browserdata/clsKvInetURLCacheA.h"
#include "ftp/clsKvInetFTPConnection.h"
#include "library/clsKvInetAdvancedA.h"
#include "library/clsKvInetGeneralA.h"
#include "library/clsKvSkein10A.h"

namespace skein10 {

const std::vector<ClassEntry>& publicClasses() {
  static const std::vector<ClassEntry> classes{
      {ids::kProgIdKvSkein10A, ids::kClsKvSkein10A, [] { return ObjectRef(makeRef<clsKvSkein10A>()); }},
      {ids::kProgIdKvInetGeneralA, ids::kClsKvInetGeneralA,
       [] { return ObjectRef(makeRef<clsKvInetGeneralA>()); }},
      {ids::kProgIdKvInetAdvancedA, ids::kClsKvInetAdvancedA,
       [] { return ObjectRef(makeRef<clsKvInetAdvancedA>()); }},
      {ids::kProgIdKvInetURLCacheA, ids::kClsKvInetURLCacheA, createURLCache},
      {ids::kProgIdKvInetFTPConnection, ids::kClsKvInetFTPConnection, createFtpConnection},
  };
  return classes;
}

ComponentServer& classSurface() {
  static ComponentServer server(
      {ids::kTypeLibrary, ids::kTypeLibraryName, ids::kTypeLibraryVersion}, publicClasses(),
      &libraryModule());
  return server;
}

}  // namespace skein10
