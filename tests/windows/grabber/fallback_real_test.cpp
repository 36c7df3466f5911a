// ShowFrame in the shipped Lumarel.dll under Wine, where the media detector
// is created but grabs nothing: the frame comes through a graph, is painted
// over the client area and left as a sidecar that later controls paint
// from. Pixels are read back from a real window.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AviClip.h"
#include "CanvasTest.h"
#include "ChildProcessCheck.h"
#include "MessageBoxWatcher.h"
#include "RealLibrary.h"
#include "SidecarBitmap.h"
#include "SidecarPixels.h"

namespace {

const uint32_t kMarker = 0x404040; // the window before ShowFrame
const uint32_t kRed = 0xE01010;
const uint32_t kGreen = 0x10C020;
const uint32_t kBlue = 0x2030D0;
const uint32_t kYellow = 0xF0E040;
// How far a grabbed pixel may be from the clip's colour, per channel.
const int kTolerance = 8;

// What the sidecar of a 320 x 200 grab holds: 54 bytes of headers, then
// 200 rows of 960 bytes.
const size_t kSidecarSize = 54 + 960 * 200;

class FallbackReal : public CanvasTest<240, 180>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(lib.Loaded()) << "Lumarel.dll or an export is missing";
        window.Fill(kMarker);
    }

    // A new control's ShowFrame(streamTime) on file, its result.
    int ShowFrameOnce(const std::string& file, double streamTime)
    {
        IPlayerControl* control = lib.NewPlayerControl();
        control->SetWindow(window.Handle());
        control->SetFileName(file.c_str());
        const int result = control->ShowFrame(streamTime);
        lib.DeletePlayerControl(control);
        return result;
    }

    // ShowFrame twice on the first 200 bytes of a clip: nothing painted,
    // nothing left beside it, no box, and back within the time limit.
    void CheckCutFile()
    {
        AviClipSpec clipSpec;
        clipSpec.secondColours = {kRed};
        const std::vector<uint8_t> clip = MakeAviClip(clipSpec);
        const std::string media = dir.Path("cut.avi");
        ASSERT_TRUE(WriteBytes(media, std::vector<uint8_t>(clip.begin(), clip.begin() + 200)));
        const DWORD start = GetTickCount();
        IPlayerControl* control = lib.NewPlayerControl();
        control->SetWindow(window.Handle());
        control->SetFileName(media.c_str());
        EXPECT_EQ(control->ShowFrame(0.5), 0);
        EXPECT_EQ(control->ShowFrame(0.5), 0);
        lib.DeletePlayerControl(control);
        EXPECT_LT(GetTickCount() - start, 30000u) << "the grab is given up after 10 s";
        EXPECT_TRUE(ShowsEverywhere(kMarker));
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"cut.avi"});
        EXPECT_TRUE(watcher.Seen().empty()) << watcher.Seen()[0].text;
    }

    RealLibrary lib;
    MessageBoxWatcher watcher;
    TempDir dir;
};

TEST_F(FallbackReal, FirstCallGrabsPaintsAndLeavesASidecarThatLaterControlsPaintFrom)
{
    const std::string media = dir.Path("green.avi");
    const std::string sidecar = media + ".bmp";
    AviClipSpec clipSpec;
    clipSpec.secondColours = {kGreen, kGreen};
    ASSERT_TRUE(WriteAviClip(media, clipSpec));

    EXPECT_EQ(ShowFrameOnce(media, 1.0), 0);
    EXPECT_TRUE(ShowsEverywhere(kGreen));
    EXPECT_TRUE(watcher.Seen().empty()) << watcher.Seen()[0].text;

    // The sidecar: a whole 320 x 200 bitmap, its size field its length, that
    // the still frame's reader accepts; nothing else left in the folder.
    const std::vector<uint8_t> file = ReadBytes(sidecar);
    ASSERT_EQ(file.size(), kSidecarSize);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(file[2] | file[3] << 8 | file[4] << 16 | static_cast<uint32_t>(file[5]) << 24,
              file.size());
    SidecarPicture picture;
    ASSERT_EQ(ReadSidecarBitmap(file.data(), file.size(), file.size(), &picture),
              SidecarVerdict::Accepted);
    EXPECT_EQ(picture.width, 320);
    EXPECT_EQ(picture.height, 200);
    EXPECT_EQ(picture.bitCount, 24);
    EXPECT_TRUE(SidecarIsAll(file, picture, kGreen, kTolerance));
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"green.avi", "green.avi.bmp"}));

    // With the media gone only the sidecar can give the picture, at any time.
    ASSERT_TRUE(DeleteFileA(media.c_str()));
    window.Fill(kMarker);
    EXPECT_EQ(ShowFrameOnce(media, 7.0), 0);
    EXPECT_TRUE(ShowsEverywhere(kGreen));
    EXPECT_EQ(ReadBytes(sidecar), file) << "a read never rewrites the sidecar";
}

// A clip of one colour a second: the colour painted, and kept in the
// sidecar, says which moment of the clip was grabbed.
TEST_F(FallbackReal, TheFrameComesFromTheTimeAskedFor)
{
    AviClipSpec clipSpec;
    clipSpec.secondColours = {kRed, kGreen, kBlue, kYellow};
    const struct
    {
        double time;
        uint32_t colour;
    } cases[] = {{2.5, kBlue}, {0.2, kRed}, {1.0, kGreen}, {3.9, kYellow}};
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE("time " + std::to_string(c.time));
        // A clip of its own for each time: a sidecar answers every later time.
        const std::string media = dir.Path("seconds-" + std::to_string(++index) + ".avi");
        ASSERT_TRUE(WriteAviClip(media, clipSpec));
        window.Fill(kMarker);

        EXPECT_EQ(ShowFrameOnce(media, c.time), 0);
        EXPECT_TRUE(ShowsEverywhere(c.colour));
        const std::vector<uint8_t> file = ReadBytes(media + ".bmp");
        SidecarPicture picture;
        ASSERT_EQ(ReadSidecarBitmap(file.data(), file.size(), file.size(), &picture),
                  SidecarVerdict::Accepted);
        EXPECT_TRUE(SidecarIsAll(file, picture, c.colour, kTolerance));
    }
}

// Files the graph cannot read either: nothing painted, no sidecar, no
// temporary file; the attempt counts as made, as when the detector fails.
TEST_F(FallbackReal, UnreadableFilesPaintNothingAndLeaveNoSidecar)
{
    const struct
    {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"garbage.avi", std::vector<uint8_t>(8192, 0x5A)},
        {"empty.avi", {}},
    };
    std::vector<std::string> names;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string media = dir.Path(c.name);
        ASSERT_TRUE(WriteBytes(media, c.bytes));
        names.push_back(c.name);
        window.Fill(kMarker);

        IPlayerControl* control = lib.NewPlayerControl();
        control->SetWindow(window.Handle());
        control->SetFileName(media.c_str());
        EXPECT_EQ(control->ShowFrame(0.5), 0);
        EXPECT_TRUE(ShowsEverywhere(kMarker));
        EXPECT_EQ(control->ShowFrame(0.5), 0);
        EXPECT_TRUE(ShowsEverywhere(kMarker));
        lib.DeletePlayerControl(control);
        EXPECT_FALSE(FileExists(media + ".bmp"));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(dir.Names(), names);
    EXPECT_TRUE(watcher.Seen().empty()) << watcher.Seen()[0].text;
}

// The first 200 bytes of a clip. Wine's GStreamer parser, tried after its
// AVI splitter refuses the file, sometimes never returns from connecting to
// it; the control gives the grab up at its time limit, paints nothing and
// leaves nothing. The check runs in a process of its own (see
// ChildProcessCheck.h).
TEST_F(FallbackReal, ACutFileIsGivenUpWithinTheTimeLimit)
{
    EXPECT_IN_CHILD_PROCESS(CheckCutFile());
}

} // namespace
