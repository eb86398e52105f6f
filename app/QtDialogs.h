#pragma once

#include "runtime/Dialogs.h"

#include <QFileDialog>
#include <QPointer>

namespace papyrant {

// Qt's own folder picker (the same on every desktop).
class QtFolderPicker : public FolderPicker
{
public:
    explicit QtFolderPicker(QWidget* owner = nullptr)
        : m_owner(owner)
    {
    }
    std::string browseForFolder(const std::string& title, const std::string& startFolder) override;

private:
    QPointer<QWidget> m_owner;
};

// The open dialog in its several-files mode, which also takes typed names of files that do not exist.
class AddFilesDialog : public QFileDialog
{
    Q_OBJECT

public:
    AddFilesDialog(QWidget* parent, const QString& title, const QString& filter);
    const QStringList& chosenFiles() const
    {
        return m_chosen;
    }

public Q_SLOTS:
    void accept() override;

private:
    QStringList m_chosen;
};

class QtFileOpenDialog : public FileOpenDialog
{
public:
    explicit QtFileOpenDialog(QWidget* owner = nullptr)
        : m_owner(owner)
    {
    }
    std::string showOpen(const FileOpenRequest& request) override;

    // The dialog's result text for the chosen paths: one full path, or the folder and each name separated by
    // NUL characters. Throws error 20476 when it does not fit the buffer.
    static std::string resultFor(const QStringList& chosenPaths, std::size_t bufferSize);

private:
    QPointer<QWidget> m_owner;
};

class QtShellOpener : public ShellOpener
{
public:
    void openFolder(const std::string& path) override;
};

} // namespace papyrant
