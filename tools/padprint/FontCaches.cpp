#include "tools/padprint/FontCaches.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>

namespace papyrant {

void releaseFontCaches()
{
    pango_cairo_font_map_set_default(nullptr);
    cairo_debug_reset_static_data();
    FcFini();
}

} // namespace papyrant
