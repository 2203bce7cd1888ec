#include "platform/events/ThreadAffinity.h"

#include "skein10/Error.h"

namespace skein10::events {

void ThreadAffinity::require() const {
  if (std::this_thread::get_id() != owner_) throw Error::runtime(errc::WrongThread);
}

}  // namespace skein10::events
