#include "tools/papyrant-convert/ConvertInputs.h"

#include "conversion/PathHelpers.h"
#include "filelist/AddTreeFiles.h"
#include "filelist/FolderScan.h"
#include "platform/FileSystem.h"
#include "runtime/GuardedCommand.h"
#include "runtime/MessageBoxes.h"
#include "runtime/Yielder.h"
#include "text/NameCase.h"
#include "text/Wildcard.h"
#include "tools/papyrant-convert/DeepPath.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <set>
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
constexpr std::size_t kMaxName = 255; // the longest name a folder can hold

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

SkipKind skipKind(ScanSkip reason)
{
    switch (reason) {
    case ScanSkip::UnusableName: // among them paths too long for the search
    case ScanSkip::Unreadable:
    case ScanSkip::VanishedFile:
    case ScanSkip::NameNotInCodePage:
        return SkipKind::Error;
    case ScanSkip::SeenBefore:
    case ScanSkip::HiddenFile:
    case ScanSkip::TildeName:
        break;
    }
    return SkipKind::Rule;
}

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

// Why a name that matches is no source, when it is neither a file nor a folder.
const char* oddKindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "a FIFO, not a file";
    if (S_ISSOCK(mode))
        return "a socket, not a file";
    return "a device, not a file";
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
        context.setSkipReport([this](const std::string& skippedPath, ScanSkip reason) { skip(skippedPath, reason); });
        GetSubDirectories2016(folders, true, context);
        if (m_yielder.stopRequested())
            return;
        // The search drops a folder that it cannot list, the one named too.
        if (folders.empty() || !pathsEqual(folders.front(), top)) {
            m_jobs.add(path, "cannot read the folder");
            return;
        }
        const char* pattern = m_rules.allFiles ? "*.*" : "*.xml";
        for (const std::string& folder : folders)
            nameOddEntries(folder, pattern);
        GuardedCommand cmd(m_reports, kCollectLocation);
        AddTreeFiles(
            folders, pattern, [this](std::string file) { addFile(file, true); }, cmd,
            [this](const std::string& skippedPath, ScanSkip reason) { skip(skippedPath, reason); });
        // The search passes over folders whose paths are too long for one system call: those and all below
        // them are walked here, a folder at a time, after the rest.
        FolderList deepFolders;
        std::set<FileIdentity> entered;
        for (const std::string& folder : folders) {
            if (folder.size() + kMaxName < kMaxPath)
                continue;
            std::vector<std::string> subfolders;
            std::vector<std::string> files;
            listDeep(folder, pattern, entered, subfolders, files);
            for (const std::string& name : subfolders) {
                if (folder.size() + name.size() + 1 >= kMaxPath)
                    deepFolders.push_back(folder + name + kNativeSeparator);
            }
        }
        walkDeep(deepFolders, pattern, entered);
    }

    // Lists a folder of any depth: its subfolders with usable names, and the files that match and are regular
    // after links; the names it passes over are told. False when the folder cannot be listed or was listed before.
    bool listDeep(const std::string& folder, const char* pattern, std::set<FileIdentity>& entered,
        std::vector<std::string>& subfolders, std::vector<std::string>& files)
    {
        const int fd = openFolderDeep(folder.substr(0, folder.size() - 1));
        DIR* listing = fd >= 0 ? ::fdopendir(fd) : nullptr;
        if (!listing) {
            if (fd >= 0)
                ::close(fd);
            tell(folder, skipReason(ScanSkip::Unreadable), SkipKind::Error);
            return false;
        }
        struct stat self = {};
        if (::fstat(::dirfd(listing), &self) != 0
            || !entered.insert({ static_cast<std::uint64_t>(self.st_dev), static_cast<std::uint64_t>(self.st_ino) })
                    .second) {
            ::closedir(listing);
            return false;
        }
        while (const dirent* entry = ::readdir(listing)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            struct stat info = {};
            if (::fstatat(::dirfd(listing), entry->d_name, &info, 0) != 0) {
                if (matchesWildcard(name, pattern) && name.front() != '~')
                    tell(folder + name, errno == ELOOP ? "a loop of links" : "a link that leads nowhere",
                        SkipKind::Error);
                continue;
            }
            if (S_ISDIR(info.st_mode)) {
                if (HasBadChars(name))
                    skip(folder + name, ScanSkip::UnusableName);
                else
                    subfolders.push_back(name);
            } else if (!matchesWildcard(name, pattern) || name.front() == '~') {
                continue;
            } else if (S_ISREG(info.st_mode)) {
                files.push_back(name);
            } else {
                tell(folder + name, oddKindOf(info.st_mode), SkipKind::Rule);
            }
        }
        ::closedir(listing);
        std::sort(subfolders.begin(), subfolders.end(), nameSortsBefore);
        std::sort(files.begin(), files.end(), nameSortsBefore);
        return true;
    }

    // The window's rules for folders beyond the reach of its search, level by level as it goes: subfolders with
    // usable names that were not met before; files that match, with no "~" or "." in front, regular after links.
    void walkDeep(FolderList level, const char* pattern, std::set<FileIdentity>& entered)
    {
        while (!level.empty() && !m_yielder.stopRequested()) {
            FolderList next;
            for (const std::string& folder : level) {
                std::vector<std::string> subfolders;
                std::vector<std::string> files;
                if (!listDeep(folder, pattern, entered, subfolders, files))
                    continue;
                for (const std::string& name : subfolders)
                    next.push_back(folder + name + kNativeSeparator);
                for (const std::string& name : files)
                    takeDeepFile(folder + name);
            }
            level = std::move(next);
        }
    }

    void takeDeepFile(const std::string& path)
    {
        const std::string name = ExtractFileName(path);
        if (name.front() == '~')
            skip(path, ScanSkip::TildeName);
        else if (name.front() == '.')
            skip(path, ScanSkip::HiddenFile);
        else
            addFile(path, true);
    }

    void skip(const std::string& path, ScanSkip reason)
    {
        tell(path, skipReason(reason), skipKind(reason));
    }
    void tell(const std::string& path, const std::string& why, SkipKind kind)
    {
        if (m_events.skipped)
            m_events.skipped(path, why, kind);
    }

    // The names of a folder that match but that the file search passes over without a word, as they lead to no
    // regular file: links that lead nowhere, and files that are no files.
    void nameOddEntries(const std::string& folder, const char* pattern)
    {
        DIR* listing = ::opendir(folder.c_str());
        if (!listing)
            return; // the search has said why already
        while (const dirent* entry = ::readdir(listing)) {
            if (entry->d_type == DT_REG || entry->d_type == DT_DIR)
                continue;
            const std::string_view name = entry->d_name;
            if (name == "." || name == ".." || name.front() == '~' || !matchesWildcard(name, pattern))
                continue;
            struct stat info = {};
            const std::string path = folder + std::string(name);
            if (::fstatat(::dirfd(listing), entry->d_name, &info, 0) != 0) {
                if (errno == ENOENT)
                    tell(path, "a link that leads nowhere", SkipKind::Error);
                else if (errno == ELOOP)
                    tell(path, "a loop of links", SkipKind::Error);
                else
                    tell(path, std::strerror(errno), SkipKind::Error);
            } else if (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
                tell(path, oddKindOf(info.st_mode), SkipKind::Rule);
            }
        }
        ::closedir(listing);
    }

    // The job whose identity is the given one of m_sources.
    std::size_t jobAt(std::size_t position) const
    {
        std::size_t job = position;
        for (const std::size_t gap : m_withoutIdentity) {
            if (gap > job)
                break;
            ++job;
        }
        return job;
    }

    void addFile(const std::string& path, bool found)
    {
        const std::optional<FileIdentity> identity = identityOf(path);
        // Only the search passes over the program's own files; one named on the command line is a source.
        if (found && identity) {
            for (const ExcludedFile& excluded : m_rules.excluded) {
                if (excluded.identity == *identity) {
                    tell(path, excluded.what, SkipKind::Rule);
                    return;
                }
            }
        }
        if (found && isPdfInOutputFolder(path)) {
            tell(path, "a PDF in a folder that receives the PDFs", SkipKind::Rule);
            return;
        }
        // Each file once: the first time it was met.
        if (identity && !m_sources.insert(*identity)) {
            if (m_events.sameFile)
                m_events.sameFile(path, m_jobs.source(jobAt(m_sources.find(*identity))));
            return;
        }
        if (!identity)
            m_withoutIdentity.push_back(m_jobs.size());
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
    // The jobs whose files could not be looked at, in order: every other job has its identity in m_sources, in
    // the same order. Few, so that a large batch pays nothing for finding the job of an identity.
    std::vector<std::size_t> m_withoutIdentity;
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
