#include "filelist/AddDroppedPaths.h"

#include "filelist/FolderScan.h"
#include "platform/FileSystem.h"
#include "runtime/GuardedCommand.h"
#include "runtime/Yielder.h"

namespace papyrant {

void AddDroppedPaths(
    const std::vector<std::string>& paths, const AppendEntry& appendEntry, MessageBoxes& messages, Yielder& yielder)
{
    GuardedCommand cmd(messages, commandLocation(kDropHandler));
    for (const std::string& path : paths) {
        if (yielder.stopRequested())
            return;
        // A path that does not exist is no folder, and its attributes are then never asked for.
        const bool isFolder
            = cmd.value(100, false, [&] { return FileExists(path) && (GetAttributes(path) & attr::kDirectory) != 0; });
        if (!isFolder) {
            cmd.step(106, [&] { appendEntry(path); });
            continue;
        }
        FolderList folders { path + kNativeSeparator };
        ScanContext context(messages, yielder);
        cmd.step(102, [&] { GetSubDirectories2016(folders, true, context); });
        if (yielder.stopRequested())
            return;
        AddTreeFiles(folders, "*.*", appendEntry, cmd); // 104
    }
}

} // namespace papyrant
