#pragma once

#include "tools/papyrant-convert/ConvertJob.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace papyrant {

// The files of a batch, in the order they were found, kept small: a batch of many thousand files must not cost
// much more memory than a batch of a few. Each folder's text is kept once; a file keeps its folder's number, its
// name (in large shared blocks) and the number its PDF was given, from which the PDF's path is made again when it
// is needed. Paths keep their bytes exactly.
class JobTable
{
public:
    static constexpr std::uint32_t kNoTarget = UINT32_MAX;

    // Where the PDFs go: one folder, or beside each source when not set.
    explicit JobTable(std::optional<std::string> outputFolder = std::nullopt);
    // Its files point into its own blocks and folders.
    JobTable(const JobTable&) = delete;
    JobTable& operator=(const JobTable&) = delete;

    // Adds a file; a problem makes it a file that is not to be rendered, and that has no PDF.
    void add(std::string_view source, std::string problem = {});

    std::size_t size() const
    {
        return m_entries.size();
    }
    bool empty() const
    {
        return m_entries.empty();
    }

    std::string source(std::size_t index) const;
    // The path the PDF would have before any numbering.
    std::string wantedTarget(std::size_t index) const;
    // The path of the PDF: the wanted one numbered as given to setTarget; empty when it has none.
    std::string target(std::size_t index) const;
    bool hasTarget(std::size_t index) const
    {
        return m_entries[index].number != kNoTarget;
    }
    // Gives the file its PDF: the wanted path, numbered unless the number is below 2.
    void setTarget(std::size_t index, int number);

    // Why the file is not rendered, or the empty text.
    const std::string& problem(std::size_t index) const;
    void setProblem(std::size_t index, std::string problem);

    // The file as one record, for the renderer and the report.
    ConvertJob job(std::size_t index) const;

private:
    struct Entry
    {
        std::uint32_t folder;
        std::uint32_t number; // kNoTarget until the file is given its PDF
        const char* name; // in m_nameBlocks, ending with a zero byte (no path holds one)
    };

    std::uint32_t folderNumber(std::string_view folder);
    const char* storeName(std::string_view name);

    std::optional<std::string> m_outputFolder;
    // Blocks, not one growing buffer: a name never moves, and growing never holds two copies of every name.
    std::deque<Entry> m_entries;
    std::vector<std::unique_ptr<char[]>> m_nameBlocks;
    std::size_t m_blockUsed = 0;
    std::size_t m_blockSize = 0;
    std::deque<std::string> m_folders; // a deque, so that the views in m_folderNumbers stay valid
    std::unordered_map<std::string_view, std::uint32_t> m_folderNumbers;
    std::uint32_t m_lastFolder = UINT32_MAX;
    std::map<std::size_t, std::string> m_problems; // few: a file named that cannot be used, a target refused
};

} // namespace papyrant
