#pragma once

#include "tests/support/Programs.h"

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace papyrant::test {

// What two independent readers find wrong with a PDF: qpdf's structural check must pass clean, Ghostscript must
// render every page without a word, and pdffonts must list every font embedded, as a subset, with a ToUnicode
// map. Empty when all is well.
inline std::vector<std::string> pdfComplaints(const std::filesystem::path& pdf, const std::filesystem::path& scratch)
{
    std::vector<std::string> complaints;
    std::string output;
    if (runProgram({ "qpdf", "--check", pdf.string() }, output, scratch) != 0
        || output.find("WARNING") != std::string::npos)
        complaints.push_back("qpdf: " + output);
    if (runProgram({ "gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-dPDFSTOPONERROR", "-dPDFSTOPONWARNING",
                       "-sDEVICE=nullpage", pdf.string() },
            output, scratch)
            != 0
        || !output.empty())
        complaints.push_back("gs: " + output);
    if (runProgram({ "pdffonts", pdf.string() }, output, scratch) != 0) {
        complaints.push_back("pdffonts: " + output);
        return complaints;
    }
    // name type encoding emb sub uni object-ID; the name has no spaces, the type may ("CID TrueType").
    std::istringstream lines(output);
    std::string line;
    for (int row = 0; std::getline(lines, line); ++row) {
        if (row < 2 || line.empty())
            continue;
        std::istringstream words(line);
        std::vector<std::string> fields;
        for (std::string word; words >> word;)
            fields.push_back(word);
        const std::size_t n = fields.size();
        if (n < 7 || fields[n - 5] != "yes" || fields[n - 4] != "yes" || fields[n - 3] != "yes")
            complaints.push_back("font not embedded as a subset with a ToUnicode map: " + line);
    }
    return complaints;
}

} // namespace papyrant::test
