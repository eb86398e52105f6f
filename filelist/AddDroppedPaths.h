#pragma once

#include "filelist/AddTreeFiles.h"

#include <string>
#include <vector>

namespace papyrant {

class MessageBoxes;
class Yielder;

inline constexpr const char* kDropHandler = "ListView1_OLEDragDrop";

// Adds dropped paths in their order: a folder with every file of its tree ("*.*", each folder scanned on its
// own), anything else exactly as it came, without any test. A path that fails is reported under kDropHandler
// and the other paths are still added. Ends early when a stop is requested.
void AddDroppedPaths(
    const std::vector<std::string>& paths, const AppendEntry& appendEntry, MessageBoxes& messages, Yielder& yielder);

} // namespace papyrant
