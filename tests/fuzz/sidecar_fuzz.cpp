// libFuzzer target: the sidecar reader and the grabbed-frame check on any
// bytes. Every accepted picture must keep the bytes the painting reads (the
// copied header and every pixel row) inside the input; the address
// sanitizer catches a read beyond it, the checks below a wrong promise.
#include <cstddef>
#include <cstdint>

#include "SidecarBitmap.h"

namespace {

volatile uint32_t g_sink;

// Reads what the control reads from an accepted picture.
void TouchPicture(const uint8_t* data, size_t size, const SidecarPicture& pic)
{
    if (pic.width <= 0 || pic.width > kMaxSidecarDimension || pic.height == 0 ||
        pic.height < -kMaxSidecarDimension || pic.height > kMaxSidecarDimension)
        __builtin_trap();
    if (pic.headerSize != kInfoHeaderSize && pic.headerSize != kCoreHeaderSize)
        __builtin_trap();
    if (pic.pixelOffset < pic.headerOffset + pic.headerSize || pic.pixelOffset > size)
        __builtin_trap();
    const uint64_t rows = pic.height < 0 ? -static_cast<int64_t>(pic.height) : pic.height;
    const uint64_t pixelBytes = BitmapRowBytes(pic.width, pic.bitCount) * rows;
    if (pixelBytes > size - pic.pixelOffset)
        __builtin_trap();

    uint32_t sum = 0;
    // The control copies up to 40 header bytes, never past the end.
    for (size_t i = pic.headerOffset; i < size && i < pic.headerOffset + 40u; ++i)
        sum += data[i];
    for (uint64_t i = 0; i < pixelBytes; ++i)
        sum += data[pic.pixelOffset + i];
    g_sink = sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SidecarPicture pic = {};
    if (ReadSidecarBitmap(data, size, size, &pic) == SidecarVerdict::Accepted) {
        if (pic.headerOffset != kFileHeaderSize)
            __builtin_trap();
        TouchPicture(data, size, pic);
    }
    // A file that was not read whole is never accepted.
    if (size > 0 && ReadSidecarBitmap(data, size - 1, size, &pic) == SidecarVerdict::Accepted)
        __builtin_trap();

    SidecarPicture frame = {};
    if (ReadGrabbedFrame(data, size, &frame) == SidecarVerdict::Accepted) {
        if (frame.headerOffset != 0 || frame.pixelOffset != kInfoHeaderSize)
            __builtin_trap();
        TouchPicture(data, size, frame);
    }
    return 0;
}
