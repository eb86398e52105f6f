#pragma once

#include "runtime/MessageBoxes.h"

#include <string>

namespace papyrant {

class RuntimeError;

inline constexpr const char* kSupportAddress = "support@papyrant.example";

// The standard "Application Error" report of a guarded command.
Message buildErrorReport(const RuntimeError& error, const std::string& location, int step);

} // namespace papyrant
