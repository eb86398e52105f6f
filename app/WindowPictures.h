#pragma once

#include <QByteArray>
#include <QImage>
#include <future>
#include <optional>
#include <string>
#include <vector>

class QCursor;
class QIcon;

namespace papyrant {

// The hand pointer's file as read ahead: its bytes, or nothing when it could not be opened, and its picture, null
// when no decoder reads it.
struct CursorFileRead
{
    std::optional<QByteArray> bytes;
    QImage picture;
};

// The pictures the window shows from the moment it maps: the program's icon at every size it ships, and the hand
// pointer. Decoding them is pure image work, so it runs beside the building of the controls.
struct WindowPictures
{
    std::vector<QImage> iconSizes;
    CursorFileRead handCursor;
};

// Reads the icon and the cursor file at cursorPath (a native path). Touches no widget or pixmap: safe on any
// thread once the application exists.
WindowPictures readWindowPictures(const std::string& cursorPath);

// readWindowPictures on a thread of its own, or when first asked for if no thread can be had.
std::future<WindowPictures> startReadingWindowPictures(const std::string& cursorPath);

// The cursor file's contents read now, as readWindowPictures reads them.
CursorFileRead readCursorFile(const std::string& cursorPath);

// The pointer drawn by a cursor file, with its hot spot. Throws RuntimeError: kFileNotFound when the file could not
// be opened, kInvalidPicture when nothing reads it.
QCursor cursorFromFile(const CursorFileRead& file);

// The icon made of the pictures, which it takes over.
QIcon iconFromSizes(std::vector<QImage> sizes);

} // namespace papyrant
