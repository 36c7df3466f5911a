// CraftedBitmap: builds bitmap files and detector frames byte by byte, so
// tests, the fuzzer's seeds and the benchmark can make exactly the sidecar
// they need, valid or broken. Portable: used natively and under Wine.
#ifndef LUMAREL_TESTS_CRAFTEDBITMAP_H
#define LUMAREL_TESTS_CRAFTEDBITMAP_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct CraftedBitmap
{
    uint32_t headerSize = 40;  // 40 or 12
    int32_t width = 4;
    int32_t height = 2;        // negative: rows stored top-down
    uint16_t bitCount = 24;    // 16, 24 or 32
    // The colour (0xRRGGBB) at x, y counted from the picture's top left.
    std::function<uint32_t(int32_t x, int32_t y)> colour =
        [](int32_t, int32_t) { return 0xFF0000u; };
};

inline void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

inline void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

inline uint32_t Get32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<uint32_t>(b[at + 3]) << 24);
}

// Sets the file header's size field to the file's length.
inline void FixSizeField(std::vector<uint8_t>& file)
{
    Put32(file, 2, static_cast<uint32_t>(file.size()));
}

inline size_t CraftedRowBytes(const CraftedBitmap& bm)
{
    return (static_cast<size_t>(bm.width) * bm.bitCount + 31) / 32 * 4;
}

// The info header followed by the pixel rows, padded to 4 bytes each.
inline std::vector<uint8_t> MakeFrameBuffer(const CraftedBitmap& bm)
{
    const int32_t rows = bm.height < 0 ? -bm.height : bm.height;
    const size_t stride = CraftedRowBytes(bm);
    std::vector<uint8_t> b(bm.headerSize + stride * rows, 0);
    Put32(b, 0, bm.headerSize);
    if (bm.headerSize == 12) {
        Put16(b, 4, static_cast<uint16_t>(bm.width));
        Put16(b, 6, static_cast<uint16_t>(bm.height));
        Put16(b, 8, 1);
        Put16(b, 10, bm.bitCount);
    } else {
        Put32(b, 4, static_cast<uint32_t>(bm.width));
        Put32(b, 8, static_cast<uint32_t>(bm.height));
        Put16(b, 12, 1);
        Put16(b, 14, bm.bitCount);
        Put32(b, 20, static_cast<uint32_t>(stride * rows));
    }
    for (int32_t y = 0; y < rows; ++y) {
        // Bottom-up files store the picture's last row first.
        const int32_t stored = bm.height < 0 ? y : rows - 1 - y;
        uint8_t* row = b.data() + bm.headerSize + stride * stored;
        for (int32_t x = 0; x < bm.width; ++x) {
            const uint32_t c = bm.colour(x, y);
            const uint8_t r = c >> 16, g = (c >> 8) & 0xFF, bl = c & 0xFF;
            if (bm.bitCount == 16) {
                const uint16_t v = static_cast<uint16_t>(
                    ((r >> 3) << 10) | ((g >> 3) << 5) | (bl >> 3));
                row[2 * x] = static_cast<uint8_t>(v);
                row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
            } else {
                const size_t px = static_cast<size_t>(x) * (bm.bitCount / 8);
                row[px] = bl;
                row[px + 1] = g;
                row[px + 2] = r;
            }
        }
    }
    return b;
}

// A complete bitmap file: 14-byte file header, then MakeFrameBuffer's bytes.
inline std::vector<uint8_t> MakeBitmapFile(const CraftedBitmap& bm)
{
    const std::vector<uint8_t> frame = MakeFrameBuffer(bm);
    std::vector<uint8_t> file(14 + frame.size(), 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 10, 14 + bm.headerSize);
    std::copy(frame.begin(), frame.end(), file.begin() + 14);
    FixSizeField(file);
    return file;
}

// One colour over the whole picture.
inline CraftedBitmap SolidBitmap(int32_t width, int32_t height, uint32_t rgb,
                                 uint16_t bitCount = 24, uint32_t headerSize = 40)
{
    CraftedBitmap bm;
    bm.headerSize = headerSize;
    bm.width = width;
    bm.height = height;
    bm.bitCount = bitCount;
    bm.colour = [rgb](int32_t, int32_t) { return rgb; };
    return bm;
}

#endif
