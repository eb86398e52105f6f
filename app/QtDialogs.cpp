#include "app/QtDialogs.h"

#include "filelist/gui/FileNameText.h"
#include "platform/FileSystem.h"
#include "runtime/RuntimeError.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace papyrant {

namespace {

// The dialog's "Name (*.a)|*.a|" filter in Qt's form.
QString qtFilter(const std::string& filter)
{
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts[i].isEmpty())
            filters << parts[i];
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace

std::string QtFolderPicker::browseForFolder(const std::string& title, const std::string& startFolder)
{
    const QString start = FolderExists(startFolder) ? fileNameText(startFolder) : QString();
    const QString chosen = QFileDialog::getExistingDirectory(
        m_owner, QString::fromStdString(title), start, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty())
        return {};
    std::string folder = fileNameBytes(QDir::cleanPath(chosen));
    while (folder.size() > 1 && folder.back() == kNativeSeparator)
        folder.pop_back();
    return folder;
}

AddFilesDialog::AddFilesDialog(QWidget* parent, const QString& title, const QString& filter)
    : QFileDialog(parent, title, QString(), filter)
{
    setObjectName(QStringLiteral("CommonDialog1"));
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::ExistingFiles);
    setAcceptMode(QFileDialog::AcceptOpen);
}

void AddFilesDialog::accept()
{
    const QStringList files = selectedFiles();
    if (files.isEmpty())
        return;
    // A typed folder name opens that folder, as the dialog always does.
    if (files.size() == 1 && QFileInfo(files.first()).isDir()) {
        setDirectory(files.first());
        selectFile(QString());
        return;
    }
    m_chosen = files;
    QDialog::accept(); // the typed names stand, whether or not such files exist
}

std::string QtFileOpenDialog::resultFor(const QStringList& chosenPaths, std::size_t bufferSize)
{
    std::string result;
    if (chosenPaths.size() == 1) {
        result = fileNameBytes(QDir::toNativeSeparators(chosenPaths.first()));
    } else if (chosenPaths.size() > 1) {
        const QFileInfo first(chosenPaths.first());
        result = fileNameBytes(QDir::toNativeSeparators(first.absolutePath()));
        for (const QString& path : chosenPaths) {
            result.push_back('\0');
            result += fileNameBytes(QFileInfo(path).fileName());
        }
    }
    if (result.size() > bufferSize)
        throw RuntimeError(err::kFileDialogBufferTooSmall);
    return result;
}

std::string QtFileOpenDialog::showOpen(const FileOpenRequest& request)
{
    AddFilesDialog dialog(m_owner, QString::fromStdString(request.title), qtFilter(request.filter));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return resultFor(dialog.chosenFiles(), request.bufferSize);
}

void QtShellOpener::openFolder(const std::string& path)
{
    // The desktop's default handler; when there is none, nothing happens.
    QDesktopServices::openUrl(QUrl::fromLocalFile(fileNameText(path)));
}

} // namespace papyrant
