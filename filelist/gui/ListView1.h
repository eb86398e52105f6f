#pragma once

#include <QCursor>
#include <QTreeView>
#include <functional>
#include <optional>

namespace papyrant {

class FileList;
class FileListModel;

// The list control: a report view with one column over the job list. It never sorts itself and leaves every
// decision to the window's handlers, which it calls through its signals.
class ListView1 : public QTreeView
{
    Q_OBJECT

public:
    explicit ListView1(FileList& list, QWidget* parent = nullptr);

    FileListModel* listModel() const
    {
        return m_model;
    }

    // ColumnHeaders.Add with only the header text.
    void addColumn(const QString& header);

    // The selected entry's 1-based position, if any.
    std::optional<std::size_t> selectedPosition() const;
    void selectPosition(std::size_t position);
    void ensurePositionVisible(std::size_t position);
    // HitTest: the entry at a point of the viewport.
    std::optional<std::size_t> hitTest(const QPoint& viewportPoint) const;

    // The list's own pointer: the arrow, or the custom picture loaded at a click on an entry.
    void setListPointer(int value, const QCursor& custom = QCursor());
    int listPointer() const
    {
        return m_listPointer;
    }
    QCursor listCursor() const;

    // The window's drop handlers: whether a drag may drop here, and the drop itself.
    std::function<bool(const QMimeData*)> dragOverHandler;
    std::function<void(const QMimeData*)> dropHandler;

Q_SIGNALS:
    void keyDown(int key);
    void dblClick();
    void mouseDown();
    void itemClick();
    void mouseMove(const QPoint& viewportPoint);
    void mouseUp();
    void listPointerChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    FileListModel* m_model;
    int m_listPointer = 0;
    QCursor m_customCursor;
};

} // namespace papyrant
