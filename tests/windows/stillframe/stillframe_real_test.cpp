// ShowFrame in the shipped Lumarel.dll under Wine: crafted sidecars painted
// into a real window and read back from its pixels, rejected sidecars that
// leave the window untouched, sidecars that reading never rewrites, and what
// the platform's own media detector really does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AviClip.h"
#include "CanvasTest.h"
#include "CraftedBitmap.h"
#include "MessageBoxWatcher.h"
#include "RealLibrary.h"

namespace {

const uint32_t kMarker = 0x404040;  // the window before ShowFrame
const uint32_t kRed = 0xFF0000;
const uint32_t kBlue = 0x0000FF;
const uint32_t kGreen = 0x00FF00;
const uint32_t kYellow = 0xFFFF00;

// A part of the client area, in fractions of its width and height.
struct Region
{
    double x0, y0, x1, y1;
    uint32_t colour;
};

class StillFrameReal : public CanvasTest<240, 180>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(lib.Loaded()) << "Lumarel.dll or an export is missing";
        window.Fill(kMarker);
    }

    IPlayerControl* NewControl(const std::string& file)
    {
        IPlayerControl* control = lib.NewPlayerControl();
        control->SetWindow(window.Handle());
        control->SetFileName(file.c_str());
        return control;
    }

    // Whether each region (less a margin where HALFTONE blends neighbours)
    // shows its colour; on failure says where not.
    ::testing::AssertionResult Shows(const std::vector<Region>& regions)
    {
        const std::vector<uint32_t> pixels = window.Capture();
        const int w = window.Width(), h = window.Height(), margin = 10;
        for (const Region& r : regions) {
            std::string where;
            const size_t off = CountOff(pixels, w, static_cast<int>(r.x0 * w) + margin,
                                        static_cast<int>(r.y0 * h) + margin,
                                        static_cast<int>(r.x1 * w) - margin,
                                        static_cast<int>(r.y1 * h) - margin, r.colour, &where);
            if (off != 0)
                return ::testing::AssertionFailure() << off << " pixels differ, first " << where;
        }
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult ShowsOnly(uint32_t rgb) { return Shows({{0, 0, 1, 1, rgb}}); }

    RealLibrary lib;
    TempDir dir;
    const std::string media = dir.Path("clip.avi");
    const std::string sidecar = media + ".bmp";
};

// A picture split into left and right halves, or top and bottom halves.
CraftedBitmap Halves(int32_t width, int32_t height, bool leftRight, uint32_t first,
                     uint32_t second, uint16_t bitCount = 24, uint32_t headerSize = 40)
{
    CraftedBitmap bm = SolidBitmap(width, height, 0, bitCount, headerSize);
    const int32_t rows = height < 0 ? -height : height;
    bm.colour = [=](int32_t x, int32_t y) {
        return (leftRight ? x < width / 2 : y < rows / 2) ? first : second;
    };
    return bm;
}

// Sets the file's last write time to a fixed day long past, so that any
// rewrite, however quick, shows.
bool AgeFile(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    SYSTEMTIME st = {2001, 2, 0, 3, 4, 5, 6, 0};
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    const bool ok = SetFileTime(h, NULL, NULL, &ft) != 0;
    CloseHandle(h);
    return ok;
}

FILETIME LastWriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

struct PaintCase
{
    const char* name;
    CraftedBitmap bitmap;
    std::vector<Region> expected;
};

TEST_F(StillFrameReal, PaintsCraftedSidecarsOverTheClientAreaWithoutRewritingThem)
{
    // 33 pixels of 3 bytes: 99 bytes a row, padded to 100.
    CraftedBitmap columns = SolidBitmap(33, 4, 0);
    columns.colour = [](int32_t x, int32_t) {
        const uint32_t c[] = {kRed, kGreen, kBlue};
        return c[x / 11];
    };
    const PaintCase cases[] = {
        {"320x200 24-bit, as the detector writes it", SolidBitmap(320, 200, 0x3080C0),
         {{0, 0, 1, 1, 0x3080C0}}},
        {"12-byte header", Halves(258, 100, true, kRed, kBlue, 24, 12),
         {{0, 0, 0.5, 1, kRed}, {0.5, 0, 1, 1, kBlue}}},
        {"16 bits", SolidBitmap(50, 30, kYellow, 16), {{0, 0, 1, 1, kYellow}}},
        {"32 bits", SolidBitmap(50, 30, kGreen, 32), {{0, 0, 1, 1, kGreen}}},
        {"bottom-up rows upright", Halves(64, 40, false, kRed, kBlue),
         {{0, 0, 1, 0.5, kRed}, {0, 0.5, 1, 1, kBlue}}},
        {"top-down rows upright", Halves(64, -40, false, kRed, kBlue),
         {{0, 0, 1, 0.5, kRed}, {0, 0.5, 1, 1, kBlue}}},
        {"rows padded to 4 bytes", columns,
         {{0, 0, 1.0 / 3, 1, kRed}, {1.0 / 3, 0, 2.0 / 3, 1, kGreen}, {2.0 / 3, 0, 1, 1, kBlue}}},
        {"larger than the grab size", Halves(640, 400, true, kGreen, kRed),
         {{0, 0, 0.5, 1, kGreen}, {0.5, 0, 1, 1, kRed}}},
    };
    MessageBoxWatcher watcher;
    for (const PaintCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> bytes = MakeBitmapFile(c.bitmap);
        ASSERT_TRUE(WriteBytes(sidecar, bytes));
        ASSERT_TRUE(AgeFile(sidecar));
        const FILETIME before = LastWriteTime(sidecar);
        window.Fill(kMarker);

        IPlayerControl* control = NewControl(media);
        EXPECT_EQ(control->ShowFrame(3.0), 0);
        EXPECT_TRUE(Shows(c.expected));
        lib.DeletePlayerControl(control);

        EXPECT_EQ(ReadBytes(sidecar), bytes);
        EXPECT_TRUE(SameTime(LastWriteTime(sidecar), before)) << "the sidecar was rewritten";
    }
    EXPECT_TRUE(watcher.Seen().empty());
}

TEST_F(StillFrameReal, LaterCallsRepaintThePictureAtItsOwnSize)
{
    // Not 320 x 200: a later call drawing a 320 x 200 region of it would
    // show another part of the picture, or nothing.
    ASSERT_TRUE(WriteBytes(sidecar, MakeBitmapFile(Halves(64, 40, true, kRed, kBlue))));
    IPlayerControl* control = NewControl(media);
    EXPECT_EQ(control->ShowFrame(1.0), 0);
    const std::vector<Region> halves = {{0, 0, 0.5, 1, kRed}, {0.5, 0, 1, 1, kBlue}};
    EXPECT_TRUE(Shows(halves));

    // The sidecar is read once: later calls repaint what the control holds.
    ASSERT_TRUE(WriteBytes(sidecar, MakeBitmapFile(SolidBitmap(64, 40, kYellow))));
    for (double t : {5.0, 0.0}) {
        window.Fill(kMarker);
        EXPECT_EQ(control->ShowFrame(t), 0);
        EXPECT_TRUE(Shows(halves)) << "call at " << t;
    }
    lib.DeletePlayerControl(control);
}

struct RejectCase
{
    const char* name;
    std::vector<uint8_t> file;
};

TEST_F(StillFrameReal, RejectedSidecarLeavesTheWindowAsItWasAndIsRetried)
{
    const std::vector<uint8_t> valid = MakeBitmapFile(SolidBitmap(32, 20, kGreen));
    auto with32 = [&](size_t at, uint32_t v) {
        std::vector<uint8_t> b = valid;
        Put32(b, at, v);
        return b;
    };
    std::vector<uint8_t> shortPixels = valid;
    shortPixels.pop_back();
    FixSizeField(shortPixels);
    std::vector<uint8_t> truncatedHeader(valid.begin(), valid.begin() + 30);
    FixSizeField(truncatedHeader);
    std::vector<uint8_t> eightBit = valid;
    Put16(eightBit, 28, 8);

    const RejectCase cases[] = {
        {"size field one more", with32(2, static_cast<uint32_t>(valid.size() + 1))},
        {"size field one less", with32(2, static_cast<uint32_t>(valid.size() - 1))},
        {"wrong magic", [&] { std::vector<uint8_t> b = valid; b[0] = 'X'; return b; }()},
        {"empty file", {}},
        {"truncated info header", truncatedHeader},
        {"pixel offset past the end", with32(10, 0x10000)},
        {"pixel data short", shortPixels},
        {"huge width", with32(18, 0x7FFFFFFF)},
        {"108-byte header", with32(14, 108)},
        {"8 bits needing a colour table", eightBit},
    };
    MessageBoxWatcher watcher;
    for (const RejectCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteBytes(sidecar, c.file));
        ASSERT_TRUE(AgeFile(sidecar));
        const FILETIME before = LastWriteTime(sidecar);
        window.Fill(kMarker);

        IPlayerControl* control = NewControl(media);
        EXPECT_EQ(control->ShowFrame(1.0), 0);
        EXPECT_TRUE(ShowsOnly(kMarker));
        EXPECT_EQ(ReadBytes(sidecar), c.file);
        EXPECT_TRUE(SameTime(LastWriteTime(sidecar), before)) << "the sidecar was rewritten";
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"clip.avi.bmp"})
            << "no grab while a sidecar exists";

        // The next call reads the sidecar again.
        ASSERT_TRUE(WriteBytes(sidecar, valid));
        EXPECT_EQ(control->ShowFrame(1.0), 0);
        EXPECT_TRUE(ShowsOnly(kGreen));
        lib.DeletePlayerControl(control);
    }
    EXPECT_TRUE(watcher.Seen().empty());
}

// Whether path can be opened for reading, writing and deleting while no one
// else may have it open at all: a sharing violation while any handle on it
// is still open.
bool OpensExclusively(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

struct ReleaseCase
{
    const char* name;
    std::vector<uint8_t> file;
    uint32_t shown;
};

TEST_F(StillFrameReal, SidecarIsNotHeldOnceTheCallReturns)
{
    const std::vector<uint8_t> valid = MakeBitmapFile(SolidBitmap(32, 20, kGreen));
    std::vector<uint8_t> refused = valid;
    refused[0] = 'X';
    const ReleaseCase cases[] = {
        {"accepted", valid, kGreen},
        {"refused", refused, kMarker},
        {"large, accepted", MakeBitmapFile(SolidBitmap(1920, 1080, kBlue)), kBlue},
    };
    for (const ReleaseCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteBytes(sidecar, c.file));
        window.Fill(kMarker);

        // The control lives on, holding its picture, while another program
        // takes the sidecar for itself and then deletes it.
        IPlayerControl* control = NewControl(media);
        EXPECT_EQ(control->ShowFrame(1.0), 0);
        EXPECT_TRUE(ShowsOnly(c.shown));
        EXPECT_TRUE(OpensExclusively(sidecar)) << "error " << GetLastError();
        EXPECT_TRUE(DeleteFileA(sidecar.c_str())) << "error " << GetLastError();
        lib.DeletePlayerControl(control);
    }
}

TEST_F(StillFrameReal, WithoutAWindowNothingIsPaintedUntilOneIsGiven)
{
    ASSERT_TRUE(WriteBytes(sidecar, MakeBitmapFile(SolidBitmap(32, 20, kBlue))));
    IPlayerControl* control = NewControl(media);
    control->SetWindow(NULL);
    EXPECT_EQ(control->ShowFrame(1.0), 0);
    EXPECT_TRUE(ShowsOnly(kMarker));

    control->SetWindow(window.Handle());
    EXPECT_EQ(control->ShowFrame(1.0), 0);
    EXPECT_TRUE(ShowsOnly(kBlue));
    lib.DeletePlayerControl(control);
}

// Wine 8 creates the media detector, but its GetBitmapBits and
// WriteBitmapBits answer E_NOTIMPL. A file the graph grab cannot read either
// (tests/windows/grabber covers the files it can) leaves no sidecar and no
// picture, and no message box, since the detector itself was created.
TEST_F(StillFrameReal, WinesMediaDetectorGrabsNothing)
{
    const std::string missing = dir.Path("missing.avi");
    const std::string tooLong = dir.Path(std::string(280, 'x') + ".avi");

    MessageBoxWatcher watcher;
    for (const std::string& file : {missing, tooLong}) {
        SCOPED_TRACE(file.size() > 100 ? "a path too long for the wide buffers" : file);
        window.Fill(kMarker);
        IPlayerControl* control = NewControl(file);
        EXPECT_EQ(control->ShowFrame(0.5), 0);
        EXPECT_TRUE(ShowsOnly(kMarker));
        EXPECT_EQ(control->ShowFrame(1.5), 0);
        EXPECT_TRUE(ShowsOnly(kMarker));
        lib.DeletePlayerControl(control);
        EXPECT_FALSE(FileExists(file + ".bmp"));
    }
    EXPECT_TRUE(watcher.Seen().empty()) << watcher.Seen()[0].text;
}

} // namespace
