#pragma once
// A creatable class without members.

#include "skein10/Object.h"

namespace skein10 {

class _clsKvInetGeneralA : public Object {};

}  // namespace skein10
