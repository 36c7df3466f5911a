#include "SidecarBitmap.h"

namespace {

// Little-endian fields; the caller has checked that they lie inside the bytes.
uint16_t Read16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Read32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int32_t ReadSigned32(const uint8_t* p)
{
    const uint32_t u = Read32(p);
    // Two's complement without relying on an implementation-defined cast.
    return u <= 0x7FFFFFFFu ? static_cast<int32_t>(u)
                            : -static_cast<int32_t>(~u) - 1;
}

struct InfoFields
{
    int64_t width;
    int64_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t colorsUsed;
};

// The 12-byte header has unsigned 16-bit sizes and no compression or colour
// count; the 40-byte header has signed 32-bit sizes.
InfoFields ReadInfoFields(const uint8_t* header, uint32_t headerSize)
{
    InfoFields f;
    if (headerSize == kCoreHeaderSize) {
        f.width = Read16(header + 4);
        f.height = Read16(header + 6);
        f.planes = Read16(header + 8);
        f.bitCount = Read16(header + 10);
        f.compression = 0;
        f.colorsUsed = 0;
    } else {
        f.width = ReadSigned32(header + 4);
        f.height = ReadSigned32(header + 8);
        f.planes = Read16(header + 12);
        f.bitCount = Read16(header + 14);
        f.compression = Read32(header + 16);
        f.colorsUsed = Read32(header + 32);
    }
    return f;
}

// Only what GDI paints from the 40 copied header bytes alone: no colour
// table (bit counts above 8, no colour count), no masks (no compression,
// which also rules out bit fields), and the one plane every DIB has.
bool PaintableFormat(const InfoFields& f, uint32_t headerSize)
{
    if (f.planes != 1 || f.compression != 0 || f.colorsUsed != 0)
        return false;
    if (headerSize == kCoreHeaderSize)
        return f.bitCount == 24;
    return f.bitCount == 16 || f.bitCount == 24 || f.bitCount == 32;
}

bool SaneDimensions(const InfoFields& f)
{
    const int64_t rows = f.height < 0 ? -f.height : f.height;
    return f.width > 0 && f.width <= kMaxSidecarDimension && rows > 0 &&
           rows <= kMaxSidecarDimension;
}

// Validates the info header at headerOffset and the pixel rows at
// pixelOffset, all within `length` bytes.
SidecarVerdict ValidateInfoHeader(const uint8_t* bytes, uint64_t length,
                                  uint32_t headerOffset, uint32_t pixelOffset,
                                  SidecarPicture* picture)
{
    if (static_cast<uint64_t>(headerOffset) + 4 > length)
        return SidecarVerdict::TooShortForInfoHeader;
    const uint32_t headerSize = Read32(bytes + headerOffset);
    if (headerSize != kInfoHeaderSize && headerSize != kCoreHeaderSize)
        return SidecarVerdict::UnsupportedHeaderSize;
    const uint64_t headersEnd = static_cast<uint64_t>(headerOffset) + headerSize;
    if (headersEnd > length)
        return SidecarVerdict::TooShortForInfoHeader;

    const InfoFields f = ReadInfoFields(bytes + headerOffset, headerSize);
    if (!PaintableFormat(f, headerSize))
        return SidecarVerdict::UnsupportedFormat;
    if (!SaneDimensions(f))
        return SidecarVerdict::BadDimensions;

    if (pixelOffset < headersEnd || pixelOffset > length)
        return SidecarVerdict::PixelOffsetOutOfRange;
    const int32_t width = static_cast<int32_t>(f.width);
    const uint64_t rows = static_cast<uint64_t>(f.height < 0 ? -f.height : f.height);
    if (length - pixelOffset < BitmapRowBytes(width, f.bitCount) * rows)
        return SidecarVerdict::PixelDataTooShort;

    picture->headerOffset = headerOffset;
    picture->headerSize = headerSize;
    picture->pixelOffset = pixelOffset;
    picture->width = width;
    picture->height = static_cast<int32_t>(f.height);
    picture->bitCount = f.bitCount;
    return SidecarVerdict::Accepted;
}

} // namespace

uint64_t BitmapRowBytes(int32_t width, uint16_t bitCount)
{
    if (width <= 0)
        return 0;
    return (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
}

SidecarVerdict CheckSidecarLength(int64_t length)
{
    if (length < 0)
        return SidecarVerdict::ShortRead;
    if (length == 0)
        return SidecarVerdict::Empty;
    if (static_cast<uint64_t>(length) > kMaxSidecarBytes)
        return SidecarVerdict::TooLarge;
    return SidecarVerdict::Accepted;
}

SidecarVerdict ReadSidecarBitmap(const uint8_t* bytes, size_t bytesRead,
                                 uint64_t fileLength, SidecarPicture* picture)
{
    if (fileLength == 0)
        return SidecarVerdict::Empty;
    if (fileLength > kMaxSidecarBytes)
        return SidecarVerdict::TooLarge;
    if (bytes == nullptr || bytesRead != fileLength)
        return SidecarVerdict::ShortRead;
    if (fileLength < kFileHeaderSize)
        return SidecarVerdict::TooShortForFileHeader;
    if (bytes[0] != 'B' || bytes[1] != 'M')
        return SidecarVerdict::BadMagic;
    if (Read32(bytes + 2) != fileLength)
        return SidecarVerdict::SizeFieldMismatch;
    return ValidateInfoHeader(bytes, fileLength, kFileHeaderSize,
                              Read32(bytes + 10), picture);
}

SidecarVerdict ReadGrabbedFrame(const uint8_t* bytes, size_t length,
                                SidecarPicture* picture)
{
    if (bytes == nullptr || length == 0)
        return SidecarVerdict::Empty;
    if (length > 0xFFFFFFFFu)
        return SidecarVerdict::TooLarge;
    // The detector's frame always has the 40-byte header.
    if (length >= 4 && Read32(bytes) != kInfoHeaderSize)
        return SidecarVerdict::UnsupportedHeaderSize;
    return ValidateInfoHeader(bytes, length, 0, kInfoHeaderSize, picture);
}

const char* SidecarVerdictName(SidecarVerdict verdict)
{
    switch (verdict) {
    case SidecarVerdict::Accepted: return "Accepted";
    case SidecarVerdict::Empty: return "Empty";
    case SidecarVerdict::TooLarge: return "TooLarge";
    case SidecarVerdict::ShortRead: return "ShortRead";
    case SidecarVerdict::TooShortForFileHeader: return "TooShortForFileHeader";
    case SidecarVerdict::BadMagic: return "BadMagic";
    case SidecarVerdict::SizeFieldMismatch: return "SizeFieldMismatch";
    case SidecarVerdict::TooShortForInfoHeader: return "TooShortForInfoHeader";
    case SidecarVerdict::UnsupportedHeaderSize: return "UnsupportedHeaderSize";
    case SidecarVerdict::UnsupportedFormat: return "UnsupportedFormat";
    case SidecarVerdict::BadDimensions: return "BadDimensions";
    case SidecarVerdict::PixelOffsetOutOfRange: return "PixelOffsetOutOfRange";
    case SidecarVerdict::PixelDataTooShort: return "PixelDataTooShort";
    }
    return "?";
}
