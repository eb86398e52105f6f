// Adding whole folder trees: "Add All XML File(s) In Folder", drops on the list, and the sample files.
#include "app/AddFilesMessages.h"
#include "app/Form1.h"
#include "filelist/AddDroppedPaths.h"
#include "filelist/AddTreeFiles.h"
#include "filelist/BrowseForFolder.h"
#include "filelist/DropData.h"
#include "filelist/FolderScan.h"
#include "filelist/SampleFiles.h"
#include "filelist/gui/ListView1.h"
#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"
#include "runtime/GuardedCommand.h"
#include "runtime/MousePointer.h"

#include <QByteArray>
#include <QMimeData>
#include <QTimer>

namespace papyrant {

namespace {

const QString kUriList = QStringLiteral("text/uri-list");

std::string uriListOf(const QMimeData* data)
{
    if (!data || !data->hasFormat(kUriList))
        return {};
    return data->data(kUriList).toStdString();
}

} // namespace

void Form1::PushButton4_Click()
{
    CommandScope scope(*this);
    GuardedCommand cmd(m_services.messages, commandLocation("PushButton4_Click"));
    std::string ext;
    std::string folder;
    cmd.step(100, [&] { ext = "xml"; });
    cmd.step(104, [&] {
        m_lastFolderPath = m_settings->read("LastFolder", "");
        folder = BrowseForFolder(m_services.folderPicker, "Please select folder:", m_lastFolderPath);
    });
    if (!cmd.test(106, [&] { return !folder.empty(); }))
        return;
    cmd.step(333, [&] { m_lastFolderPath = folder; });
    cmd.step(334, [&] { m_settings->save("LastFolder", m_lastFolderPath); });
    cmd.step(112, [&] { setMousePointer(pointer::kHourglass); });
    FolderList folders;
    std::vector<std::string> leftOut;
    cmd.step(114, [&] { folders.push_back(folder + kNativeSeparator); });
    cmd.step(116, [&] {
        ScanContext context(m_services.messages, m_yielder);
        context.setSkipReport([&leftOut](const std::string& path, ScanSkip reason) {
            if (reason == ScanSkip::NameNotInCodePage)
                leftOut.push_back(path);
        });
        GetSubDirectories2016(folders, true, context);
    });
    if (!m_yielder.stopRequested())
        AddTreeFiles(
            folders, "*." + ext, [this](std::string path) { appendEntry(std::move(path)); }, cmd);
    // Otherwise a folder's files would be missing from the list without a word.
    if (!leftOut.empty() && !m_yielder.stopRequested())
        m_services.messages.show(buildFoldersLeftOutMessage(leftOut));
    // A conversion run that is still going keeps its busy marker, or the list could be edited under it.
    cmd.step(136, [&] { setMousePointer(IsConverting() ? pointer::kHourglass : pointer::kDefault); });
}

void Form1::PushButton7_Click()
{
    CommandScope scope(*this);
    GuardedCommand cmd(m_services.messages, commandLocation("PushButton7_Click"));
    cmd.step(100, [&] { AddSampleFiles(m_list, m_services.programFolder, m_services.messages, m_services.shell); });
}

bool Form1::ListView1_OLEDragOver(const QMimeData* dropped)
{
    bool accepted = false;
    unguarded([&] { accepted = carriesLocalFiles(uriListOf(dropped)); });
    return accepted;
}

void Form1::ListView1_OLEDragDrop(const QMimeData* dropped)
{
    std::vector<std::string> paths;
    unguarded([&] { paths = localPathsFromUriList(uriListOf(dropped)); });
    if (paths.empty())
        return;
    // Handled once the drop itself has finished, so the dragging program is not kept waiting during the scan.
    QTimer::singleShot(0, this, [this, paths = std::move(paths)] {
        CommandScope scope(*this);
        unguarded([&] {
            AddDroppedPaths(
                paths, [this](std::string path) { appendEntry(std::move(path)); }, m_services.messages, m_yielder);
        });
    });
}

} // namespace papyrant
