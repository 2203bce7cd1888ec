#include "host/AboutCommand.h"

#include "host/ObjectCreation.h"
#include "skein10/Dispatch.h"

namespace skein10::host {

int runAbout(CommandLine& words) {
  words.expectEnd();
  const ObjectRef library = createObject(u"Skein10.clsKvSkein10A");
  call(*library, u"About");
  return 0;
}

}  // namespace skein10::host
