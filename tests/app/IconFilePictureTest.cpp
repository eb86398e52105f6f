#include "app/IconFilePicture.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace papyrant {
namespace {

void putWord(std::string& bytes, unsigned value)
{
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>((value >> 8) & 0xFF);
}

void putDword(std::string& bytes, unsigned value)
{
    putWord(bytes, value & 0xFFFF);
    putWord(bytes, value >> 16);
}

// A cursor file of one bitmap, laid out by the format's rules: directory, entry, bitmap header, colour table, the
// colour rows and the mask rows, each row padded to four bytes and given here bottom row first, as stored.
std::string cursorFile(unsigned bits, unsigned width, unsigned height, const std::string& table,
    const std::string& colourRows, const std::string& maskRows)
{
    std::string bytes;
    putWord(bytes, 0);
    putWord(bytes, 2);
    putWord(bytes, 1);
    bytes += { static_cast<char>(width), static_cast<char>(height), 0, 0 };
    putWord(bytes, 0); // hot spot
    putWord(bytes, 0);
    putDword(bytes, static_cast<unsigned>(40 + table.size() + colourRows.size() + maskRows.size()));
    putDword(bytes, 22);
    putDword(bytes, 40);
    putDword(bytes, width);
    putDword(bytes, height * 2);
    putWord(bytes, 1);
    putWord(bytes, bits);
    for (int i = 0; i < 6; ++i)
        putDword(bytes, 0);
    return bytes + table + colourRows + maskRows;
}

std::string bytesOf(std::initializer_list<int> values)
{
    std::string bytes;
    for (const int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

TEST(IconPicture, ReadsColourTablesDepthsAndMasks)
{
    // 2 x 2, one bit a pixel: colour 0 is blue, colour 1 is red. Top row: red, blue; bottom row: blue, red, with
    // the bottom row's right pixel masked out.
    const std::string table = bytesOf({ 0xFF, 0, 0, 0, 0, 0, 0xFF, 0 }); // B, G, R, reserved
    const std::string colours = bytesOf({ 0x40, 0, 0, 0, 0x80, 0, 0, 0 }); // bottom row 01, top row 10
    const std::string mask = bytesOf({ 0x40, 0, 0, 0, 0x00, 0, 0, 0 });
    const auto picture = readIconPicture(cursorFile(1, 2, 2, table, colours, mask));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 2);
    EXPECT_EQ(picture->height, 2);
    EXPECT_EQ(picture->argb, (std::vector<std::uint32_t> { 0xFFFF0000, 0xFF0000FF, 0xFF0000FF, 0x00000000 }));

    // 32 bits a pixel whose alpha bytes are all zero take their transparency from the mask; with any alpha byte
    // set, the alpha channel holds.
    const std::string pixels = bytesOf({ 1, 2, 3, 0, 4, 5, 6, 0 }); // one row: B, G, R, A
    const std::string oneRowMask = bytesOf({ 0x40, 0, 0, 0 });
    const auto masked = readIconPicture(cursorFile(32, 2, 1, "", pixels, oneRowMask));
    ASSERT_TRUE(masked);
    EXPECT_EQ(masked->argb, (std::vector<std::uint32_t> { 0xFF030201, 0x00000000 }));
    const auto alpha = readIconPicture(cursorFile(32, 2, 1, "", bytesOf({ 1, 2, 3, 0x80, 4, 5, 6, 0 }), oneRowMask));
    ASSERT_TRUE(alpha);
    EXPECT_EQ(alpha->argb, (std::vector<std::uint32_t> { 0x80030201, 0x00060504 }));

    // What it does not read is left to the toolkit: a cut-off file, a colour index past the table, a PNG picture.
    const std::string whole = cursorFile(1, 2, 2, table, colours, mask);
    EXPECT_FALSE(readIconPicture(whole.substr(0, whole.size() - 1)));
    EXPECT_FALSE(readIconPicture(cursorFile(8, 1, 1, table, bytesOf({ 2, 0, 0, 0 }), bytesOf({ 0, 0, 0, 0 }))));
    std::string png = whole.substr(0, 22) + "\x89PNG\r\n\x1a\n" + std::string(40, '\0');
    EXPECT_FALSE(readIconPicture(png));
}

std::string assetBytes(const char* name)
{
    std::ifstream in(std::filesystem::path(std::getenv("PAPYRANT_SOURCE_DIR")) / "assets" / name, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// Pixels that differ between a picture read here and the toolkit's reading of the same picture.
int differingPixels(const IconPicture& picture, const QImage& toolkits)
{
    const QImage expected = toolkits.convertToFormat(QImage::Format_ARGB32);
    if (picture.width != expected.width() || picture.height != expected.height())
        return -1;
    int differing = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb want = expected.pixel(x, y);
            const std::uint32_t got = picture.argb[static_cast<std::size_t>(y) * picture.width + x];
            // Fully clear pixels may keep any colour.
            if (qAlpha(want) == 0 && (got >> 24) == 0)
                continue;
            differing += want != got;
        }
    }
    return differing;
}

TEST(IconPicture, ReadsTheShippedPicturesAsTheToolkitsOwnReadersDo)
{
    // The hand, as the toolkit's cursor reader reads it.
    const std::string hand = assetBytes("HAND-M.CUR");
    ASSERT_FALSE(hand.empty());
    const auto picture = readIconPicture(hand);
    ASSERT_TRUE(picture);
    QByteArray data(hand.data(), static_cast<qsizetype>(hand.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, "cur");
    EXPECT_EQ(differingPixels(*picture, reader.read()), 0);

    // The window's icon comes from the program's icon file: each of its bitmaps is the picture drawn for that size,
    // as the icon theme installs it.
    const std::string icon = assetBytes("papyrant.ico");
    int read = 0;
    for (std::size_t entry = 0; entry < iconPictureCount(icon); ++entry) {
        if (const auto size = readIconPicture(icon, entry)) {
            ++read;
            const QImage drawn(QStringLiteral("%1/assets/icons/papyrant-%2.png")
                                   .arg(QString::fromLocal8Bit(std::getenv("PAPYRANT_SOURCE_DIR")))
                                   .arg(size->width));
            EXPECT_EQ(differingPixels(*size, drawn), 0) << size->width;
        }
    }
    EXPECT_GE(read, 5) << "16 to 64 px at least";
}

} // namespace
} // namespace papyrant
