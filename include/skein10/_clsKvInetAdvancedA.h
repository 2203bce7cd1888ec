#pragma once
// A creatable class without members.

#include "skein10/Object.h"

namespace skein10 {

class _clsKvInetAdvancedA : public Object {};

}  // namespace skein10
