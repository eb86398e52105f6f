#pragma once

#include "platform/FileSnapshot.h"

#include <chrono>
#include <optional>
#include <string>

namespace papyrant {

class Yielder;

// The failure of a file whose word pad ended well but whose PDF never came.
inline constexpr const char* kNoPdfReason = "the PDF printer wrote no file";

enum class PdfArrival
{
    Written,
    NotWritten,
    Stopped, // the window was closed during the wait
};

// The word pad has ended, yet the printer may still be spooling: waits, handling window events as the word pad's
// wait does, until the target differs from `before` (its state before the print) as a regular file that no program
// still writes. Gives up once it has seen no change for `limit`; a stop request ends the wait at once.
PdfArrival waitForPdf(const std::string& target, const std::optional<FileSnapshot>& before,
    std::chrono::milliseconds limit, Yielder& yielder);

} // namespace papyrant
