#include "filelist/FolderScan.h"

#include "platform/FileSystem.h"
#include "runtime/GuardedCommand.h"
#include "runtime/RuntimeError.h"
#include "runtime/Yielder.h"
#include "text/Utf8.h"

#include <optional>

namespace papyrant {

namespace {

// Folders with exactly these attributes are the system's hidden folders, which the scan leaves alone.
constexpr int kHiddenSystemFolder = attr::kDirectory | attr::kSystem | attr::kHidden;
constexpr int kHiddenSystemLink = kHiddenSystemFolder | attr::kReparsePoint;

bool isHiddenSystemFolder(const std::string& folder)
{
    if (isRootFolder(folder))
        return false;
    const int attributes = GetAttributes(folder);
    return attributes == kHiddenSystemFolder || attributes == kHiddenSystemLink;
}

// The steps of the first pass run under the command's report until the skip step is armed; from then on a
// failure ends the folder's turn and goes to the skip step instead.
class FirstPassSteps
{
public:
    explicit FirstPassSteps(GuardedCommand& cmd)
        : m_cmd(cmd)
    {
    }

    void arm()
    {
        m_armed = true;
    }
    bool armed() const
    {
        return m_armed;
    }

    template <typename F> void step(int number, F&& action)
    {
        if (m_armed)
            action();
        else
            m_cmd.step(number, action);
    }
    template <typename F> bool test(int number, F&& condition)
    {
        return m_armed ? static_cast<bool>(condition()) : m_cmd.test(number, condition);
    }

private:
    GuardedCommand& m_cmd;
    bool m_armed = false;
};

// The subfolders of one folder that the scan returns: steps 118 to 134.
void appendSubfolders(const std::string& folder, FolderList& newFolders, FirstPassSteps& steps, ScanContext& context)
{
    FolderListing listing;
    steps.step(118, [&] { listing = listSubfolders(folder); });
    // A folder that links lead to a second time is not entered again.
    if (!context.enter(listing.identity))
        return;
    for (SubfolderEntry& subfolder : listing.subfolders) {
        context.yielder().yield(); // 120
        if (context.yielder().stopRequested())
            return;
        const std::string& name = subfolder.name; // 122
        if (name.size() >= kMaxPath || HasBadChars(name) || name.find('?') != std::string::npos // 124 to 128
            || name == "." || name == "..") { // 130
            context.skipped(folder + name, ScanSkip::UnusableName);
            continue;
        }
        // Every file in it would fail: the folder is left out, and said so by the caller.
        if (!systemCanName(folder + name)) {
            context.skipped(folder + name, ScanSkip::NameNotInCodePage);
            continue;
        }
        // A link to a folder met before would list it again, or endlessly in a cycle.
        if (!context.claim(subfolder.identity)) {
            context.skipped(folder + name, ScanSkip::SeenBefore);
            continue;
        }
        newFolders.push_back(folder + name + kNativeSeparator); // 132, 134
    }
}

// The skip step (138 to 148): a folder that cannot be listed or has vanished leaves the list.
void skipFolder(FolderList& folders, const std::string& folder, std::size_t& position)
{
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (pathsEqual(folders[i], folder)) {
            folders.erase(folders.begin() + static_cast<std::ptrdiff_t>(i));
            // The removed value is at or before the current one, so the next value now sits at position.
            return;
        }
    }
    ++position;
}

} // namespace

void GetSubDirectories2016(FolderList& folders, bool recurse, ScanContext& context)
{
    GuardedCommand cmd(context.messages(), kScanLocation);
    Yielder& yielder = context.yielder();
    FolderList newFolders; // 104

    // First pass (106): the values the list holds on entry (it grows only in the second pass), less those the
    // skip step removes.
    FirstPassSteps steps(cmd);
    std::size_t position = 0;
    while (position < folders.size()) {
        if (yielder.stopRequested())
            return;
        const std::string folder = folders[position];
        std::optional<int> failure;
        bool listed = false;
        if (!systemCanName(folder)) {
            context.skipped(folder.substr(0, folder.size() - 1), ScanSkip::NameNotInCodePage);
            ++position;
            continue;
        }
        try {
            if (!steps.test(108, [&] { return FolderExists(folder); })
                || steps.test(110, [&] { return folder.size() >= kMaxPath; })) {
                ++position;
                continue;
            }
            yielder.yield(); // 114
            if (steps.test(116, [&] { return isHiddenSystemFolder(folder); })) {
                ++position;
                continue;
            }
            steps.arm();
            appendSubfolders(folder, newFolders, steps, context);
            listed = true;
        } catch (...) {
            failure = currentExceptionAsRuntimeError().number();
        }
        // 138: reached with or without a failure once armed.
        if (!listed && failure && (*failure == err::kPermissionDenied || *failure == err::kPathNotFound)) {
            context.skipped(folder, ScanSkip::Unreadable);
            skipFolder(folders, folder, position); // 140 to 148
        } else {
            ++position;
        }
    }

    // The deeper levels that the recursive call appends have just passed its own second pass; asking the file
    // system again at every level above would make the scan's cost grow with the depth of the tree.
    const std::size_t checkedFrom = newFolders.size();
    if (recurse && !newFolders.empty() && !yielder.stopRequested())
        cmd.step(150, [&] { GetSubDirectories2016(newFolders, true, context); });

    // Second pass (152).
    for (std::size_t i = 0; i < newFolders.size(); ++i) {
        if (yielder.stopRequested())
            return;
        const std::string& folder = newFolders[i];
        const bool checked = i >= checkedFrom;
        if (!checked && !cmd.test(154, [&] { return FolderExists(folder); }))
            continue;
        cmd.step(156, [&] { yielder.yield(); });
        if (checked || cmd.test(158, [&] { return !isHiddenSystemFolder(folder); }))
            cmd.step(160, [&] { folders.push_back(folder); });
    }
}

bool HasBadChars(std::string_view name)
{
    for (std::size_t i = 0; i < name.size();) {
        const Utf8Char ch = utf8CharAt(name, i);
        if (!ch.valid || ch.codePoint < 0x20 || ch.codePoint == U'?' || (ch.codePoint >= 0x7F && ch.codePoint <= 0x9F))
            return true;
        i += ch.length;
    }
    return false;
}

} // namespace papyrant
