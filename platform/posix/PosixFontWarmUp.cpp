#include "platform/FontWarmUp.h"

#include <fontconfig/fontconfig.h>
#include <system_error>
#include <thread>

namespace papyrant {

namespace {

// Fontconfig keeps the loaded configuration as its current one, which the toolkit's own FcInit then finds ready.
class FontconfigWarmUp : public FontWarmUp
{
    std::jthread m_thread { [] { FcInit(); } };
};

} // namespace

std::unique_ptr<FontWarmUp> startFontWarmUp()
{
    try {
        return std::make_unique<FontconfigWarmUp>();
    } catch (const std::system_error&) {
        return nullptr; // no thread to spare: the toolkit loads the configuration itself, as it always could
    }
}

} // namespace papyrant
