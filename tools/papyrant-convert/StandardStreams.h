#pragma once

#include <string>

namespace papyrant {

struct ConvertOptions;
struct ConvertServices;
struct PrintStyle;

// Why the command line cannot convert standard input, or the empty text. "-" stands alone: no other path, no
// report, no output folder, no --no-clobber, no --merge, and standard output must not be a terminal.
std::string standardInputMisuse(const ConvertOptions& options, const ConvertServices& services);

// `papyrant-convert -`: converts standard input in `style`, as a filter does, and writes the PDF to standard output
// only once it is whole. Both ends are staged in unnamed temporary files, so memory does not grow with the text.
// Returns the exit code.
int convertStandardInput(ConvertServices& services, const PrintStyle& style);

} // namespace papyrant
