// ComposeBitmapFile: grabbed frames become bitmap files the sidecar reader
// accepts, byte for byte; frames it cannot describe make no file at all.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "BitmapFile.h"
#include "CraftedBitmap.h"
#include "SidecarBitmap.h"

namespace {

struct AcceptedCase
{
    const char* name;
    CraftedBitmap bitmap;
};

CraftedBitmap Striped(int32_t width, int32_t height, uint16_t bitCount)
{
    CraftedBitmap bm;
    bm.width = width;
    bm.height = height;
    bm.bitCount = bitCount;
    bm.colour = [](int32_t x, int32_t y) {
        return static_cast<uint32_t>(x * 0x010203 + y * 0x302010) & 0xFFFFFF;
    };
    return bm;
}

TEST(BitmapFileTest, FramesBecomeFilesTheSidecarReaderAcceptsUnchanged)
{
    const AcceptedCase cases[] = {
        {"grab size", Striped(320, 200, 24)},
        {"rows padded", Striped(33, 17, 24)},
        {"one pixel", Striped(1, 1, 24)},
        {"32 bits", Striped(5, 3, 32)},
        {"top-down", Striped(7, -4, 24)},
    };
    for (const AcceptedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> frame = MakeFrameBuffer(c.bitmap);
        const std::vector<uint8_t> file = ComposeBitmapFile(frame.data(), frame.size());

        ASSERT_EQ(file.size(), 14 + frame.size());
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(Get32(file, 2), file.size());
        EXPECT_EQ(Get32(file, 6), 0u);
        EXPECT_EQ(Get32(file, 10), 54u);
        EXPECT_EQ(std::memcmp(file.data() + 14, frame.data(), 40), 0);
        EXPECT_EQ(std::memcmp(file.data() + 54, frame.data() + 40, frame.size() - 40), 0);

        SidecarPicture picture;
        ASSERT_EQ(ReadSidecarBitmap(file.data(), file.size(), file.size(), &picture),
                  SidecarVerdict::Accepted);
        EXPECT_EQ(picture.width, c.bitmap.width);
        EXPECT_EQ(picture.height, c.bitmap.height);
        EXPECT_EQ(picture.bitCount, c.bitmap.bitCount);
        EXPECT_EQ(picture.headerSize, 40u);
        EXPECT_EQ(picture.pixelOffset, 54u);
    }
}

TEST(BitmapFileTest, ImageSizeFieldIsStatedAndBytesPastThePixelsAreLeftOut)
{
    std::vector<uint8_t> frame = MakeFrameBuffer(Striped(33, 17, 24));
    const size_t pixelBytes = frame.size() - 40;
    Put32(frame, 20, 0); // optional for uncompressed frames
    frame.insert(frame.end(), 64, 0xEE);

    const std::vector<uint8_t> file = ComposeBitmapFile(frame.data(), frame.size());
    ASSERT_EQ(file.size(), 54 + pixelBytes);
    EXPECT_EQ(Get32(file, 14 + 20), pixelBytes);
    EXPECT_EQ(Get32(file, 2), file.size());
}

TEST(BitmapFileTest, FramesItCannotDescribeMakeNoFile)
{
    const struct
    {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> spoil;
    } cases[] = {
        {"shorter than the header", [](std::vector<uint8_t>& f) { f.resize(39); }},
        {"pixels one byte short", [](std::vector<uint8_t>& f) { f.pop_back(); }},
        {"only the header", [](std::vector<uint8_t>& f) { f.resize(40); }},
        {"12-byte header size", [](std::vector<uint8_t>& f) { Put32(f, 0, 12); }},
        {"124-byte header size", [](std::vector<uint8_t>& f) { Put32(f, 0, 124); }},
        {"16 bits", [](std::vector<uint8_t>& f) { Put16(f, 14, 16); }},
        {"8 bits, needs a colour table", [](std::vector<uint8_t>& f) { Put16(f, 14, 8); }},
        {"bit fields", [](std::vector<uint8_t>& f) { Put32(f, 16, 3); }},
        {"two planes", [](std::vector<uint8_t>& f) { Put16(f, 12, 2); }},
        {"zero width", [](std::vector<uint8_t>& f) { Put32(f, 4, 0); }},
        {"negative width", [](std::vector<uint8_t>& f) { Put32(f, 4, 0xFFFFFFF0u); }},
        {"zero height", [](std::vector<uint8_t>& f) { Put32(f, 8, 0); }},
        {"lowest height", [](std::vector<uint8_t>& f) { Put32(f, 8, 0x80000000u); }},
        {"absurd width", [](std::vector<uint8_t>& f) { Put32(f, 4, 0x7FFFFFFFu); }},
        {"absurd size", [](std::vector<uint8_t>& f) {
             Put32(f, 4, 30000);
             Put32(f, 8, 30000);
             Put16(f, 14, 32);
         }},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> frame = MakeFrameBuffer(Striped(8, 4, 24));
        c.spoil(frame);
        EXPECT_TRUE(ComposeBitmapFile(frame.data(), frame.size()).empty()) << c.name;
    }
    EXPECT_TRUE(ComposeBitmapFile(nullptr, 1000).empty());
}

} // namespace
