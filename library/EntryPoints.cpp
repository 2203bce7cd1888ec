// The four entry points of the in-process server libskein10.so.

#include "library/ClassSurface.h"

SKEIN10_COMPONENT_ENTRY_POINTS(skein10::classSurface())
