#include "filelist/gui/FileListModel.h"

#include "filelist/gui/FileNameText.h"

#include <QFile>

namespace papyrant {

FileListModel::FileListModel(FileList& list, QObject* parent)
    : QAbstractListModel(parent)
    , m_list(list)
{
    m_list.addObserver(this);
}

FileListModel::~FileListModel()
{
    m_list.removeObserver(this);
}

QString FileListModel::displayText(const std::string& bytes)
{
    return fileNameText(bytes);
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_list.count());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || static_cast<std::size_t>(index.row()) >= m_list.count())
        return {};
    if (role == Qt::DisplayRole)
        return displayText(m_list.entries()[static_cast<std::size_t>(index.row())]);
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_header;
    return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

void FileListModel::setHeaderText(const QString& text)
{
    m_header = text;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, 0);
}

void FileListModel::entryAboutToBeAdded(std::size_t position)
{
    const int row = static_cast<int>(position - 1);
    beginInsertRows(QModelIndex(), row, row);
}

void FileListModel::entryAdded(std::size_t)
{
    endInsertRows();
}

void FileListModel::entryAboutToBeRemoved(std::size_t position)
{
    const int row = static_cast<int>(position - 1);
    beginRemoveRows(QModelIndex(), row, row);
}

void FileListModel::entryRemoved(std::size_t)
{
    endRemoveRows();
}

void FileListModel::entriesAboutToBeCleared()
{
    beginResetModel();
}

void FileListModel::entriesCleared()
{
    endResetModel();
}

void FileListModel::entryChanged(std::size_t position)
{
    const QModelIndex changed = index(static_cast<int>(position - 1));
    Q_EMIT dataChanged(changed, changed, { Qt::DisplayRole });
}

} // namespace papyrant
