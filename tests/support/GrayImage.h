#pragma once

#include <sstream>
#include <string>

namespace papyrant::test {

// A page as pdftoppm -gray renders it: 8-bit gray, 0 black, row by row.
struct GrayImage
{
    int width = 0;
    int height = 0;
    std::string pixels;

    unsigned char at(int x, int y) const
    {
        return static_cast<unsigned char>(
            pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]);
    }
};

// A binary PGM ("P5", 8 bits); an empty image when the bytes are not one.
inline GrayImage parsePgm(const std::string& bytes)
{
    GrayImage image;
    std::istringstream in(bytes);
    std::string magic;
    int maximum = 0;
    in >> magic >> image.width >> image.height >> maximum;
    in.get();
    if (magic != "P5" || maximum != 255 || image.width <= 0 || image.height <= 0)
        return {};
    const auto size = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    image.pixels = bytes.substr(static_cast<std::size_t>(in.tellg()));
    if (image.pixels.size() != size)
        return {};
    return image;
}

} // namespace papyrant::test
