#include "filelist/AddTreeFiles.h"

#include "conversion/PathHelpers.h"
#include "filelist/ListFiles.h"
#include "platform/FileSystem.h"
#include "runtime/GuardedCommand.h"

#include <optional>

namespace papyrant {

namespace {

// Archive + hidden: the typical hidden file, which the folder commands leave out.
constexpr int kHiddenFile = attr::kArchive | attr::kHidden;

} // namespace

void AddTreeFiles(const FolderList& folders, std::string_view pattern, const AppendEntry& appendEntry,
    GuardedCommand& caller, const ScanSkipReport& skipped)
{
    for (const std::string& listed : folders) {
        if (caller.ended())
            return;
        std::string folder;
        caller.step(120, [&] { folder = listed.substr(0, listed.empty() ? 0 : listed.size() - 1); });
        const FileNameArray names = caller.value(122, FileNameArray(), [&] { return ListFiles(folder, pattern); });
        for (std::size_t i = 1; i <= names.upperBound(); ++i) { // 124
            const std::string& name = names(i);
            const std::string path = folder + kNativeSeparator + name; // 128
            if (caller.test(126, [&] { return name.front() == '~'; })) {
                if (skipped)
                    skipped(CollapseBackslashes(path), ScanSkip::TildeName);
                continue;
            }
            std::optional<ScanSkip> skip;
            const bool take = caller.test(132, [&] {
                // Listed as it is, so that its conversion fails with the reason; the checks below cannot see it.
                if (!systemCanName(path))
                    return true;
                if (!IsExistingFile(path))
                    skip = ScanSkip::VanishedFile;
                else if (GetAttributes(path) == kHiddenFile)
                    skip = ScanSkip::HiddenFile;
                return !skip;
            });
            if (take)
                caller.step(132, [&] { appendEntry(CollapseBackslashes(path)); });
            else if (skip && skipped)
                skipped(CollapseBackslashes(path), *skip);
        }
    }
}

} // namespace papyrant
