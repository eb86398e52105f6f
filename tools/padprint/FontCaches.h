#pragma once

namespace papyrant {

// Releases the fonts that Pango and fontconfig keep for the whole process, so that a leak checker at exit
// sees only real leaks. Call once, after the last layout is gone.
void releaseFontCaches();

} // namespace papyrant
