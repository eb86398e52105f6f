#pragma once

#include "platform/MessageBoxes.h"

#include <string>

namespace papyrant {

class RuntimeError;

inline constexpr const char* kSupportAddress = "support@papyrant.example";

// The standard "Application Error" report of a guarded command.
Message buildErrorReport(const RuntimeError& error, const std::string& location, int step);

// The add-files dialog's answer to a selection that does not fit its buffer.
Message buildTooManyFilesMessage();

// The default-printer reader's own report.
Message buildDefaultPrinterReport(const RuntimeError& error);

} // namespace papyrant
