// The sidecar reader against crafted files: every file a user could leave
// next to a media file either yields a picture whose bytes all lie inside
// the file, or a refusal naming why.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "CraftedBitmap.h"
#include "SidecarBitmap.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A valid 4 x 2, 24-bit file with a 40-byte header, then one change.
Bytes Valid() { return MakeBitmapFile(SolidBitmap(4, 2, 0x00FF00)); }

Bytes With32(Bytes b, size_t at, uint32_t v) { Put32(b, at, v); return b; }
Bytes With16(Bytes b, size_t at, uint16_t v) { Put16(b, at, v); return b; }

// Cuts the file to n bytes and makes the size field agree, so only the
// later checks can catch it.
Bytes CutTo(Bytes b, size_t n)
{
    b.resize(n);
    if (n >= 6)
        FixSizeField(b);
    return b;
}

// Moves the pixels `gap` bytes further from the headers.
Bytes WithGap(Bytes b, size_t gap)
{
    const uint32_t offset = Get32(b, 10);
    b.insert(b.begin() + offset, gap, 0xEE);
    Put32(b, 10, offset + static_cast<uint32_t>(gap));
    FixSizeField(b);
    return b;
}

struct SidecarCase
{
    std::string name;
    Bytes file;
    SidecarVerdict verdict;
    // For accepted files:
    int32_t width, height;
    uint16_t bitCount;
    uint32_t headerSize, pixelOffset;
};

void PrintTo(const SidecarCase& c, std::ostream* os)
{
    *os << c.name << " (" << c.file.size() << " bytes)";
}

SidecarCase Refused(std::string name, Bytes file, SidecarVerdict verdict)
{
    return {std::move(name), std::move(file), verdict, 0, 0, 0, 0, 0};
}

SidecarCase Accepted(std::string name, Bytes file, int32_t w, int32_t h,
                     uint16_t bits, uint32_t headerSize, uint32_t pixelOffset)
{
    return {std::move(name), std::move(file), SidecarVerdict::Accepted,
            w, h, bits, headerSize, pixelOffset};
}

std::vector<SidecarCase> Cases()
{
    using V = SidecarVerdict;
    const Bytes valid = Valid();
    const size_t end = valid.size();
    return {
        Accepted("Valid40ByteHeader", valid, 4, 2, 24, 40, 54),
        // 257 needs both bytes of the 16-bit fields at offsets 18 and 20.
        Accepted("Valid12ByteHeader", MakeBitmapFile(SolidBitmap(257, 3, 0xFF, 24, 12)),
                 257, 3, 24, 12, 26),
        Accepted("NegativeHeightIsTopDown", MakeBitmapFile(SolidBitmap(4, -2, 0xFF)),
                 4, -2, 24, 40, 54),
        Accepted("Valid16Bit", MakeBitmapFile(SolidBitmap(3, 3, 0xFF, 16)), 3, 3, 16, 40, 54),
        Accepted("Valid32Bit", MakeBitmapFile(SolidBitmap(3, 3, 0xFF, 32)), 3, 3, 32, 40, 54),
        Accepted("PixelsAfterAGap", WithGap(valid, 6), 4, 2, 24, 40, 60),
        Accepted("TrailingBytesAfterPixels", [&] { Bytes b = valid; b.push_back(0); FixSizeField(b); return b; }(),
                 4, 2, 24, 40, 54),
        Accepted("Grab320x200", MakeBitmapFile(SolidBitmap(320, 200, 0x123456)), 320, 200, 24, 40, 54),

        Refused("Empty", {}, V::Empty),
        Refused("ShorterThanFileHeader", Bytes{'B', 'M', 10, 0, 0, 0, 0, 0, 0, 0}, V::TooShortForFileHeader),
        Refused("SizeFieldOneMore", With32(valid, 2, static_cast<uint32_t>(end + 1)), V::SizeFieldMismatch),
        Refused("SizeFieldOneLess", With32(valid, 2, static_cast<uint32_t>(end - 1)), V::SizeFieldMismatch),
        Refused("WrongMagic", With16(valid, 0, 0x4142), V::BadMagic),
        Refused("SwappedMagic", With16(valid, 0, 0x424D), V::BadMagic),
        Refused("HeaderSizeFieldCut", CutTo(valid, 16), V::TooShortForInfoHeader),
        Refused("TruncatedInfoHeader", CutTo(valid, 14 + 20), V::TooShortForInfoHeader),
        Refused("TruncatedCoreHeader", CutTo(MakeBitmapFile(SolidBitmap(4, 2, 0xFF, 24, 12)), 14 + 8),
                V::TooShortForInfoHeader),
        Refused("OffsetPastTheEnd", With32(valid, 10, static_cast<uint32_t>(end + 1)), V::PixelOffsetOutOfRange),
        Refused("OffsetFarPastTheEnd", With32(valid, 10, 0xFFFFFFFFu), V::PixelOffsetOutOfRange),
        Refused("OffsetInsideTheHeaders", With32(valid, 10, 20), V::PixelOffsetOutOfRange),
        Refused("OffsetAtTheEnd", With32(valid, 10, static_cast<uint32_t>(end)), V::PixelDataTooShort),
        Refused("PixelDataOneByteShort", CutTo(valid, end - 1), V::PixelDataTooShort),
        // 3 pixels of 24 bits take 9 bytes but rows are padded to 12.
        Refused("RowsNotPadded", CutTo(MakeBitmapFile(SolidBitmap(3, 2, 0xFF)), 54 + 9 * 2),
                V::PixelDataTooShort),
        Refused("HugeWidth", With32(valid, 18, 0x7FFFFFFF), V::BadDimensions),
        Refused("WidthJustTooLarge", With32(valid, 18, kMaxSidecarDimension + 1), V::BadDimensions),
        Refused("HugeNegativeHeight", With32(valid, 22, 0x80000000u), V::BadDimensions),
        Refused("NegativeWidth", With32(valid, 18, 0xFFFFFFFCu), V::BadDimensions),
        Refused("ZeroWidth", With32(valid, 18, 0), V::BadDimensions),
        Refused("ZeroHeight", With32(valid, 22, 0), V::BadDimensions),
        Refused("CoreZeroWidth", With16(MakeBitmapFile(SolidBitmap(4, 2, 0xFF, 24, 12)), 18, 0),
                V::BadDimensions),
        // Within the limits, but the rows would need far more than the file.
        Refused("LargestPictureInATinyFile",
                With32(With32(valid, 18, kMaxSidecarDimension), 22, kMaxSidecarDimension),
                V::PixelDataTooShort),
        Refused("HeaderSizeZero", With32(valid, 14, 0), V::UnsupportedHeaderSize),
        Refused("HeaderSize108", With32(valid, 14, 108), V::UnsupportedHeaderSize),
        Refused("HeaderSize124", With32(valid, 14, 124), V::UnsupportedHeaderSize),
        Refused("HeaderSize64", With32(valid, 14, 64), V::UnsupportedHeaderSize),
        Refused("EightBitNeedsColourTable", With16(valid, 28, 8), V::UnsupportedFormat),
        Refused("OneBitNeedsColourTable", With16(valid, 28, 1), V::UnsupportedFormat),
        Refused("ZeroBitCount", With16(valid, 28, 0), V::UnsupportedFormat),
        Refused("BitFieldsNeedMasks", With32(MakeBitmapFile(SolidBitmap(4, 2, 0xFF, 32)), 30, 3),
                V::UnsupportedFormat),
        Refused("RunLengthEncoded", With32(valid, 30, 1), V::UnsupportedFormat),
        Refused("ColoursUsedNeedColourTable", With32(valid, 46, 1), V::UnsupportedFormat),
        Refused("TwoPlanes", With16(valid, 26, 2), V::UnsupportedFormat),
        Refused("CoreHeader32Bit", With16(MakeBitmapFile(SolidBitmap(4, 2, 0xFF, 32, 12)), 24, 32),
                V::UnsupportedFormat),
    };
}

class SidecarTable : public ::testing::TestWithParam<SidecarCase> {};

TEST_P(SidecarTable, GivesTheExpectedVerdict)
{
    const SidecarCase& c = GetParam();
    // An exactly sized copy, so the address sanitizer catches any read
    // beyond the bytes (a vector's spare capacity would hide it).
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[c.file.size()]);
    if (!c.file.empty())
        std::memcpy(bytes.get(), c.file.data(), c.file.size());
    SidecarPicture pic = {};
    const SidecarVerdict verdict =
        ReadSidecarBitmap(c.file.empty() ? nullptr : bytes.get(), c.file.size(),
                          c.file.size(), &pic);
    ASSERT_STREQ(SidecarVerdictName(verdict), SidecarVerdictName(c.verdict));
    if (verdict != SidecarVerdict::Accepted)
        return;
    EXPECT_EQ(pic.headerOffset, 14u);
    EXPECT_EQ(pic.headerSize, c.headerSize);
    EXPECT_EQ(pic.pixelOffset, c.pixelOffset);
    EXPECT_EQ(pic.width, c.width);
    EXPECT_EQ(pic.height, c.height);
    EXPECT_EQ(pic.bitCount, c.bitCount);
}

INSTANTIATE_TEST_SUITE_P(CraftedFiles, SidecarTable, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<SidecarCase>& info) {
                             return info.param.name;
                         });

TEST(SidecarBitmap, RefusesAFileNotReadWhole)
{
    const Bytes file = Valid();
    SidecarPicture pic = {};
    EXPECT_EQ(ReadSidecarBitmap(file.data(), file.size() - 1, file.size(), &pic),
              SidecarVerdict::ShortRead);
    EXPECT_EQ(ReadSidecarBitmap(nullptr, 0, file.size(), &pic), SidecarVerdict::ShortRead);
}

TEST(SidecarBitmap, RefusesTooLargeBeforeReadingAByte)
{
    // The bytes pointer is null: a reader that looked at it would crash.
    SidecarPicture pic = {};
    EXPECT_EQ(ReadSidecarBitmap(nullptr, 0, kMaxSidecarBytes + 1, &pic), SidecarVerdict::TooLarge);
    EXPECT_EQ(ReadSidecarBitmap(nullptr, 0, ULLONG_MAX, &pic), SidecarVerdict::TooLarge);
}

TEST(SidecarBitmap, LengthCheckBeforeAllocating)
{
    EXPECT_EQ(CheckSidecarLength(-1), SidecarVerdict::ShortRead);  // ftell failed
    EXPECT_EQ(CheckSidecarLength(0), SidecarVerdict::Empty);
    EXPECT_EQ(CheckSidecarLength(54), SidecarVerdict::Accepted);
    EXPECT_EQ(CheckSidecarLength(kMaxSidecarBytes), SidecarVerdict::Accepted);
    EXPECT_EQ(CheckSidecarLength(kMaxSidecarBytes + 1), SidecarVerdict::TooLarge);
    EXPECT_EQ(CheckSidecarLength(LLONG_MAX), SidecarVerdict::TooLarge);
}

TEST(SidecarBitmap, RowBytesArePaddedToFour)
{
    EXPECT_EQ(BitmapRowBytes(320, 24), 960u);
    EXPECT_EQ(BitmapRowBytes(3, 24), 12u);
    EXPECT_EQ(BitmapRowBytes(1, 16), 4u);
    EXPECT_EQ(BitmapRowBytes(3, 32), 12u);
    EXPECT_EQ(BitmapRowBytes(0, 24), 0u);
    EXPECT_EQ(BitmapRowBytes(INT_MAX, 32), 4ull * INT_MAX);
}

// The detector's frame: a 40-byte header, then pixels, nothing else.
TEST(GrabbedFrame, AcceptsTheDetectorsLayoutAndRefusesOthers)
{
    const Bytes frame = MakeFrameBuffer(SolidBitmap(320, 200, 0x336699));
    SidecarPicture pic = {};
    ASSERT_EQ(ReadGrabbedFrame(frame.data(), frame.size(), &pic), SidecarVerdict::Accepted);
    EXPECT_EQ(pic.headerOffset, 0u);
    EXPECT_EQ(pic.pixelOffset, 40u);
    EXPECT_EQ(pic.width, 320);
    EXPECT_EQ(pic.height, 200);

    EXPECT_EQ(ReadGrabbedFrame(frame.data(), frame.size() - 1, &pic), SidecarVerdict::PixelDataTooShort);
    EXPECT_EQ(ReadGrabbedFrame(frame.data(), 39, &pic), SidecarVerdict::TooShortForInfoHeader);
    EXPECT_EQ(ReadGrabbedFrame(frame.data(), 3, &pic), SidecarVerdict::TooShortForInfoHeader);
    EXPECT_EQ(ReadGrabbedFrame(frame.data(), 0, &pic), SidecarVerdict::Empty);
    const Bytes core = MakeFrameBuffer(SolidBitmap(4, 2, 0xFF, 24, 12));
    EXPECT_EQ(ReadGrabbedFrame(core.data(), core.size(), &pic), SidecarVerdict::UnsupportedHeaderSize);
    Bytes eightBit = frame;
    Put16(eightBit, 14, 8);
    EXPECT_EQ(ReadGrabbedFrame(eightBit.data(), eightBit.size(), &pic), SidecarVerdict::UnsupportedFormat);
}

} // namespace
