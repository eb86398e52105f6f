#include "tools/papyrant-convert/ConvertInputs.h"

#include "conversion/PathHelpers.h"
#include "filelist/AddTreeFiles.h"
#include "filelist/FolderScan.h"
#include "platform/FileSystem.h"
#include "runtime/GuardedCommand.h"
#include "runtime/MessageBoxes.h"
#include "runtime/Yielder.h"
#include "text/Wildcard.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace papyrant {

std::optional<FileIdentity> identityOf(const std::string& path)
{
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileIdentity { static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino) };
}

namespace {

constexpr const char* kCollectLocation = "papyrant-convert.AddFolder";

// The search's reports, which the window shows in message boxes, as one line of text each.
class ReportedFailures : public MessageBoxes
{
public:
    explicit ReportedFailures(const InputEvents& events)
        : m_events(events)
    {
    }
    MessageAnswer show(const Message& message) override
    {
        // The report's first paragraph, its lines joined.
        const std::string_view report = std::string_view(message.text).substr(0, message.text.find("\r\r"));
        std::string text;
        for (const char c : report) {
            if (c == '\n')
                text += ' ';
            else if (c != '\r')
                text += c;
        }
        if (m_events.scanFailure)
            m_events.scanFailure(text);
        return MessageAnswer::Ok;
    }

private:
    const InputEvents& m_events;
};

const char* skipReason(ScanSkip reason)
{
    switch (reason) {
    case ScanSkip::UnusableName:
        return "a folder name the search does not take (not UTF-8, a control character or \"?\", or too long)";
    case ScanSkip::SeenBefore:
        return "a link to a folder searched already";
    case ScanSkip::Unreadable:
        return "a folder that cannot be read";
    case ScanSkip::HiddenFile:
        return "a hidden file";
    case ScanSkip::VanishedFile:
        return "gone since its folder was listed";
    case ScanSkip::TildeName:
        return "a name starting with \"~\" (a temporary copy)";
    case ScanSkip::NameNotInCodePage:
        return "a folder name the system's code page cannot hold";
    }
    return "skipped";
}

std::string failureOf(int error)
{
    if (error == ENOENT || error == ENOTDIR)
        return "file not found";
    return std::strerror(error);
}

class Collector
{
public:
    Collector(
        const InputRules& rules, const InputEvents& events, Yielder& yielder, JobTable& jobs, IdentitySet& sources)
        : m_rules(rules)
        , m_events(events)
        , m_yielder(yielder)
        , m_reports(events)
        , m_jobs(jobs)
        , m_sources(sources)
    {
    }

    void addPath(const std::string& path)
    {
        struct stat info = {};
        if (::stat(path.c_str(), &info) != 0) {
            m_jobs.add(path, failureOf(errno));
            return;
        }
        if (S_ISDIR(info.st_mode))
            addFolder(path);
        else
            addFile(path, false);
    }

private:
    void addFolder(const std::string& path)
    {
        const std::string top = CollapseBackslashes(path + kNativeSeparator);
        FolderList folders { top };
        ScanContext context(m_reports, m_yielder);
        context.setSkipReport([this](const std::string& skippedPath, ScanSkip reason) {
            if (m_events.skipped)
                m_events.skipped(skippedPath, skipReason(reason));
        });
        GetSubDirectories2016(folders, true, context);
        if (m_yielder.stopRequested())
            return;
        // The search drops a folder that it cannot list, the one named too.
        if (folders.empty() || !pathsEqual(folders.front(), top)) {
            m_jobs.add(path, "cannot read the folder");
            return;
        }
        GuardedCommand cmd(m_reports, kCollectLocation);
        AddTreeFiles(
            folders, m_rules.allFiles ? "*.*" : "*.xml", [this](std::string file) { addFile(file, true); }, cmd,
            [this](const std::string& skippedPath, ScanSkip reason) {
                if (m_events.skipped)
                    m_events.skipped(skippedPath, skipReason(reason));
            });
    }

    void addFile(const std::string& path, bool found)
    {
        const std::optional<FileIdentity> identity = identityOf(path);
        if (identity
            && std::find(m_rules.excluded.begin(), m_rules.excluded.end(), *identity) != m_rules.excluded.end())
            return;
        if (found && isPdfInOutputFolder(path)) {
            if (m_events.skipped)
                m_events.skipped(path, "a PDF in a folder that receives the PDFs");
            return;
        }
        // Each file once: the first time it was met.
        if (identity && !m_sources.insert(*identity))
            return;
        m_jobs.add(path);
    }

    bool isPdfInOutputFolder(const std::string& path)
    {
        if (!matchesWildcard(ExtractFileName(path), "*.pdf"))
            return false;
        if (m_rules.besideSource)
            return true;
        const std::string folder = ExtractFolder(path);
        if (folder != m_lastFolder) {
            m_lastFolder = folder;
            m_lastFolderIdentity = identityOf(folder);
        }
        return m_rules.outputFolder && m_lastFolderIdentity == m_rules.outputFolder;
    }

    const InputRules& m_rules;
    const InputEvents& m_events;
    Yielder& m_yielder;
    ReportedFailures m_reports;
    JobTable& m_jobs;
    IdentitySet& m_sources;
    std::string m_lastFolder;
    std::optional<FileIdentity> m_lastFolderIdentity;
};

} // namespace

void collectInputs(const std::vector<std::string>& paths, const InputRules& rules, const InputEvents& events,
    Yielder& yielder, JobTable& jobs, IdentitySet& sources)
{
    Collector collector(rules, events, yielder, jobs, sources);
    for (const std::string& path : paths) {
        if (yielder.stopRequested())
            break;
        collector.addPath(path);
    }
}

} // namespace papyrant
