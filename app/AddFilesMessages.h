#pragma once

#include "runtime/MessageBoxes.h"

namespace papyrant {

// The add-files dialog's answer to a selection that does not fit its buffer.
Message buildTooManyFilesMessage();

} // namespace papyrant
