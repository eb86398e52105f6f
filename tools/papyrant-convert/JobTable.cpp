#include "tools/papyrant-convert/JobTable.h"

#include "conversion/PathHelpers.h"
#include "conversion/TargetPath.h"

#include <cstring>
#include <utility>

namespace papyrant {

namespace {

constexpr std::size_t kNameBlockSize = 64 * 1024;

} // namespace

JobTable::JobTable(std::optional<std::string> outputFolder)
    : m_outputFolder(std::move(outputFolder))
{
}

void JobTable::add(std::string_view source, std::string problem)
{
    const std::size_t cut = source.rfind(kNativeSeparator);
    const std::size_t nameStart = cut == std::string_view::npos ? 0 : cut + 1;
    const std::uint32_t folder = folderNumber(source.substr(0, nameStart));
    m_entries.push_back({ folder, kNoTarget, storeName(source.substr(nameStart)) });
    if (!problem.empty())
        m_problems.emplace(m_entries.size() - 1, std::move(problem));
}

std::uint32_t JobTable::folderNumber(std::string_view folder)
{
    // A folder search gives the files of one folder one after another.
    if (m_lastFolder != UINT32_MAX && m_folders[m_lastFolder] == folder)
        return m_lastFolder;
    const auto known = m_folderNumbers.find(folder);
    if (known != m_folderNumbers.end()) {
        m_lastFolder = known->second;
    } else {
        m_lastFolder = static_cast<std::uint32_t>(m_folders.size());
        m_folders.emplace_back(folder);
        m_folderNumbers.emplace(m_folders.back(), m_lastFolder);
    }
    return m_lastFolder;
}

const char* JobTable::storeName(std::string_view name)
{
    const std::size_t needed = name.size() + 1;
    if (m_nameBlocks.empty() || m_blockSize - m_blockUsed < needed) {
        m_blockSize = std::max(kNameBlockSize, needed);
        m_nameBlocks.push_back(std::make_unique<char[]>(m_blockSize));
        m_blockUsed = 0;
    }
    char* stored = m_nameBlocks.back().get() + m_blockUsed;
    std::memcpy(stored, name.data(), name.size());
    stored[name.size()] = '\0';
    m_blockUsed += needed;
    return stored;
}

std::string JobTable::source(std::size_t index) const
{
    const Entry& entry = m_entries[index];
    return m_folders[entry.folder] + entry.name;
}

std::string JobTable::wantedTarget(std::size_t index) const
{
    const std::string path = source(index);
    std::string folder = m_outputFolder ? *m_outputFolder : ExtractFolder(path);
    if (folder.empty())
        folder.push_back('.'); // a bare name: its PDF goes in the current folder, not the root
    return pdfTargetPath(folder, path);
}

std::string JobTable::target(std::size_t index) const
{
    const std::uint32_t number = m_entries[index].number;
    if (number == kNoTarget)
        return {};
    return numberedTarget(wantedTarget(index), static_cast<int>(number));
}

void JobTable::setTarget(std::size_t index, int number)
{
    m_entries[index].number = static_cast<std::uint32_t>(std::max(number, 0));
}

const std::string& JobTable::problem(std::size_t index) const
{
    static const std::string none;
    const auto found = m_problems.find(index);
    return found == m_problems.end() ? none : found->second;
}

void JobTable::setProblem(std::size_t index, std::string problem)
{
    m_problems[index] = std::move(problem);
}

ConvertJob JobTable::job(std::size_t index) const
{
    return { source(index), target(index), problem(index) };
}

} // namespace papyrant
