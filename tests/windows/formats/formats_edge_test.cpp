// Real formats at the edges, with the shipped Lumarel.dll under Wine: the
// still frame grabbed from coded clips (and from files without a picture),
// and files with a known extension whose content is broken.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ChildProcessCheck.h"
#include "FileBytes.h"
#include "FormatClips.h"
#include "MessageBoxWatcher.h"
#include "RealLibrary.h"
#include "ScreenPixels.h"
#include "SidecarBitmap.h"
#include "SidecarPixels.h"
#include "TempDir.h"
#include "TestWindow.h"

namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

const int kWidth = 320;
const int kHeight = 240;
// What the window shows before the control is asked to paint.
const uint32_t kMarker = 0x808080;

// One window for every test here: Wine takes about two seconds to destroy a
// top-level window on a display without a window manager.
class EdgeWindow : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_window = new TestWindow(kWidth, kHeight); }
    static void TearDownTestSuite()
    {
        delete s_window;
        s_window = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(lib.Loaded()) << "Lumarel.dll or an export is missing";
        PumpMessages(50);
        FillWindow(kMarker);
    }

    HWND Window() const { return s_window->Handle(); }

    // Paints the client area over with one colour, as the control would.
    void FillWindow(uint32_t rgb)
    {
        HDC hdc = GetDC(Window());
        HBRUSH brush = CreateSolidBrush(RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
        RECT rc = {0, 0, kWidth, kHeight};
        FillRect(hdc, &rc, brush);
        DeleteObject(brush);
        GdiFlush();
        ReleaseDC(Window(), hdc);
    }

    // Whether the whole client area shows rgb on screen (where Wine puts a
    // window's drawing a little later); on failure, how much of it not.
    ::testing::AssertionResult WindowIsAll(uint32_t rgb, int tolerance) const
    {
        const RECT all = {0, 0, kWidth, kHeight};
        ScreenPixels shot;
        int count = 0;
        if (PumpUntil(
                [&] {
                    shot = ScreenPixels::OfClientArea(Window());
                    count = shot.CountNear(all, rgb, tolerance);
                    return count == kWidth * kHeight;
                },
                2000))
            return ::testing::AssertionSuccess();
        char text[96];
        std::snprintf(text, sizeof(text), "%d of %d pixels near %06X; corner %06X, centre %06X",
                      count, kWidth * kHeight, rgb, shot.At(0, 0), shot.At(kWidth / 2, kHeight / 2));
        return ::testing::AssertionFailure() << text;
    }

    // A new control's ShowFrame(streamTime) on path, its result.
    int ShowFrameOnce(const std::string& path, double streamTime)
    {
        IPlayerControl* control = lib.NewPlayerControl();
        control->SetWindow(Window());
        control->SetFileName(path.c_str());
        const int result = control->ShowFrame(streamTime);
        lib.DeletePlayerControl(control);
        return result;
    }

    RealLibrary lib;
    MessageBoxWatcher boxes;
    TempDir dir;
    static TestWindow* s_window;
};

TestWindow* EdgeWindow::s_window = nullptr;

// ShowFrame on coded clips: the frame comes through the graph grab (Wine's
// media detector grabs nothing), painted over the client area and kept as
// the sidecar. Files without a picture give neither.
struct StillFrameRow
{
    const char* clip;
    double streamTime;
    bool hasPicture;
    uint32_t colour; // of the second at streamTime
};

void PrintTo(const StillFrameRow& row, std::ostream* os)
{
    *os << row.clip << " at " << row.streamTime;
}

class StillFrameFormats : public EdgeWindow, public ::testing::WithParamInterface<StillFrameRow>
{
};

TEST_P(StillFrameFormats, PaintsTheSecondAskedForAndKeepsItOrNothing)
{
    const StillFrameRow& row = GetParam();
    const std::string media = dir.Path(row.clip);
    ASSERT_TRUE(PlaceClip(row.clip, media)) << row.clip << " is missing: make-clips.sh makes it";

    EXPECT_EQ(ShowFrameOnce(media, row.streamTime), 0);
    EXPECT_THAT(boxes.Texts(), IsEmpty());

    if (!row.hasPicture) {
        PumpMessages(300); // time for a drawing to reach the screen
        EXPECT_TRUE(WindowIsAll(kMarker, 0)) << "nothing painted";
        EXPECT_EQ(dir.Names(), std::vector<std::string>{row.clip}) << "no sidecar";
        return;
    }
    EXPECT_TRUE(WindowIsAll(row.colour, kClipTolerance));

    // The sidecar: a whole 320 x 200 bitmap that the still frame's reader
    // accepts, all of the second asked for; nothing else left beside it.
    const std::vector<uint8_t> file = ReadBytes(media + ".bmp");
    SidecarPicture picture;
    ASSERT_EQ(ReadSidecarBitmap(file.data(), file.size(), file.size(), &picture),
              SidecarVerdict::Accepted);
    EXPECT_EQ(picture.width, 320);
    EXPECT_EQ(picture.height, 200);
    EXPECT_EQ(picture.bitCount, 24);
    EXPECT_TRUE(SidecarIsAll(file, picture, row.colour, kClipTolerance));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{row.clip, std::string(row.clip) + ".bmp"}));

    // A later control paints from it.
    FillWindow(kMarker);
    EXPECT_EQ(ShowFrameOnce(media, 0.0), 0);
    EXPECT_TRUE(WindowIsAll(row.colour, kClipTolerance));
}

const StillFrameRow kStillFrameRows[] = {
    {"h264-aac.mp4", 2.5, true, kClipBlue},
    {"h264-vorbis.mkv", 1.5, true, kClipGreen},
    {"tone.mp3", 1.0, false, 0},
    {"tone.wav", 1.0, false, 0},
};

INSTANTIATE_TEST_SUITE_P(Table, StillFrameFormats, ::testing::ValuesIn(kStillFrameRows),
                         [](const ::testing::TestParamInfo<StillFrameRow>& info) {
                             return TestNameOfFile(info.param.clip);
                         });

// Files named like media whose content is not: Play reports what the
// control reports for any file it cannot render, ShowFrame paints nothing,
// and nothing is written beside the file.
enum class Broken
{
    TruncatedMp4,     // the first half of an MP4 whose index is at its end
    Mp4HeaderGarbage, // an MP4's first box, then bytes of no format
    ZeroBytes,
    Folder,
};

struct BrokenRow
{
    const char* name;
    Broken kind;
    std::vector<std::string> playBoxes;
};

void PrintTo(const BrokenRow& row, std::ostream* os)
{
    *os << row.name;
}

bool MakeBroken(Broken kind, const std::string& path)
{
    const std::vector<uint8_t> mp4 = ReadBytes(MadeClipPath("h264-aac.mp4"));
    switch (kind) {
    case Broken::TruncatedMp4:
        return mp4.size() > 1024
               && WriteBytes(path, std::vector<uint8_t>(mp4.begin(), mp4.begin() + mp4.size() / 2));
    case Broken::Mp4HeaderGarbage: {
        if (mp4.size() < 32)
            return false;
        std::vector<uint8_t> bytes(mp4.begin(), mp4.begin() + 32);
        uint32_t state = 12345;
        for (int i = 0; i < 65536; ++i) {
            state = state * 1103515245u + 12345u;
            bytes.push_back(static_cast<uint8_t>(state >> 16));
        }
        return WriteBytes(path, bytes);
    }
    case Broken::ZeroBytes:
        return WriteBytes(path, {});
    case Broken::Folder:
        return CreateDirectoryA(path.c_str(), NULL) != FALSE;
    }
    return false;
}

class BrokenFiles : public EdgeWindow, public ::testing::WithParamInterface<BrokenRow>
{
protected:
    void CheckBrokenFile();
};

// In a process of its own: on some of these files the still frame's graph
// never returns under Wine, and the control gives it up (see
// ChildProcessCheck.h).
TEST_P(BrokenFiles, ReportedLikeAnyFileThatCannotBeRenderedAndNothingWritten)
{
    EXPECT_IN_CHILD_PROCESS(CheckBrokenFile());
}

void BrokenFiles::CheckBrokenFile()
{
    const BrokenRow& row = GetParam();
    const std::string path = dir.Path(row.name);
    ASSERT_TRUE(MakeBroken(row.kind, path));
    const std::vector<std::string> before = dir.Names();

    IPlayerControl* control = lib.NewPlayerControl();
    ASSERT_NE(control, nullptr);
    control->SetWindow(Window());
    control->SetFileName(path.c_str());
    EXPECT_EQ(control->Play(), 1);
    PumpMessages(300);
    EXPECT_EQ(control->GetDuration(), 0.0);
    EXPECT_EQ(s_window->CountVisibleChildren(), 0) << "no video window";
    EXPECT_EQ(control->Pause(), 1);
    EXPECT_EQ(control->SetPosition(1.0), 1);
    control->Resize();
    EXPECT_EQ(control->Stop(), 1);
    lib.DeletePlayerControl(control);
    PumpMessages(100);
    EXPECT_THAT(boxes.Texts(), ElementsAreArray(row.playBoxes));

    boxes.Clear();
    FillWindow(kMarker);
    EXPECT_EQ(ShowFrameOnce(path, 1.0), 0);
    PumpMessages(300); // time for a drawing to reach the screen
    EXPECT_TRUE(WindowIsAll(kMarker, 0)) << "nothing painted";
    EXPECT_THAT(boxes.Texts(), IsEmpty());
    EXPECT_EQ(dir.Names(), before) << "nothing written beside the file";
}

const std::vector<std::string> kNotRendered = {"Can't render file...",
                                               "Can't calc file duration..."};

// Not in the table: a truncated MP4 (Broken::TruncatedMp4). Under Wine 8 it
// is reported like the others when tried on its own, but after other graphs
// of the process (the still frames above) Play on it can wait for ever
// inside the platform's MP4 parsing, 32-bit and 64-bit alike; a test that
// may hang the run is not kept in it. See the README.
const BrokenRow kBrokenRows[] = {
    {"garbage.mp4", Broken::Mp4HeaderGarbage, kNotRendered},
    {"empty.mp4", Broken::ZeroBytes, kNotRendered},
    {"folder.mp4", Broken::Folder, kNotRendered},
};

INSTANTIATE_TEST_SUITE_P(Table, BrokenFiles, ::testing::ValuesIn(kBrokenRows),
                         [](const ::testing::TestParamInfo<BrokenRow>& info) {
                             return TestNameOfFile(info.param.name);
                         });

} // namespace
