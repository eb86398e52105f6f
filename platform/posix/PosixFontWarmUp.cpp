#include "platform/FontWarmUp.h"

#include <fontconfig/fontconfig.h>
#include <system_error>
#include <thread>

namespace papyrant {

namespace {

// Fontconfig keeps the loaded configuration as its current one, which the toolkit's own FcInit then finds ready.
class FontconfigWarmUp : public FontWarmUp
{
public:
    FontconfigWarmUp()
        : m_thread([] { FcInit(); })
    {
    }
    ~FontconfigWarmUp() override
    {
        m_thread.join();
    }
    FontconfigWarmUp(const FontconfigWarmUp&) = delete;
    FontconfigWarmUp& operator=(const FontconfigWarmUp&) = delete;

private:
    std::thread m_thread;
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
