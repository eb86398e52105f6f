#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace papyrant {

// The one crossing between a file name's bytes, as the program keeps them, and the text a widget shows or edits.
// The bytes stay exact everywhere else; they become a QString only to be displayed, and an edited text becomes
// bytes again by the file system's own encoding.
QString fileNameText(std::string_view bytes);
std::string fileNameBytes(const QString& text);

} // namespace papyrant
