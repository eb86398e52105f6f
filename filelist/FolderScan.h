#pragma once

#include "platform/DirectoryListing.h"

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace papyrant {

class MessageBoxes;
class Yielder;

// Folder paths, each ending with the native separator, in scan order; the same value may appear twice.
using FolderList = std::vector<std::string>;

inline constexpr const char* kScanLocation = "QuorvelTitle2021/08/31.AddFolder.GetSubDirectories2016";

// Why the scan left a name out.
enum class ScanSkip
{
    UnusableName, // not UTF-8, a control character or "?", or too long
    SeenBefore, // a link to a folder the scan has met already
    Unreadable, // a folder that cannot be listed or has gone
    HiddenFile,
    VanishedFile, // listed, but gone (or no longer a file) when looked at
    TildeName, // a file whose name starts with "~", as editors' temporary copies do
    NameNotInCodePage, // a folder the system's single-byte functions cannot name (Windows' ANSI code page)
};

// Told about each name the scan leaves out; the window does not listen, the batch converter names them.
using ScanSkipReport = std::function<void(const std::string& path, ScanSkip reason)>;

// What one scan needs: the report for its failures, the yield, and the folders it has met so far, so that
// links cannot lead it into a folder twice. Use a fresh one for each scan.
class ScanContext
{
public:
    ScanContext(MessageBoxes& messages, Yielder& yielder)
        : m_messages(messages)
        , m_yielder(yielder)
    {
    }

    MessageBoxes& messages()
    {
        return m_messages;
    }
    Yielder& yielder()
    {
        return m_yielder;
    }

    // True the first time a folder is entered.
    bool enter(const DirectoryIdentity& folder)
    {
        m_listed.insert(folder);
        return m_entered.insert(folder).second;
    }
    // True the first time a folder is met as a subfolder (or entered): it is then listed, later ones are not.
    bool claim(const DirectoryIdentity& folder)
    {
        return m_listed.insert(folder).second;
    }

    void setSkipReport(ScanSkipReport report)
    {
        m_skipReport = std::move(report);
    }
    void skipped(const std::string& path, ScanSkip reason) const
    {
        if (m_skipReport)
            m_skipReport(path, reason);
    }

private:
    MessageBoxes& m_messages;
    Yielder& m_yielder;
    ScanSkipReport m_skipReport;
    std::set<DirectoryIdentity> m_entered;
    std::set<DirectoryIdentity> m_listed;
};

// Appends every subfolder of the listed folders, level by level, to the list (with recurse, at any depth).
// The list starts with the folders to scan; a folder that cannot be listed (permission denied, vanished) is
// removed from it. Yields once per folder in each pass and once per subfolder; stops early when a stop is
// requested. Failures other than those are reported under kScanLocation and the scan goes on.
void GetSubDirectories2016(FolderList& folders, bool recurse, ScanContext& context);

// True for a folder name the scan refuses: not valid UTF-8, or holding a control character (C0, DEL or C1,
// that is U+0080 to U+009F) or "?".
bool HasBadChars(std::string_view name);

} // namespace papyrant
