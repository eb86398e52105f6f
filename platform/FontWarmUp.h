#pragma once

#include <memory>

namespace papyrant {

// The system's font configuration loading on a thread of its own. Reading it (parsing the configuration files and
// mapping the font caches) is the largest part of a window's first text layout; started before the GUI toolkit
// connects to the display, it overlaps that work instead of following it. Destroying the object waits for it.
class FontWarmUp
{
public:
    virtual ~FontWarmUp() = default;
};

// Nothing to do (and nothing returned) where the toolkit does not use such a configuration.
std::unique_ptr<FontWarmUp> startFontWarmUp();

} // namespace papyrant
