// The graph frame grabber against real DirectShow under Wine: the frame at
// the time asked for, its layout, and failure on files it cannot grab from.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>

#include "BitmapFile.h"
#include "ChildProcessCheck.h"
#include "GraphFrameGrabber.h"
#include "GrabberTestSupport.h"
#include "SidecarBitmap.h"

#include <vfwmsgs.h>

namespace {

const LONG kWidth = 320;
const LONG kHeight = 200;
const size_t kStride = 960; // 320 pixels x 3 bytes, already a multiple of 4

const uint32_t kRed = 0xE01010;
const uint32_t kGreen = 0x10C020;
const uint32_t kBlue = 0x2030D0;
const uint32_t kYellow = 0xF0E040;

// Pixels of a grabbed frame that are not within tolerance of rgb, as text
// (empty when every pixel matches).
std::string PixelsNotOfColour(const std::vector<BYTE>& frame, uint32_t rgb, int tolerance = 3)
{
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, frame.data(), sizeof(bih));
    const size_t stride = (static_cast<size_t>(bih.biWidth) * 3 + 3) & ~size_t(3);
    const BYTE want[3] = {static_cast<BYTE>(rgb), static_cast<BYTE>(rgb >> 8),
                          static_cast<BYTE>(rgb >> 16)};
    size_t wrong = 0;
    std::ostringstream first;
    for (LONG y = 0; y < bih.biHeight; ++y) {
        const BYTE* row = frame.data() + sizeof(bih) + stride * static_cast<size_t>(y);
        for (LONG x = 0; x < bih.biWidth; ++x) {
            const BYTE* px = row + 3 * x;
            bool ok = true;
            for (int c = 0; c < 3; ++c)
                ok = ok && std::abs(px[c] - want[c]) <= tolerance;
            if (!ok && wrong++ == 0)
                first << "first at row " << y << " x " << x << ": BGR " << int(px[0]) << ","
                      << int(px[1]) << "," << int(px[2]);
        }
    }
    if (wrong == 0)
        return "";
    return std::to_string(wrong) + " pixels differ, " + first.str();
}

class GrabberTest : public ::testing::Test
{
protected:
    std::string MakeClip(const std::string& name, const AviClipSpec& clipSpec)
    {
        const std::string path = folder.Path(name);
        EXPECT_TRUE(WriteAviClip(path, clipSpec)) << path;
        return path;
    }

    ComScope com;
    void CheckFilesItCannotGrabFrom();

    TempDir folder;
    RecordingPlatform platform;
};

TEST_F(GrabberTest, SolidClipGivesA320x200FrameOfItsColourLaidOutLikeTheDetectors)
{
    AviClipSpec clipSpec;
    clipSpec.secondColours = {kRed, kRed};
    const std::string clip = MakeClip("solid.avi", clipSpec);

    std::vector<BYTE> frame;
    ASSERT_EQ(GrabFrameThroughGraph(platform, clip.c_str(), 1.0, kWidth, kHeight, frame), S_OK);

    ASSERT_EQ(frame.size(), sizeof(BITMAPINFOHEADER) + kStride * kHeight);
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, frame.data(), sizeof(bih));
    EXPECT_EQ(bih.biSize, 40u);
    EXPECT_EQ(bih.biWidth, kWidth);
    EXPECT_EQ(bih.biHeight, kHeight); // positive: bottom-up
    EXPECT_EQ(bih.biPlanes, 1);
    EXPECT_EQ(bih.biBitCount, 24);
    EXPECT_EQ(bih.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(bih.biClrUsed, 0u);
    EXPECT_EQ(PixelsNotOfColour(frame, kRed), "");

    // The still frame's own check of detector frames takes it as it is.
    SidecarPicture picture;
    EXPECT_EQ(ReadGrabbedFrame(frame.data(), frame.size(), &picture), SidecarVerdict::Accepted);

    // Everything was created through the platform, nothing else asked for.
    EXPECT_EQ(platform.created, (std::vector<std::string>{
                                    kFilterGraphClass, kSampleGrabberClass, kNullRendererClass}));
}

// Each second of the clip has its own colour, so the colour of the frame
// says which moment it came from. Times are rounded to the nearest 100 ns;
// negative and undefined times mean the start.
TEST_F(GrabberTest, FrameComesFromTheTimeAskedFor)
{
    AviClipSpec clipSpec;
    clipSpec.framesPerSecond = 10;
    clipSpec.secondColours = {kRed, kGreen, kBlue, kYellow};
    const std::string clip = MakeClip("seconds.avi", clipSpec);

    const struct
    {
        double time;
        uint32_t colour;
    } cases[] = {
        {2.5, kBlue},    {0.0, kRed},     {1.0, kGreen},         {3.95, kYellow},
        {0.99, kRed},    {1.99999997, kBlue} /* 20000000 units: 2.0 s */,
        {-1.0, kRed},    {1.5, kGreen},   {0.5, kRed},
        // Past the end the graph pauses on the last frame; times beyond any
        // count of 100 ns units and undefined times must not upset it.
        {100.0, kYellow}, {1e30, kYellow}, {HUGE_VAL, kYellow}, {std::nan(""), kRed},
    };
    // One grabber call per case, in an order that goes back and forth.
    for (const auto& c : cases) {
        std::vector<BYTE> frame;
        ASSERT_EQ(GrabFrameThroughGraph(platform, clip.c_str(), c.time, kWidth, kHeight, frame),
                  S_OK)
            << "time " << c.time;
        EXPECT_EQ(PixelsNotOfColour(frame, c.colour), "") << "time " << c.time;
    }
}

// Sources whose rows need padding, smaller and larger than the result, and
// results of other sizes: the scaling must read and write whole rows.
TEST_F(GrabberTest, ScalesAnySourceSizeToAnyResultSize)
{
    const struct
    {
        int32_t srcWidth, srcHeight;
        LONG width, height;
    } cases[] = {
        {33, 17, kWidth, kHeight},
        {641, 479, kWidth, kHeight},
        {320, 200, kWidth, kHeight},
        {160, 120, 7, 5},
        {2, 2, 1, 1},
    };
    for (const auto& c : cases) {
        AviClipSpec clipSpec;
        clipSpec.width = c.srcWidth;
        clipSpec.height = c.srcHeight;
        clipSpec.framesPerSecond = 5;
        clipSpec.secondColours = {kBlue};
        const std::string clip = MakeClip(
            "size-" + std::to_string(c.srcWidth) + "x" + std::to_string(c.srcHeight) + ".avi",
            clipSpec);
        std::vector<BYTE> frame;
        ASSERT_EQ(GrabFrameThroughGraph(platform, clip.c_str(), 0.0, c.width, c.height, frame),
                  S_OK)
            << c.srcWidth << "x" << c.srcHeight;
        const size_t stride = (static_cast<size_t>(c.width) * 3 + 3) & ~size_t(3);
        ASSERT_EQ(frame.size(), 40 + stride * static_cast<size_t>(c.height));
        EXPECT_EQ(PixelsNotOfColour(frame, kBlue), "") << c.srcWidth << "x" << c.srcHeight;
    }
}

// What the sidecar will hold: the grabbed frame as a bitmap file that the
// still frame's reader accepts as 320 x 200.
TEST_F(GrabberTest, ComposedFileOfAGrabbedFrameIsAcceptedByTheSidecarReader)
{
    AviClipSpec clipSpec;
    clipSpec.secondColours = {kGreen};
    const std::string clip = MakeClip("green.avi", clipSpec);
    std::vector<BYTE> frame;
    ASSERT_EQ(GrabFrameThroughGraph(platform, clip.c_str(), 0.2, kWidth, kHeight, frame), S_OK);

    const std::vector<uint8_t> file = ComposeBitmapFile(frame.data(), frame.size());
    ASSERT_EQ(file.size(), 54 + kStride * kHeight);
    SidecarPicture picture;
    ASSERT_EQ(ReadSidecarBitmap(file.data(), file.size(), file.size(), &picture),
              SidecarVerdict::Accepted);
    EXPECT_EQ(picture.width, kWidth);
    EXPECT_EQ(picture.height, kHeight);
    EXPECT_EQ(picture.bitCount, 24);
    EXPECT_EQ(picture.pixelOffset, 54u);
    EXPECT_EQ(std::memcmp(file.data() + 54, frame.data() + 40, kStride * kHeight), 0);
}

// In a process of its own: on the cut clip Wine's GStreamer parser sometimes
// never returns, and the grab is given up at its time limit (see
// ChildProcessCheck.h).
TEST_F(GrabberTest, FilesItCannotGrabFromFailWithNoFrame)
{
    EXPECT_IN_CHILD_PROCESS(CheckFilesItCannotGrabFrom());
}

void GrabberTest::CheckFilesItCannotGrabFrom()
{
    const std::string garbage = folder.Path("garbage.avi");
    ASSERT_TRUE(WriteWholeFile(garbage, std::string(4096, '\x5A')));
    const std::string empty = folder.Path("empty.avi");
    ASSERT_TRUE(WriteWholeFile(empty, ""));
    // A clip cut off in the middle of its headers.
    AviClipSpec clipSpec;
    clipSpec.secondColours = {kRed};
    const std::vector<uint8_t> whole = MakeAviClip(clipSpec);
    const std::string cut = folder.Path("cut.avi");
    ASSERT_TRUE(WriteWholeFile(cut, std::string(whole.begin(), whole.begin() + 100)));
    // A path too long for the control's path buffers, naming a real clip:
    // refused, never cut down to some other name.
    std::string longName = folder.Path("");
    longName += std::string(300 - longName.size(), 'x') + ".avi";

    const std::string paths[] = {folder.Path("missing.avi"), garbage, empty, cut, longName, "",
                                 folder.Path("")};
    for (const std::string& path : paths) {
        std::vector<BYTE> frame(5, 1);
        EXPECT_TRUE(FAILED(GrabFrameThroughGraphWithin(platform, path.c_str(), 0.0, kWidth,
                                                       kHeight, 10000, frame)))
            << path;
        EXPECT_TRUE(frame.empty()) << path;
    }
    std::vector<BYTE> frame;
    EXPECT_TRUE(FAILED(GrabFrameThroughGraph(platform, nullptr, 0.0, kWidth, kHeight, frame)));
    // Nothing was left beside the files.
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"cut.avi", "empty.avi", "garbage.avi"}));
}

TEST_F(GrabberTest, UnusableResultSizesAreRefusedBeforeAnyGraphIsBuilt)
{
    AviClipSpec clipSpec;
    clipSpec.secondColours = {kRed};
    const std::string clip = MakeClip("red.avi", clipSpec);
    const LONG sizes[][2] = {{0, 200}, {320, 0}, {-320, 200}, {320, -200}, {100000, 200}};
    for (const auto& size : sizes) {
        std::vector<BYTE> frame;
        EXPECT_EQ(GrabFrameThroughGraph(platform, clip.c_str(), 0.0, size[0], size[1], frame),
                  E_INVALIDARG)
            << size[0] << "x" << size[1];
        EXPECT_TRUE(frame.empty());
    }
    EXPECT_TRUE(platform.created.empty());
}

// Each object the graph needs, missing in turn: the grab fails cleanly and
// asks for nothing after the missing one.
TEST_F(GrabberTest, MissingPlatformObjectsFailTheGrab)
{
    AviClipSpec clipSpec;
    clipSpec.secondColours = {kRed};
    const std::string clip = MakeClip("red.avi", clipSpec);
    const std::vector<std::string> order = {kFilterGraphClass, kSampleGrabberClass,
                                            kNullRendererClass};
    for (size_t i = 0; i < order.size(); ++i) {
        RecordingPlatform missing;
        missing.missing = {order[i]};
        std::vector<BYTE> frame;
        EXPECT_EQ(GrabFrameThroughGraph(missing, clip.c_str(), 0.0, kWidth, kHeight, frame),
                  REGDB_E_CLASSNOTREG)
            << order[i];
        EXPECT_TRUE(frame.empty());
        EXPECT_EQ(missing.created, std::vector<std::string>(order.begin(), order.begin() + i + 1));
    }
}

// Forwards object creation to COM, but its first creation does not return
// until released: a graph stuck inside a platform call, as Wine's parsers
// get on some damaged files.
class StuckOncePlatform : public IPlatformServices
{
public:
    StuckOncePlatform() : release(CreateEventW(NULL, TRUE, FALSE, NULL)) {}

    HRESULT CreateInstance(REFCLSID clsid, DWORD dwClsContext, REFIID iid,
                           void** ppv) override
    {
        if (InterlockedExchange(&stuck, 0) == 1)
            WaitForSingleObject(release, INFINITE);
        return CoCreateInstance(clsid, NULL, dwClsContext, iid, ppv);
    }
    int ShowMessageBox(const char*, const char*, UINT) override { return IDOK; }

    LONG stuck = 1;
    HANDLE release;
};

TEST_F(GrabberTest, AStuckGrabIsAbandonedAtTheTimeLimitAndLaterGrabsWork)
{
    AviClipSpec clipSpec;
    clipSpec.secondColours = {kGreen};
    const std::string clip = MakeClip("green.avi", clipSpec);
    // The abandoned thread may use the platform after this test: it lives on.
    static StuckOncePlatform stuckPlatform;

    std::vector<BYTE> frame(16, 0xAB);
    EXPECT_EQ(GrabFrameThroughGraphWithin(stuckPlatform, clip.c_str(), 0.0, kWidth, kHeight, 300,
                                          frame),
              VFW_E_TIMEOUT);
    EXPECT_TRUE(frame.empty());
    EXPECT_EQ(stuckPlatform.stuck, 0) << "the grab got as far as the platform";

    // Let the stuck grab go on; it finishes on its own and drops its frame,
    // while a new grab within the limit delivers.
    SetEvent(stuckPlatform.release);
    ASSERT_EQ(GrabFrameThroughGraphWithin(stuckPlatform, clip.c_str(), 0.0, kWidth, kHeight, 30000,
                                          frame),
              S_OK);
    ASSERT_EQ(frame.size(), sizeof(BITMAPINFOHEADER) + kStride * kHeight);
    EXPECT_EQ(PixelsNotOfColour(frame, kGreen), "");
}

// Within the limit, the threaded grab delivers what the direct one does,
// and refuses what it refuses.
TEST_F(GrabberTest, GrabWithinALimitMatchesTheDirectGrab)
{
    AviClipSpec clipSpec;
    clipSpec.secondColours = {kRed, kBlue};
    const std::string clip = MakeClip("red-blue.avi", clipSpec);
    std::vector<BYTE> direct;
    std::vector<BYTE> threaded;
    ASSERT_EQ(GrabFrameThroughGraph(platform, clip.c_str(), 1.5, kWidth, kHeight, direct), S_OK);
    ASSERT_EQ(GrabFrameThroughGraphWithin(platform, clip.c_str(), 1.5, kWidth, kHeight, 30000,
                                          threaded),
              S_OK);
    EXPECT_TRUE(direct == threaded);
    EXPECT_EQ(PixelsNotOfColour(threaded, kBlue), "");

    const std::string missing = folder.Path("missing.avi");
    EXPECT_TRUE(FAILED(GrabFrameThroughGraphWithin(platform, missing.c_str(), 0.0, kWidth,
                                                   kHeight, 30000, threaded)));
    EXPECT_TRUE(threaded.empty());
    EXPECT_EQ(GrabFrameThroughGraphWithin(platform, nullptr, 0.0, kWidth, kHeight, 30000,
                                          threaded),
              E_INVALIDARG);
}

} // namespace
