#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace papyrant::test {

// What the PDF printer does with a print: the whole file under another name, then renamed into place, so that a
// run never sees half a PDF. As with the real printer, a folder that is not there gets no PDF.
inline void writePrintedPdf(const std::filesystem::path& target)
{
    const std::filesystem::path partial = target.string() + ".partial";
    if (std::ofstream(partial, std::ios::binary) << "%PDF-1.7 of " << target.string()) {
        std::error_code ignored;
        std::filesystem::rename(partial, target, ignored);
    }
}

} // namespace papyrant::test
