#pragma once
// The library module's one variable, the buddy slot: an object reference that
// exists once per thread and that every clsKvSkein10A on the thread shares.

#include "skein10/Object.h"

namespace skein10::basKvSkein10A {

// This thread's buddy object, or nothing.
ObjectRef BuddyObject();
// Takes a reference to `object`, stores it and then releases what the slot
// held before; nothing empties the slot.
void SetBuddyObject(ObjectRef object);

}  // namespace skein10::basKvSkein10A
