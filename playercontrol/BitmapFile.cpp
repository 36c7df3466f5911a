#include "BitmapFile.h"

#include <cstring>

namespace {

// Far beyond any frame the still frame makes; keeps every size below in
// 32 bits with room to spare.
const int64_t kMaxDimension = 1 << 15;
const int64_t kMaxPixelBytes = 1 << 28;
const uint32_t kBiRgb = 0;

uint32_t ReadU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t ReadU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void WriteU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Bytes of pixels the header describes, or 0 when it is not a frame this
// file format is made for.
uint32_t PixelBytesOf(const uint8_t* pHeader)
{
    const int64_t width = static_cast<int32_t>(ReadU32(pHeader + 4));
    int64_t height = static_cast<int32_t>(ReadU32(pHeader + 8));
    const uint16_t planes = ReadU16(pHeader + 12);
    const uint16_t bitCount = ReadU16(pHeader + 14);
    const uint32_t compression = ReadU32(pHeader + 16);
    if (height < 0)
        height = -height; // top-down rows
    if (ReadU32(pHeader) != kBitmapInfoHeaderSize || planes != 1 ||
        (bitCount != 24 && bitCount != 32) || compression != kBiRgb)
        return 0;
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension)
        return 0;
    const int64_t stride = (width * bitCount + 31) / 32 * 4;
    if (stride * height > kMaxPixelBytes)
        return 0;
    return static_cast<uint32_t>(stride * height);
}

} // namespace

std::vector<uint8_t> ComposeBitmapFile(const uint8_t* pFrame, size_t cbFrame)
{
    if (pFrame == nullptr || cbFrame < kBitmapInfoHeaderSize)
        return {};
    const uint32_t pixelBytes = PixelBytesOf(pFrame);
    if (pixelBytes == 0 || cbFrame - kBitmapInfoHeaderSize < pixelBytes)
        return {};

    const size_t offBits = kBitmapFileHeaderSize + kBitmapInfoHeaderSize;
    std::vector<uint8_t> file(offBits + pixelBytes, 0);
    file[0] = 'B';
    file[1] = 'M';
    WriteU32(&file[2], static_cast<uint32_t>(file.size()));
    WriteU32(&file[10], static_cast<uint32_t>(offBits));
    std::memcpy(&file[kBitmapFileHeaderSize], pFrame, kBitmapInfoHeaderSize);
    // The image size field is optional for uncompressed frames; state it.
    WriteU32(&file[kBitmapFileHeaderSize + 20], pixelBytes);
    std::memcpy(&file[offBits], pFrame + kBitmapInfoHeaderSize, pixelBytes);
    return file;
}
