// SidecarBitmap: validates the still frame's bitmap before anything paints it.
//
// The still frame comes either from the sidecar bitmap file next to the media
// file (a file header, an info header, pixels) or from the media detector (an
// info header, then pixels). Both are untrusted bytes: the sidecar can be any
// file a user or another program left there. A picture is accepted only when
// every byte the painting reads lies inside the bytes that were read.
//
// The painting copies 40 bytes of the info header into a bitmap info that has
// room for one colour entry, and GDI reads from that copy, never from the
// file. So only pictures that GDI can draw from the copy alone are accepted:
// a 40-byte or 12-byte info header, no compression, no colour table and no
// bit-field masks (16, 24 or 32 bits per pixel; 24 with the 12-byte header).
//
// Portable: no Windows headers, so it is tested natively, sanitized and
// fuzzed.
#ifndef LUMAREL_SIDECARBITMAP_H
#define LUMAREL_SIDECARBITMAP_H

#include <cstddef>
#include <cstdint>

// Why a picture was refused; Accepted when it may be painted.
enum class SidecarVerdict
{
    Accepted,
    Empty,                  // a zero-length file
    TooLarge,               // longer than kMaxSidecarBytes: never allocated
    ShortRead,              // fewer bytes read than the file's length
    TooShortForFileHeader,  // no room for the 14-byte file header
    BadMagic,               // does not start with "BM"
    SizeFieldMismatch,      // the size field differs from the file's length
    TooShortForInfoHeader,  // the info header runs past the end
    UnsupportedHeaderSize,  // neither the 40-byte nor the 12-byte info header
    UnsupportedFormat,      // planes, bit count, compression or colour table
    BadDimensions,          // zero, negative width, or beyond kMaxSidecarDimension
    PixelOffsetOutOfRange,  // pixel data inside the headers or past the end
    PixelDataTooShort,      // fewer pixel bytes than the rows need
};

// A picture that may be painted. Offsets count from the start of the bytes.
struct SidecarPicture
{
    uint32_t headerOffset;  // the info header
    uint32_t headerSize;    // 40 or 12
    uint32_t pixelOffset;   // the first pixel row
    int32_t width;          // pixels, positive
    int32_t height;         // pixels as stored: negative means rows run top-down
    uint16_t bitCount;      // 16, 24 or 32
};

// Sidecars longer than this are refused before any buffer is allocated: a
// 32-bit process could not hold many of them, and no still frame needs it
// (a 4096 x 4096 frame at 32 bits is 64 MiB).
const uint64_t kMaxSidecarBytes = 128u * 1024u * 1024u;

// Widths and heights beyond this are refused as absurd.
const int32_t kMaxSidecarDimension = 32768;

const uint32_t kFileHeaderSize = 14;
const uint32_t kInfoHeaderSize = 40;
const uint32_t kCoreHeaderSize = 12;

// Whether a file of this length (as the file system reports it; negative
// when that failed) may be allocated and read. Checked before allocating.
SidecarVerdict CheckSidecarLength(int64_t length);

// Validates a sidecar bitmap file: fileLength is its length, bytesRead how
// many of its bytes are in `bytes`. Reads nothing beyond bytesRead. Fills
// *picture only when the verdict is Accepted.
SidecarVerdict ReadSidecarBitmap(const uint8_t* bytes, size_t bytesRead,
                                 uint64_t fileLength, SidecarPicture* picture);

// Validates a frame from the media detector: a 40-byte info header at the
// start, the pixels right after it, `length` bytes in all.
SidecarVerdict ReadGrabbedFrame(const uint8_t* bytes, size_t length,
                                SidecarPicture* picture);

// Bytes in one row of pixels, padded to 4 bytes.
uint64_t BitmapRowBytes(int32_t width, uint16_t bitCount);

// The verdict's name, for test and fuzzer messages.
const char* SidecarVerdictName(SidecarVerdict verdict);

#endif
