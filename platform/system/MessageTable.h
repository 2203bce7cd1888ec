#pragma once
// The system's message texts for the codes the stand-ins produce.

#include "platform/system/SystemMessages.h"
#include "platform/Export.h"

namespace skein10::os {

class SKEIN10_INTERNAL_API MessageTable final : public SystemMessages {
 public:
  uint32_t FormatMessageA(uint32_t flags, uint32_t code, uint32_t language,
                          std::span<char> buffer, uint32_t size) const override;
};

}  // namespace skein10::os
