#pragma once

#include "filelist/FileList.h"

#include <QAbstractListModel>

namespace papyrant {

// Shows the job list in the list control. Entries keep their exact bytes; they are decoded only for display.
class FileListModel : public QAbstractListModel, private FileListObserver
{
    Q_OBJECT

public:
    explicit FileListModel(FileList& list, QObject* parent = nullptr);
    ~FileListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void setHeaderText(const QString& text);

    // Display form of an entry's bytes.
    static QString displayText(const std::string& bytes);

private:
    void entryAboutToBeAdded(std::size_t position) override;
    void entryAdded(std::size_t position) override;
    void entryAboutToBeRemoved(std::size_t position) override;
    void entryRemoved(std::size_t position) override;
    void entriesAboutToBeCleared() override;
    void entriesCleared() override;
    void entryChanged(std::size_t position) override;

    FileList& m_list;
    QString m_header;
};

} // namespace papyrant
