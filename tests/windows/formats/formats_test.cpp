// Which media formats the shipped Lumarel.dll plays on this platform, one
// row per format: a row that plays shows the clip's colours in the fitted
// rectangle, reads the duration, runs and seeks; a sound-only row has a
// duration and a running clock and no video window; a row that fails shows
// exactly the control's messages and no video window. Prints, for each row
// that plays, how long the open took and when the first frame was on screen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FormatClips.h"
#include "MessageBoxWatcher.h"
#include "RealLibrary.h"
#include "ScreenPixels.h"
#include "TempDir.h"
#include "TestWindow.h"

namespace {

using ::testing::ElementsAreArray;

const char kMsgRender[] = "Can't render file...";
const char kMsgDuration[] = "Can't calc file duration...";
const char kMsgTimeFormat[] = "Can't set TIME format...";

// The play window: 480 x 360 for a 16:9 picture gives 480 x 270 from row 45
// (rows 45 to 314), with the window's black above and below.
const int kWidth = 480;
const int kHeight = 360;
const RECT kInsidePicture = {4, 49, 476, 311};
const RECT kAbove = {0, 0, kWidth, 41};
const RECT kBelow = {0, 319, kWidth, kHeight};

enum class Outcome
{
    Plays,          // picture, duration, running, seeking
    PlaysNoSeek,    // as Plays, but a seek is not carried out: the picture
                    // stays on the first second and the clip runs out
    PlaysSound,     // duration and running, no video window
    Fails,          // exactly the given messages, no video window
};

struct FormatRow
{
    const char* clip;  // a name PlaceClip knows
    Outcome outcome;
    double frame;      // one frame of the clip, in seconds
    std::vector<std::string> boxes;
};

void PrintTo(const FormatRow& row, std::ostream* os)
{
    *os << row.clip;
}

// The coded clips have 25 frames a second, the uncompressed one 10.
const double kFrame = 1.0 / 25;
const std::vector<std::string> kOpened = {kMsgTimeFormat};

// The formats as Wine 8 plays them with the GStreamer plugins that
// tools/setup.sh installs (base, good, bad, ugly, libav). Every open shows
// the time format box: Wine's graph has no frame time format.
const FormatRow kRows[] = {
    {"raw.avi", Outcome::Plays, 0.1, kOpened},
    {"mjpeg-pcm.avi", Outcome::Plays, kFrame, kOpened},
    {"vp8-vorbis.webm", Outcome::Plays, kFrame, kOpened},
    {"h264-aac.mp4", Outcome::Plays, kFrame, kOpened},
    {"h264-vorbis.mkv", Outcome::Plays, kFrame, kOpened},
    {"hevc-aac.mp4", Outcome::Plays, kFrame, kOpened},
    {"mpeg4-mp3.avi", Outcome::Plays, kFrame, kOpened},
    {"wmv2-wma.wmv", Outcome::Plays, kFrame, kOpened},
    // Wine 8's MPEG-I splitter plays the stream but does not seek in it.
    {"mpeg1-mp2.mpg", Outcome::PlaysNoSeek, kFrame, kOpened},
    // No video: the frame time format is refused as under every file.
    {"tone.wav", Outcome::PlaysSound, kFrame, kOpened},
    {"tone.mp3", Outcome::PlaysSound, kFrame, kOpened},
    {"tone.m4a", Outcome::PlaysSound, kFrame, kOpened},
    {"tone.ogg", Outcome::PlaysSound, kFrame, kOpened},
};

class Formats : public ::testing::TestWithParam<FormatRow>
{
protected:
    // One window for the whole table: Wine takes about two seconds to
    // destroy a top-level window on a display without a window manager.
    static void SetUpTestSuite() { s_window = new TestWindow(kWidth, kHeight); }
    static void TearDownTestSuite()
    {
        delete s_window;
        s_window = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(lib.Loaded()) << "Lumarel.dll or an export is missing";
        path = dir.Path(GetParam().clip);
        ASSERT_TRUE(PlaceClip(GetParam().clip, path))
            << GetParam().clip << " is missing: make-clips.sh makes it";
        // The previous row's picture is gone before this one starts.
        InvalidateRect(s_window->Handle(), NULL, TRUE);
        PumpMessages(50);
    }

    HWND Window() const { return s_window->Handle(); }

    ScreenPixels Screen() const { return ScreenPixels::OfClientArea(Window()); }

    bool WaitForColour(uint32_t colour, DWORD dwTimeoutMs)
    {
        return PumpUntil(
            [&] {
                return ColourNear(Screen().At(kWidth / 2, kHeight / 2), colour, kClipTolerance);
            },
            dwTimeoutMs);
    }

    // Whether the picture shows colour inside the fitted rectangle and the
    // window's own black above and below it.
    ::testing::AssertionResult ShowsFitted(uint32_t colour)
    {
        const ScreenPixels shot = Screen();
        if (shot.AllNear(kInsidePicture, colour, kClipTolerance)
            && !shot.AnyNear(kAbove, colour, kClipTolerance)
            && !shot.AnyNear(kBelow, colour, kClipTolerance))
            return ::testing::AssertionSuccess();
        shot.SaveBmp(dir.Path("..\\lumarel-format-") + GetParam().clip + ".bmp");
        char text[96];
        std::snprintf(text, sizeof(text), "centre %06X, top %06X, bottom %06X",
                      shot.At(kWidth / 2, kHeight / 2), shot.At(kWidth / 2, 20),
                      shot.At(kWidth / 2, kHeight - 20));
        return ::testing::AssertionFailure() << "not fitted: " << text;
    }

    void ExpectRunning(IPlayerControl* control)
    {
        const double before = control->GetPosition();
        PumpMessages(500);
        EXPECT_GT(control->GetPosition(), before + 0.2) << "the position advances";
    }

    RealLibrary lib;
    MessageBoxWatcher boxes;
    TempDir dir;
    std::string path;
    static TestWindow* s_window;
};

TestWindow* Formats::s_window = nullptr;

TEST_P(Formats, PlaysOrFailsAsMeasured)
{
    const FormatRow& row = GetParam();
    IPlayerControl* control = lib.NewPlayerControl();
    ASSERT_NE(control, nullptr);
    control->SetWindow(Window());
    control->SetFileName(path.c_str());

    const DWORD started = GetTickCount();
    EXPECT_EQ(control->Play(), 1);
    const DWORD running = GetTickCount();

    const double duration = ClipDuration(row.clip);
    ASSERT_GT(duration, 0.0) << "no measured duration beside the clip";
    switch (row.outcome) {
    case Outcome::Plays:
    case Outcome::PlaysNoSeek: {
        ASSERT_TRUE(WaitForColour(kClipRed, 10000)) << "no picture of the first second";
        const DWORD firstFrame = GetTickCount();
        EXPECT_TRUE(ShowsFitted(kClipRed));
        std::printf("[ format   ] %-16s open %4lu ms (message boxes answered), "
                    "first frame %4lu ms after\n",
                    row.clip, static_cast<unsigned long>(running - started),
                    static_cast<unsigned long>(firstFrame - running));
        EXPECT_NEAR(control->GetDuration(), duration, row.frame);
        ExpectRunning(control);

        // Into the third second while running, then paused there. Wine 8's
        // splitter can never be stopped again once a file with sound and
        // video was seeked while running or paused; the control seeks on a
        // stopped graph and puts it back, so the Stop and the destruction
        // below return.
        EXPECT_EQ(control->SetPosition(2.5), 1);
        EXPECT_EQ(control->Pause(), 1);
        EXPECT_NEAR(control->GetPosition(), 2.5, row.frame) << "paused where asked";
        if (row.outcome == Outcome::Plays) {
            EXPECT_TRUE(WaitForColour(kClipBlue, 5000)) << "the third second is blue";
            PumpMessages(400);
            EXPECT_TRUE(ShowsFitted(kClipBlue));
        } else {
            PumpMessages(1000);
            EXPECT_TRUE(ShowsFitted(kClipRed)) << "the seek was not carried out";
            EXPECT_EQ(control->Play(), 1);
            EXPECT_TRUE(PumpUntil([&] { return control->GetPosition() >= duration - row.frame; },
                                  3000))
                << "the clip runs out";
            EXPECT_TRUE(ShowsFitted(kClipRed)) << "without showing the later seconds";
        }
        break;
    }
    case Outcome::PlaysSound:
        PumpMessages(300);
        EXPECT_NEAR(control->GetDuration(), duration, row.frame);
        ExpectRunning(control);
        EXPECT_EQ(s_window->CountVisibleChildren(), 0) << "no video window";
        std::printf("[ format   ] %-16s open %4lu ms (message boxes answered), sound only\n",
                    row.clip, static_cast<unsigned long>(running - started));
        break;
    case Outcome::Fails:
        PumpMessages(300);
        EXPECT_EQ(control->GetDuration(), 0.0);
        EXPECT_EQ(s_window->CountVisibleChildren(), 0) << "no video window";
        EXPECT_EQ(control->Pause(), 1);
        EXPECT_EQ(control->SetPosition(1.0), 1);
        control->Resize();
        break;
    }

    EXPECT_EQ(control->Stop(), 1);
    lib.DeletePlayerControl(control);
    PumpMessages(100);
    EXPECT_THAT(boxes.Texts(), ElementsAreArray(row.boxes));
    EXPECT_EQ(s_window->CountVisibleChildren(), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, Formats, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<FormatRow>& info) {
                             return TestNameOfFile(info.param.clip);
                         });

} // namespace
