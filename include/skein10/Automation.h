#pragma once
// The automation runtime in one include.

#include "skein10/Boundary.h"
#include "skein10/ClassRegistry.h"
#include "skein10/Collection.h"
#include "skein10/Dispatch.h"
#include "skein10/Error.h"
#include "skein10/ErrorInfo.h"
#include "skein10/ModuleData.h"
#include "skein10/Object.h"
#include "skein10/Ref.h"
#include "skein10/Status.h"
#include "skein10/String.h"
#include "skein10/TypeInfo.h"
#include "skein10/Variant.h"
