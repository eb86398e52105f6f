#include "app/IconFilePicture.h"

namespace papyrant {

namespace {

class Bytes
{
public:
    explicit Bytes(std::string_view bytes)
        : m_bytes(bytes)
    {
    }
    bool has(std::size_t at, std::size_t count) const
    {
        return at <= m_bytes.size() && count <= m_bytes.size() - at;
    }
    std::uint32_t byte(std::size_t at) const
    {
        return static_cast<unsigned char>(m_bytes[at]);
    }
    std::uint32_t word(std::size_t at) const
    {
        return byte(at) | byte(at + 1) << 8;
    }
    std::uint32_t dword(std::size_t at) const
    {
        return word(at) | word(at + 2) << 16;
    }

private:
    std::string_view m_bytes;
};

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;

// Bytes in a bitmap row of the given width and depth: rows end on a four-byte boundary.
std::size_t rowBytes(int width, int bitsPerPixel)
{
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32 * 4;
}

// Where the entry'th directory entry starts, when the file has it whole.
std::optional<std::size_t> entryStart(std::string_view fileBytes, std::size_t entry)
{
    const std::size_t at = kDirectorySize + entry * kEntrySize;
    if (entry >= iconPictureCount(fileBytes) || !Bytes(fileBytes).has(at, kEntrySize))
        return std::nullopt;
    return at;
}

} // namespace

std::size_t iconPictureCount(std::string_view fileBytes)
{
    // A directory of icons (type 1) or cursors (type 2), then one entry a picture.
    const Bytes file(fileBytes);
    if (!file.has(0, kDirectorySize) || file.word(0) != 0 || (file.word(2) != 1 && file.word(2) != 2))
        return 0;
    return file.word(4);
}

int iconPictureWidth(std::string_view fileBytes, std::size_t entry)
{
    const std::optional<std::size_t> entryAt = entryStart(fileBytes, entry);
    if (!entryAt)
        return 0;
    const std::uint32_t width = Bytes(fileBytes).byte(*entryAt);
    return width == 0 ? 256 : static_cast<int>(width);
}

std::optional<IconPicture> readIconPicture(std::string_view fileBytes, std::size_t entry)
{
    const Bytes file(fileBytes);
    const std::optional<std::size_t> entryAt = entryStart(fileBytes, entry);
    if (!entryAt)
        return std::nullopt;
    const std::size_t at = file.dword(*entryAt + 12);
    if (!file.has(at, kInfoHeaderSize) || file.dword(at) < kInfoHeaderSize)
        return std::nullopt;
    const auto width = static_cast<std::int32_t>(file.dword(at + 4));
    const auto doubleHeight = static_cast<std::int32_t>(file.dword(at + 8)); // the colours, then the mask
    const std::uint32_t bits = file.word(at + 14);
    const std::uint32_t compression = file.dword(at + 16);
    if (width <= 0 || width > 256 || doubleHeight <= 0 || doubleHeight > 512 || doubleHeight % 2 != 0
        || compression != 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        return std::nullopt;
    const int height = doubleHeight / 2;

    std::size_t tableAt = at + file.dword(at);
    std::size_t colours = 0;
    if (bits <= 8) {
        colours = file.dword(at + 32);
        if (colours == 0 || colours > (1u << bits))
            colours = std::size_t { 1 } << bits;
    }
    const std::size_t pixelsAt = tableAt + colours * 4;
    const std::size_t colourRow = rowBytes(width, static_cast<int>(bits));
    const std::size_t maskRow = rowBytes(width, 1);
    const std::size_t maskAt = pixelsAt + colourRow * static_cast<std::size_t>(height);
    if (!file.has(tableAt, colours * 4) || !file.has(pixelsAt, colourRow * static_cast<std::size_t>(height))
        || !file.has(maskAt, maskRow * static_cast<std::size_t>(height)))
        return std::nullopt;

    IconPicture picture { width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height) };
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const std::size_t row = pixelsAt + colourRow * static_cast<std::size_t>(height - 1 - y); // bottom row first
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = 0;
            if (bits == 32) {
                pixel = file.dword(row + static_cast<std::size_t>(x) * 4); // B, G, R, A: 0xAARRGGBB as read
                anyAlpha = anyAlpha || (pixel >> 24) != 0;
            } else if (bits == 24) {
                pixel = 0xff000000u | file.byte(row + static_cast<std::size_t>(x) * 3 + 2) << 16
                    | file.byte(row + static_cast<std::size_t>(x) * 3 + 1) << 8
                    | file.byte(row + static_cast<std::size_t>(x) * 3);
            } else {
                const std::size_t bit = static_cast<std::size_t>(x) * bits;
                const std::uint32_t index = (file.byte(row + bit / 8) >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= colours)
                    return std::nullopt;
                pixel = 0xff000000u | (file.dword(tableAt + index * 4) & 0x00ffffffu);
            }
            picture.argb[static_cast<std::size_t>(y) * width + x] = pixel;
        }
    }
    // A 32-bit picture carries its own transparency, unless every alpha byte is zero (as older writers left
    // them): then, as for the other depths, a set bit of the mask makes the pixel transparent.
    if (bits == 32 && anyAlpha)
        return picture;
    for (int y = 0; y < height; ++y) {
        const std::size_t row = maskAt + maskRow * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            std::uint32_t& pixel = picture.argb[static_cast<std::size_t>(y) * width + x];
            const bool clear = (file.byte(row + static_cast<std::size_t>(x) / 8) >> (7 - x % 8)) & 1u;
            pixel = clear ? 0u : (pixel | 0xff000000u);
        }
    }
    return picture;
}

} // namespace papyrant
