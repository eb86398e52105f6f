#include "filelist/gui/ListView1.h"

#include "filelist/gui/FileListModel.h"
#include "runtime/MousePointer.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace papyrant {

ListView1::ListView1(FileList& list, QWidget* parent)
    : QTreeView(parent)
    , m_model(new FileListModel(list, this))
{
    setObjectName(QStringLiteral("ListView1"));
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Drops are the window's business: the view itself neither drags entries out nor takes them in.
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    header()->hide(); // shown once the column is added
    setToolTip(QStringLiteral("Drag and drop files here. Double-click item to remove it. Move | line to right and "
                              "out of window to reveal full names."));
}

void ListView1::addColumn(const QString& header)
{
    m_model->setHeaderText(header);
    QTreeView::header()->show();
}

std::optional<std::size_t> ListView1::selectedPosition() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return static_cast<std::size_t>(rows.first().row()) + 1;
}

void ListView1::selectPosition(std::size_t position)
{
    const QModelIndex index = m_model->index(static_cast<int>(position) - 1);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView1::ensurePositionVisible(std::size_t position)
{
    scrollTo(m_model->index(static_cast<int>(position) - 1));
}

std::optional<std::size_t> ListView1::hitTest(const QPoint& viewportPoint) const
{
    const QModelIndex index = indexAt(viewportPoint);
    if (!index.isValid())
        return std::nullopt;
    return static_cast<std::size_t>(index.row()) + 1;
}

void ListView1::setListPointer(int value, const QCursor& custom)
{
    m_listPointer = value;
    m_customCursor = custom;
    Q_EMIT listPointerChanged();
}

QCursor ListView1::listCursor() const
{
    return m_listPointer == pointer::kCustom ? m_customCursor : QCursor(Qt::ArrowCursor);
}

void ListView1::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) {
        Q_EMIT keyDown(46);
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void ListView1::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event); // moves the selection first
    Q_EMIT mouseDown();
    if (indexAt(event->position().toPoint()).isValid())
        Q_EMIT itemClick();
}

void ListView1::mouseMoveEvent(QMouseEvent* event)
{
    // The view's own drag-selection would fight the reordering, so only plain hovering reaches the base class.
    if (event->buttons() == Qt::NoButton)
        QTreeView::mouseMoveEvent(event);
    Q_EMIT mouseMove(event->position().toPoint());
}

void ListView1::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    Q_EMIT mouseUp();
}

void ListView1::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    Q_EMIT dblClick();
}

void ListView1::dragEnterEvent(QDragEnterEvent* event)
{
    if (dragOverHandler && dragOverHandler(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ListView1::dragMoveEvent(QDragMoveEvent* event)
{
    if (dragOverHandler && dragOverHandler(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ListView1::dragLeaveEvent(QDragLeaveEvent* event)
{
    event->accept();
}

void ListView1::dropEvent(QDropEvent* event)
{
    if (!dragOverHandler || !dragOverHandler(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (dropHandler)
        dropHandler(event->mimeData());
}

} // namespace papyrant
