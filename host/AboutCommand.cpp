#include "host/AboutCommand.h"

#include "skein10/ClassRegistry.h"
#include "skein10/Dispatch.h"
#include "skein10/Identifiers.h"

namespace skein10::host {

int runAbout(CommandLine& words) {
  words.expectEnd();
  const ObjectRef library = CreateObject(ids::kProgIdKvSkein10A);
  call(*library, u"About");
  return 0;
}

}  // namespace skein10::host
