#pragma once

#include "tests/support/Programs.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace papyrant::test {

// What qpdf and pdftotext read back from a PDF of several files: its pages, bookmarks, page labels and fonts.
// Each is taken from the readers' own output, never from the writer.
class PdfReadBack
{
public:
    PdfReadBack(std::filesystem::path pdf, std::filesystem::path scratch)
        : m_pdf(std::move(pdf))
        , m_scratch(std::move(scratch))
    {
    }

    int pageCount() const
    {
        std::string output;
        runProgram({ "qpdf", "--show-npages", m_pdf.string() }, output, m_scratch);
        return std::atoi(output.c_str());
    }
    // The bookmarks' titles and the pages (from 1) they lead to, in the outline's order.
    std::vector<std::string> bookmarkTitles() const
    {
        return stringsAfter(json("outlines"), "\"title\": \"");
    }
    std::vector<int> bookmarkPages() const
    {
        return numbersAfter(json("outlines"), "\"destpageposfrom1\": ");
    }
    // The pages (from 0) where a range of page labels begins.
    std::vector<int> labelStarts() const
    {
        return numbersAfter(json("pagelabels"), "\"index\": ");
    }
    // The text of one page (from 1).
    std::string pageText(int page) const
    {
        std::string output;
        runProgram({ "pdftotext", "-q", "-enc", "UTF-8", "-f", std::to_string(page), "-l", std::to_string(page),
                       m_pdf.string(), "-" },
            output, m_scratch);
        return output;
    }
    std::string text() const
    {
        std::string output;
        runProgram({ "pdftotext", "-q", "-enc", "UTF-8", m_pdf.string(), "-" }, output, m_scratch);
        return output;
    }
    // The embedded font programs, and the faces they are subsets of (each name without its subset tag), in
    // qpdf's uncompressed form of the file.
    int fontPrograms() const
    {
        return static_cast<int>(countOf(qdf(), "/FontFile2"));
    }
    std::multiset<std::string> embeddedFaces() const
    {
        std::multiset<std::string> faces;
        for (const std::string& name : stringsAfter(qdf(), "/FontName /", ' '))
            faces.insert(name.size() > 7 && name[6] == '+' ? name.substr(7) : name);
        return faces;
    }

    // The content stream of a page (from 1), uncompressed.
    std::string pageContent(int page) const
    {
        const std::string file = qdf();
        const std::size_t at = file.find("%% Contents for page " + std::to_string(page) + "\n");
        if (at == std::string::npos)
            return {};
        const std::size_t begin = file.find("stream\n", at) + 7;
        return file.substr(begin, file.find("\nendstream", begin) - begin);
    }

private:
    std::string json(const std::string& key) const
    {
        std::string output;
        runProgram({ "qpdf", "--json", "--json-key=" + key, m_pdf.string() }, output, m_scratch);
        return output;
    }
    std::string qdf() const
    {
        const std::filesystem::path out = m_scratch / "qdf.pdf";
        std::string output;
        runProgram({ "qpdf", "--qdf", "--object-streams=disable", m_pdf.string(), out.string() }, output, m_scratch);
        return readFile(out);
    }
    static std::size_t countOf(const std::string& text, const std::string& part)
    {
        std::size_t count = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
            ++count;
        return count;
    }
    static std::vector<int> numbersAfter(const std::string& text, const std::string& key)
    {
        std::vector<int> numbers;
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1))
            numbers.push_back(std::atoi(text.c_str() + at + key.size()));
        return numbers;
    }
    static std::vector<std::string> stringsAfter(const std::string& text, const std::string& key, char end = '"')
    {
        std::vector<std::string> strings;
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
            const std::size_t begin = at + key.size();
            strings.push_back(text.substr(begin, text.find_first_of(std::string(1, end) + "\n", begin) - begin));
        }
        return strings;
    }

    std::filesystem::path m_pdf;
    std::filesystem::path m_scratch;
};

} // namespace papyrant::test
