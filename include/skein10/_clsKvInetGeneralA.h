#pragma once
// A creatable class without members.

#include "skein10/Object.h"
#include "skein10/Export.h"

namespace skein10 {

class SKEIN10_API _clsKvInetGeneralA : public Object {};

}  // namespace skein10
