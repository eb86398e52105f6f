#pragma once

#include "tools/papyrant-convert/ConvertJob.h"

#include <string>
#include <string_view>

namespace papyrant {

// A JSON string literal of a text. Text that is valid UTF-8 is kept as it is (control characters escaped as JSON
// wants). Other text is kept losslessly in an escaped form, and `escaped` is set: every byte that is not part of
// valid UTF-8 becomes the four characters \xHH and every backslash is doubled, so the bytes can be restored.
std::string jsonString(std::string_view text, bool& escaped);

// One line of the --json report: {"source", "target", "status", "pages", "bytes", "milliseconds", "encoding",
// "encoding_from", "error"} (the encoding and what chose it: "mark", "declaration", "detection" or "fallback"),
// with "source_escaped": true (and so on for target and error) after a text given in the escaped form. A record of a
// merged PDF also gives "first_page", where the file begins in it (null unless the file was converted).
std::string jsonRecord(const ConvertJob& job, const FileResult& result, bool merged = false);

// A name left out of the batch: {"source", "status": "skipped", "reason"}.
std::string jsonSkippedRecord(std::string_view source, std::string_view reason);
// A file met again under another name: {"source", "status": "same-file", "same_as"}.
std::string jsonSameFileRecord(std::string_view source, std::string_view sameAs);

} // namespace papyrant
