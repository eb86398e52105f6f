#pragma once

#include <string>

class QWidget;

namespace papyrant {

// Restyles the window with the skin shipped beside the program ("x/o.cjs", a Qt style sheet), when there is
// one. Throws RuntimeError when the skin cannot be read or parsed.
void ApplySkin(QWidget& window, const std::string& programFolder);

} // namespace papyrant
