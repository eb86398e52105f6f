#include "platform/FontWarmUp.h"

namespace papyrant {

// The system keeps its fonts loaded for every program; there is nothing to read ahead.
std::unique_ptr<FontWarmUp> startFontWarmUp()
{
    return nullptr;
}

} // namespace papyrant
