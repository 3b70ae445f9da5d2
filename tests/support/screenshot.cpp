#include "support/screenshot.h"

#include <algorithm>
#include <sstream>

namespace {

// The header fields of an X window dump, in file order; every one a big-endian 32-bit word.
enum XwdField {
    kHeaderSize,
    kFileVersion,
    kPixmapFormat,
    kPixmapDepth,
    kPixmapWidth,
    kPixmapHeight,
    kXOffset,
    kByteOrder,
    kBitmapUnit,
    kBitmapBitOrder,
    kBitmapPad,
    kBitsPerPixel,
    kBytesPerLine,
    kVisualClass,
    kRedMask,
    kGreenMask,
    kBlueMask,
    kBitsPerRgb,
    kColormapEntries,
    kColorCount,
    kFieldCount = 25,
};
constexpr uint32_t kZPixmap = 2;
constexpr uint32_t kTrueColor = 4;
constexpr uint32_t kMsbFirst = 1;
constexpr size_t kColorEntrySize = 12;

uint32_t bigEndianWord(const std::string& file, size_t offset)
{
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(file[offset + i])); };
    return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
}

// An 8-bit channel from a pixel through its mask (0xff0000 style masks, as 24-bit visuals have).
int channel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    return static_cast<int>((pixel & mask) >> shift);
}

}  // namespace

int Screenshot::countOtherThan(Rgb colour) const
{
    int count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) count += at(x, y) == colour ? 0 : 1;
    return count;
}

int Screenshot::countDifferencesFrom(const Screenshot& other) const
{
    if (width != other.width || height != other.height) return std::max(width * height, other.width * other.height);
    int count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) count += at(x, y) == other.at(x, y) ? 0 : 1;
    return count;
}

std::optional<Screenshot> decodeXwd(const std::string& file, std::string& error)
{
    if (file.size() < kFieldCount * 4) {
        error = "window dump shorter than its header (" + std::to_string(file.size()) + " bytes)";
        return std::nullopt;
    }
    uint32_t header[kFieldCount];
    for (int i = 0; i < kFieldCount; ++i) header[i] = bigEndianWord(file, static_cast<size_t>(i) * 4);
    const uint32_t bitsPerPixel = header[kBitsPerPixel];
    if (header[kFileVersion] != 7 || header[kPixmapFormat] != kZPixmap || header[kVisualClass] != kTrueColor ||
        (bitsPerPixel != 24 && bitsPerPixel != 32) || header[kPixmapWidth] > 65536 || header[kPixmapHeight] > 65536) {
        error = "unsupported window dump (version " + std::to_string(header[kFileVersion]) + ", format " +
                std::to_string(header[kPixmapFormat]) + ", visual class " + std::to_string(header[kVisualClass]) +
                ", " + std::to_string(bitsPerPixel) + " bits per pixel)";
        return std::nullopt;
    }
    Screenshot shot;
    shot.width = static_cast<int>(header[kPixmapWidth]);
    shot.height = static_cast<int>(header[kPixmapHeight]);
    // The header is followed by the window name and the colour map, then the rows.
    const size_t pixels = header[kHeaderSize] + static_cast<size_t>(header[kColorCount]) * kColorEntrySize;
    const size_t bytesPerLine = header[kBytesPerLine];
    const size_t bytesPerPixel = bitsPerPixel / 8;
    if (bytesPerLine < shot.width * bytesPerPixel || file.size() < pixels + bytesPerLine * shot.height) {
        error = "window dump of " + std::to_string(file.size()) + " bytes is too short for " +
                std::to_string(shot.width) + "x" + std::to_string(shot.height) + " pixels";
        return std::nullopt;
    }
    const bool msbFirst = header[kByteOrder] == kMsbFirst;
    shot.rgb.resize(static_cast<size_t>(shot.width) * shot.height * 3);
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const size_t at = pixels + y * bytesPerLine + x * bytesPerPixel;
            uint32_t pixel = 0;
            for (size_t b = 0; b < bytesPerPixel; ++b) {
                const uint32_t byte = static_cast<uint8_t>(file[at + b]);
                pixel |= msbFirst ? byte << (8 * (bytesPerPixel - 1 - b)) : byte << (8 * b);
            }
            uint8_t* out = &shot.rgb[(static_cast<size_t>(y) * shot.width + x) * 3];
            out[0] = static_cast<uint8_t>(channel(pixel, header[kRedMask]));
            out[1] = static_cast<uint8_t>(channel(pixel, header[kGreenMask]));
            out[2] = static_cast<uint8_t>(channel(pixel, header[kBlueMask]));
        }
    }
    return shot;
}

std::optional<Screenshot> decodePpm(const std::string& file, std::string& error)
{
    std::istringstream in(file);
    std::string magic;
    int maxValue = 0;
    Screenshot shot;
    in >> magic >> shot.width >> shot.height >> maxValue;
    in.get();  // the single whitespace byte before the pixels
    const size_t size = static_cast<size_t>(shot.width) * shot.height * 3;
    if (!in || magic != "P6" || maxValue != 255 || shot.width <= 0 || shot.height <= 0 ||
        file.size() - static_cast<size_t>(in.tellg()) < size) {
        error = "not an 8-bit binary PPM image";
        return std::nullopt;
    }
    shot.rgb.assign(file.begin() + in.tellg(), file.begin() + in.tellg() + static_cast<std::ptrdiff_t>(size));
    return shot;
}
