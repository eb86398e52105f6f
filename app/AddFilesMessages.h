#pragma once

#include "runtime/MessageBoxes.h"

#include <string>
#include <vector>

namespace papyrant {

// The add-files dialog's answer to a selection that does not fit its buffer.
Message buildTooManyFilesMessage();

// After a folder scan: the folders it left out because the system's code page cannot hold their names.
Message buildFoldersLeftOutMessage(const std::vector<std::string>& folders);

} // namespace papyrant
