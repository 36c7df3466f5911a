// Playback with the shipped Lumarel.dll, real DirectShow and real windows:
// the picture on screen, the embedded video window, durations and seeking,
// and the message boxes a user sees. Clips are written at test time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AviClip.h"
#include "MessageBoxWatcher.h"
#include "RealLibrary.h"
#include "ScreenPixels.h"
#include "TestWindow.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const uint32_t kRed = 0xFF0000;
const uint32_t kGreen = 0x00FF00;
const uint32_t kBlue = 0x0000FF;
const uint32_t kWhite = 0xFFFFFF;
const int kTolerance = 40;

const char kMsgRender[] = "Can't render file...";
const char kMsgTimeFormat[] = "Can't set TIME format...";

// A folder of clips made for this run, removed at the end.
class ClipFolder
{
public:
    ClipFolder()
    {
        char temp[MAX_PATH] = "";
        GetTempPathA(MAX_PATH, temp);
        char name[64];
        std::snprintf(name, sizeof(name), "lumarel-playback-%lu\\",
                      static_cast<unsigned long>(GetCurrentProcessId()));
        m_dir = std::string(temp) + name;
        CreateDirectoryA(m_dir.c_str(), NULL);
    }
    ~ClipFolder()
    {
        for (const std::string& path : m_files)
            DeleteFileA(path.c_str());
        RemoveDirectoryA(m_dir.c_str());
    }

    // Writes a 320 x 240, 10 frames a second clip, one colour per second.
    std::string Make(const char* pszName, const std::vector<uint32_t>& colours)
    {
        AviClipSpec clipSpec;
        clipSpec.secondColours = colours;
        const std::string path = m_dir + pszName;
        if (!WriteAviClip(path, clipSpec))
            return "";
        m_files.push_back(path);
        return path;
    }

    // Writes a second of 8-bit mono PCM silence: a file with no video.
    std::string MakeSilentWave(const char* pszName)
    {
        const uint32_t rate = 8000;
        std::vector<uint8_t> bytes;
        auto put32 = [&bytes](uint32_t v) {
            for (int i = 0; i < 4; ++i)
                bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        };
        auto put16 = [&bytes](uint16_t v) {
            bytes.push_back(static_cast<uint8_t>(v));
            bytes.push_back(static_cast<uint8_t>(v >> 8));
        };
        auto tag = [&bytes](const char* t) { bytes.insert(bytes.end(), t, t + 4); };
        tag("RIFF");
        put32(36 + rate);
        tag("WAVE");
        tag("fmt ");
        put32(16);
        put16(1);    // PCM
        put16(1);    // mono
        put32(rate); // samples a second
        put32(rate); // bytes a second
        put16(1);    // block size
        put16(8);    // bits a sample
        tag("data");
        put32(rate);
        bytes.insert(bytes.end(), rate, 0x80);

        const std::string path = m_dir + pszName;
        FILE* out = std::fopen(path.c_str(), "wb");
        if (!out)
            return "";
        const bool ok = std::fwrite(bytes.data(), bytes.size(), 1, out) == 1;
        std::fclose(out);
        m_files.push_back(path);
        return ok ? path : "";
    }

    const std::string& Dir() const { return m_dir; }

private:
    std::string m_dir;
    std::vector<std::string> m_files;
};

class PlaybackWine : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_clips = new ClipFolder;
        s_green = s_clips->Make("green.avi", std::vector<uint32_t>(8, kGreen));
        s_seconds = s_clips->Make("seconds.avi", {kRed, kGreen, kBlue, kWhite});
        s_silence = s_clips->MakeSilentWave("silence.wav");
    }
    static void TearDownTestSuite()
    {
        delete s_clips;
        s_clips = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(lib.Loaded()) << "Lumarel.dll or an export is missing";
        ASSERT_FALSE(s_green.empty());
        ASSERT_FALSE(s_seconds.empty());
        ASSERT_FALSE(s_silence.empty());
    }

    // A control for window with path, played once; the first Play's boxes
    // are answered by the watcher.
    IPlayerControl* PlayInWindow(HWND hWnd, const std::string& path)
    {
        IPlayerControl* control = lib.NewPlayerControl();
        if (!control)
            return nullptr;
        control->SetWindow(hWnd);
        control->SetFileName(path.c_str());
        EXPECT_EQ(control->Play(), 1);
        return control;
    }

    // Waits until the client area shows colour at (x, y).
    static bool WaitForColour(HWND hWnd, int x, int y, uint32_t colour)
    {
        return PumpUntil(
            [&] { return ColourNear(ScreenPixels::OfClientArea(hWnd).At(x, y), colour, kTolerance); },
            5000);
    }

    static RECT Columns(int first, int last, int height)
    {
        RECT rc = {first, 0, last + 1, height};
        return rc;
    }
    static RECT Rows(int first, int last, int width)
    {
        RECT rc = {0, first, width, last + 1};
        return rc;
    }

    RealLibrary lib;
    MessageBoxWatcher boxes;

    static ClipFolder* s_clips;
    static std::string s_green;
    static std::string s_seconds;
    static std::string s_silence;
};

ClipFolder* PlaybackWine::s_clips = nullptr;
std::string PlaybackWine::s_green;
std::string PlaybackWine::s_seconds;
std::string PlaybackWine::s_silence;

// 800 x 400 for 320 x 240: the picture is 533 wide from column 134, from
// the first frame on (not stretched until the first resize). After resizing
// to 500 x 500 it is 375 high from row 63.
TEST_F(PlaybackWine, PictureIsFittedFromTheFirstFrameAndAfterResize)
{
    TestWindow window(800, 400);
    IPlayerControl* control = PlayInWindow(window.Handle(), s_green);
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(boxes.WaitForCount(1, 5000));
    ASSERT_TRUE(WaitForColour(window.Handle(), 400, 200, kGreen)) << "no picture";
    PumpMessages(300);

    const ScreenPixels first = ScreenPixels::OfClientArea(window.Handle());
    ASSERT_EQ(first.Width(), 800);
    ASSERT_EQ(first.Height(), 400);
    EXPECT_FALSE(first.AnyNear(Columns(0, 124, 400), kGreen, kTolerance));
    EXPECT_TRUE(first.AllNear(Columns(146, 655, 400), kGreen, kTolerance));
    EXPECT_FALSE(first.AnyNear(Columns(676, 799, 400), kGreen, kTolerance));
    if (HasFailure())
        first.SaveBmp(s_clips->Dir() + "..\\lumarel-fit-800x400.bmp");

    window.ResizeClient(500, 500);
    control->Resize();
    PumpMessages(500);
    const ScreenPixels resized = ScreenPixels::OfClientArea(window.Handle());
    ASSERT_EQ(resized.Width(), 500);
    ASSERT_EQ(resized.Height(), 500);
    EXPECT_TRUE(resized.AllNear(Rows(74, 427, 500), kGreen, kTolerance));
    EXPECT_FALSE(resized.AnyNear(Rows(438, 499, 500), kGreen, kTolerance));
    if (HasFailure())
        resized.SaveBmp(s_clips->Dir() + "..\\lumarel-fit-500x500.bmp");

    lib.DeletePlayerControl(control);
    EXPECT_THAT(boxes.Texts(), ElementsAre(kMsgTimeFormat));
}

TEST_F(PlaybackWine, VideoWindowIsAChildWhilePlayingAndGoneAfterDelete)
{
    TestWindow window(640, 480);
    IPlayerControl* control = PlayInWindow(window.Handle(), s_green);
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(WaitForColour(window.Handle(), 320, 240, kGreen));

    HWND hVideo = GetWindow(window.Handle(), GW_CHILD);
    ASSERT_NE(hVideo, nullptr);
    EXPECT_TRUE(IsWindowVisible(hVideo));
    EXPECT_EQ(GetParent(hVideo), window.Handle());
    EXPECT_TRUE(GetWindowLongA(hVideo, GWL_STYLE) & WS_CHILD);
    RECT rc;
    GetWindowRect(hVideo, &rc);
    EXPECT_EQ(rc.right - rc.left, 640);
    EXPECT_EQ(rc.bottom - rc.top, 480);

    lib.DeletePlayerControl(control);
    PumpMessages(100);
    EXPECT_FALSE(IsWindow(hVideo));
    EXPECT_EQ(window.CountVisibleChildren(), 0);
}

TEST_F(PlaybackWine, DurationSeekWhilePausedAndStopWithoutRewind)
{
    TestWindow window(320, 240);
    IPlayerControl* control = PlayInWindow(window.Handle(), s_seconds);
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(WaitForColour(window.Handle(), 160, 120, kRed)) << "first second is red";

    // The frame time format is refused here, and the duration in seconds
    // is still read.
    EXPECT_NEAR(control->GetDuration(), 4.0, 0.05);

    EXPECT_EQ(control->Pause(), 1);
    EXPECT_EQ(control->SetPosition(control->GetDuration() / 2), 1);
    EXPECT_NEAR(control->GetPosition(), 2.0, 0.05);
    EXPECT_TRUE(WaitForColour(window.Handle(), 160, 120, kBlue)) << "third second is blue";
    PumpMessages(300);
    EXPECT_NEAR(control->GetPosition(), 2.0, 0.05) << "paused: the position stays";

    EXPECT_EQ(control->Play(), 1);
    PumpMessages(500);
    EXPECT_EQ(control->Stop(), 1);
    const double stoppedAt = control->GetPosition();
    EXPECT_GT(stoppedAt, 2.2) << "playing went on from the middle";
    PumpMessages(300);
    EXPECT_NEAR(control->GetPosition(), stoppedAt, 0.05) << "Stop does not rewind";

    lib.DeletePlayerControl(control);
    EXPECT_THAT(boxes.Texts(), ElementsAre(kMsgTimeFormat)) << "one open, one set of boxes";
}

TEST_F(PlaybackWine, MessageBoxesOfACompleteOpen)
{
    TestWindow window(320, 240);
    IPlayerControl* control = PlayInWindow(window.Handle(), s_green);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->Play(), 1);
    PumpMessages(300);
    lib.DeletePlayerControl(control);
    PumpMessages(100);

    const std::vector<SeenMessageBox> seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, kMsgTimeFormat);
    EXPECT_EQ(seen[0].caption, "Error");
    EXPECT_FALSE(seen[0].hasIcon);
}

// Paths that cannot be played: no crash, Play returns 1, the render failure
// is reported, and every later operation is safe.
TEST_F(PlaybackWine, PathsThatCannotBePlayed)
{
    struct Case
    {
        const char* name;
        std::string path;
    } cases[] = {
        {"empty path", ""},
        {"300 characters", std::string("C:\\") + std::string(297, 'x')},
        {"missing file", s_clips->Dir() + "no-such-clip.avi"},
    };
    for (const Case& c : cases) {
        boxes.Clear();
        TestWindow window(320, 240);
        IPlayerControl* control = PlayInWindow(window.Handle(), c.path);
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(control->Play(), 1) << c.name;
        EXPECT_EQ(control->Pause(), 1);
        EXPECT_EQ(control->SetPosition(1.0), 1);
        control->GetPosition();
        EXPECT_EQ(control->Stop(), 1);
        control->Resize();
        lib.DeletePlayerControl(control);
        PumpMessages(100);
        const std::vector<std::string> texts = boxes.Texts();
        ASSERT_FALSE(texts.empty()) << c.name;
        EXPECT_EQ(texts[0], kMsgRender) << c.name;
        EXPECT_THAT(texts, ElementsAre(kMsgRender, "Can't calc file duration...")) << c.name;
    }
}

// Without a window the video window gets no owner: no picture is fitted,
// but the clip still opens and plays, and the control dies cleanly.
TEST_F(PlaybackWine, PlayWithoutAWindow)
{
    IPlayerControl* control = lib.NewPlayerControl();
    ASSERT_NE(control, nullptr);
    control->SetFileName(s_green.c_str());
    EXPECT_EQ(control->Play(), 1);
    PumpMessages(300);
    EXPECT_NEAR(control->GetDuration(), 8.0, 0.05);
    EXPECT_GT(control->GetPosition(), 0.0) << "the graph runs";
    control->Resize();
    EXPECT_EQ(control->Stop(), 1);
    lib.DeletePlayerControl(control);
    EXPECT_THAT(boxes.Texts(), ElementsAre(kMsgTimeFormat));
}

// A file without video: the renderer the control added stays unconnected
// and is taken out again, so the video window calls that follow fail
// harmlessly (an unconnected renderer would crash them). The sound is
// rendered (into ALSA's null device on the virtual display): the clip has
// its duration and plays, without a video window, and only the frame time
// format is refused, as for every file here.
TEST_F(PlaybackWine, FileWithoutVideo)
{
    TestWindow window(320, 240);
    IPlayerControl* control = PlayInWindow(window.Handle(), s_silence);
    ASSERT_NE(control, nullptr);
    PumpMessages(300);
    EXPECT_NEAR(control->GetDuration(), 1.0, 0.01);
    EXPECT_GT(control->GetPosition(), 0.1) << "the sound plays";
    control->Resize();
    EXPECT_EQ(control->Pause(), 1);
    EXPECT_EQ(control->SetPosition(0.5), 1);
    EXPECT_EQ(control->Stop(), 1);
    EXPECT_EQ(window.CountVisibleChildren(), 0);
    lib.DeletePlayerControl(control);
    EXPECT_THAT(boxes.Texts(), ElementsAre(kMsgTimeFormat));
}

} // namespace
