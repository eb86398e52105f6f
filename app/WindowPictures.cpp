#include "app/WindowPictures.h"

#include "app/CursorHotSpot.h"
#include "filelist/gui/FileNameText.h"
#include "runtime/RuntimeError.h"

#include <QBuffer>
#include <QCursor>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <system_error>
#include <utility>

namespace papyrant {

namespace {

// A picture read by the one decoder for the reader's format. Left to itself, Qt's reader loads every image plugin
// (the SVG one with its library) to ask each whether it reads the picture, even when the format is named.
QImage readByFormat(QImageReader&& reader)
{
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

// The program's icon, drawn ahead of time at the sizes window managers ask for (the window system is handed every
// size when the window is made). Pictures rather than the drawing itself, each read as PNG: given a file name, QIcon
// loads every icon and image plugin to find one that reads it.
std::vector<QImage> readIconSizes()
{
    std::vector<QImage> sizes;
    for (const int size : { 16, 24, 32, 48, 64, 128, 256 })
        sizes.push_back(readByFormat(QImageReader(QStringLiteral(":/icons/papyrant-%1.png").arg(size), "png")));
    return sizes;
}

} // namespace

CursorFileRead readCursorFile(const std::string& cursorPath)
{
    CursorFileRead read;
    QFile file(fileNameText(cursorPath));
    if (!file.open(QIODevice::ReadOnly))
        return read;
    read.bytes = file.readAll();
    QBuffer buffer;
    buffer.setData(*read.bytes);
    read.picture = readByFormat(QImageReader(&buffer, "cur"));
    // A file that is not a cursor after all is read by whichever decoder knows it.
    if (read.picture.isNull())
        read.picture = QImage::fromData(*read.bytes);
    return read;
}

WindowPictures readWindowPictures(const std::string& cursorPath)
{
    return WindowPictures { readIconSizes(), readCursorFile(cursorPath) };
}

std::future<WindowPictures> startReadingWindowPictures(const std::string& cursorPath)
{
    const auto read = [cursorPath] { return readWindowPictures(cursorPath); };
    try {
        return std::async(std::launch::async, read);
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, read);
    }
}

QCursor cursorFromFile(const CursorFileRead& file)
{
    if (!file.bytes)
        throw RuntimeError(err::kFileNotFound);
    if (file.picture.isNull())
        throw RuntimeError(err::kInvalidPicture);
    const QPixmap picture = QPixmap::fromImage(file.picture);
    const HotSpot hotSpot
        = cursorHotSpot(std::string_view(file.bytes->constData(), static_cast<std::size_t>(file.bytes->size())),
            picture.width(), picture.height());
    return QCursor(picture, hotSpot.x, hotSpot.y);
}

QIcon iconFromSizes(std::vector<QImage> sizes)
{
    QIcon icon;
    // Kept in the decoder's straight-alpha format, the one the window system takes: converted to the format Qt
    // draws with, each picture would be converted back when the window is made.
    for (QImage& size : sizes)
        icon.addPixmap(QPixmap::fromImage(std::move(size), Qt::NoFormatConversion));
    return icon;
}

} // namespace papyrant
