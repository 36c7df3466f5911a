// ShowFrame's grab branch against a fake media detector (through the
// platform seam), painting into a real window: the calls and their
// arguments, the failure results, and which picture ends up on screen.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CPlayerControl.h"
#include "CanvasTest.h"
#include "CraftedBitmap.h"
#include "FakeCallLog.h"
#include "FakeMediaDet.h"
#include "FakePlatform.h"

namespace {

const uint32_t kMarker = 0x404040;   // the window before ShowFrame
const uint32_t kGrabbed = 0x20C040;  // the frame the detector hands over
const uint32_t kWritten = 0xC02080;  // the sidecar the detector writes

using Entries = std::vector<std::string>;

class StillFrameFake : public CanvasTest<160, 120>
{
protected:
    void SetUp() override
    {
        platform.Register(CLSID_MediaDet, &det);
        det.frame = MakeFrameBuffer(SolidBitmap(320, 200, kGrabbed));
        det.sidecarToWrite = MakeBitmapFile(SolidBitmap(320, 200, kWritten));
        window.Fill(kMarker);
    }

    std::unique_ptr<CPlayerControl> NewControl(const std::string& file)
    {
        std::unique_ptr<CPlayerControl> control(new CPlayerControl(platform));
        control->SetWindow(window.Handle());
        control->SetFileName(file.c_str());
        return control;
    }

    FakeCallLog log;
    FakePlatform platform{log};
    FakeMediaDet det{log};
    TempDir dir;
    const std::string media = dir.Path("clip.avi");
};

TEST_F(StillFrameFake, GrabsAt320x200WritesTheSidecarAndPaintsTheFrame)
{
    auto control = NewControl(media);
    EXPECT_EQ(control->ShowFrame(2.5), 0);

    EXPECT_EQ(log.Entries(), (Entries{
        "CreateInstance(CLSID_MediaDet,7)",
        "IMediaDet::put_Filename(" + media + ")",
        "IMediaDet::put_CurrentStream(0)",
        "IMediaDet::WriteBitmapBits(2.5,320,200," + media + ".bmp)",
        "IMediaDet::GetBitmapBits(2.5,size,null,320,200)",
        "IMediaDet::GetBitmapBits(2.5,null,buffer,320,200)",
    })) << log.Dump();
    EXPECT_TRUE(det.bstrLengthsMatch) << "paths must reach the detector as BSTRs";
    EXPECT_EQ(det.RefCount(), 0) << "the detector is released after the grab";
    EXPECT_TRUE(platform.Boxes().empty());
    EXPECT_TRUE(ShowsEverywhere(kGrabbed));
    EXPECT_EQ(ReadBytes(media + ".bmp"), det.sidecarToWrite);
}

TEST_F(StillFrameFake, SecondControlPaintsFromTheSidecarWithoutADetector)
{
    EXPECT_EQ(NewControl(media)->ShowFrame(1.0), 0);
    ASSERT_TRUE(FileExists(media + ".bmp"));
    log.Clear();
    window.Fill(kMarker);

    auto second = NewControl(media);
    EXPECT_EQ(second->ShowFrame(9.0), 0);
    EXPECT_FALSE(log.Contains("CreateInstance")) << log.Dump();
    EXPECT_TRUE(log.Entries().empty()) << log.Dump();
    EXPECT_TRUE(ShowsEverywhere(kWritten)) << "the sidecar's picture, not a new grab";
}

TEST_F(StillFrameFake, LaterCallsRepaintTheSamePictureWhateverTheTime)
{
    auto control = NewControl(media);
    EXPECT_EQ(control->ShowFrame(1.0), 0);
    EXPECT_TRUE(ShowsEverywhere(kGrabbed));
    const size_t calls = log.Entries().size();

    window.Fill(kMarker);
    EXPECT_EQ(control->ShowFrame(7.0), 0);
    EXPECT_EQ(log.Entries().size(), calls) << "no second grab:\n" << log.Dump();
    EXPECT_TRUE(ShowsEverywhere(kGrabbed));
}

TEST_F(StillFrameFake, UnallocatableFrameReturnsOutOfMemoryAndKeepsTheDetector)
{
    det.reportedSize = 0x7FFFFFF0;  // beyond the largest picture the control holds
    auto control = NewControl(media);
    EXPECT_EQ(control->ShowFrame(1.0), static_cast<int>(E_OUTOFMEMORY));
    EXPECT_FALSE(log.Contains("IMediaDet::GetBitmapBits(1,null,buffer")) << log.Dump();
    EXPECT_TRUE(ShowsEverywhere(kMarker)) << "nothing is painted";
    EXPECT_GT(det.RefCount(), 0) << "held until the control is destroyed";

    // The attempt is over: later calls neither grab again nor paint.
    log.Clear();
    EXPECT_EQ(control->ShowFrame(2.0), 0);
    EXPECT_TRUE(log.Entries().empty()) << log.Dump();
    EXPECT_TRUE(ShowsEverywhere(kMarker));

    control.reset();
    EXPECT_EQ(det.RefCount(), 0);
}

TEST_F(StillFrameFake, ThrowingFillReturnsFailAndKeepsTheDetector)
{
    det.throwOnFill = true;
    auto control = NewControl(media);
    EXPECT_EQ(control->ShowFrame(1.0), static_cast<int>(E_FAIL));
    EXPECT_TRUE(log.Contains("IMediaDet::GetBitmapBits(1,null,buffer,320,200)")) << log.Dump();
    EXPECT_TRUE(ShowsEverywhere(kMarker));
    EXPECT_GT(det.RefCount(), 0);

    log.Clear();
    EXPECT_EQ(control->ShowFrame(1.0), 0);
    EXPECT_TRUE(log.Entries().empty()) << log.Dump();
    EXPECT_TRUE(ShowsEverywhere(kMarker));

    control.reset();
    EXPECT_EQ(det.RefCount(), 0);
}

// The size query or the fill failing, or a frame that does not hold the
// pixels its header promises: the detector is released, nothing is painted,
// 0 is returned, and the attempt is not repeated.
TEST_F(StillFrameFake, FailedGrabPaintsNothingAndIsNotRetried)
{
    const struct
    {
        const char* name;
        const char* failingCall;
        LONG reportedSize;
        size_t frameCut;
    } cases[] = {
        {"size query fails", "IMediaDet::GetBitmapBits(1,size,null,320,200)", -1, 0},
        {"fill fails", "IMediaDet::GetBitmapBits(1,null,buffer,320,200)", -1, 0},
        {"frame one byte short", nullptr, -1, 1},
        {"size of a header alone", nullptr, 40, 0},
        {"size zero", nullptr, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.Clear();
        log.ClearFailures();
        if (c.failingCall)
            log.Fail(c.failingCall, E_FAIL);
        det.reportedSize = c.reportedSize;
        det.frame = MakeFrameBuffer(SolidBitmap(320, 200, kGrabbed));
        det.frame.resize(det.frame.size() - c.frameCut);
        det.sidecarToWrite.clear();
        window.Fill(kMarker);

        auto control = NewControl(media);
        EXPECT_EQ(control->ShowFrame(1.0), 0);
        EXPECT_EQ(det.RefCount(), 0);
        EXPECT_TRUE(ShowsEverywhere(kMarker));
        EXPECT_TRUE(platform.Boxes().empty());

        log.Clear();
        EXPECT_EQ(control->ShowFrame(1.0), 0);
        EXPECT_TRUE(log.Entries().empty()) << log.Dump();
        EXPECT_TRUE(ShowsEverywhere(kMarker));
    }
}

TEST_F(StillFrameFake, MissingDetectorShowsItsBoxAndIsRetried)
{
    platform.FailCreate(CLSID_MediaDet, REGDB_E_CLASSNOTREG);
    auto control = NewControl(media);
    EXPECT_EQ(control->ShowFrame(1.0), 0);
    ASSERT_EQ(platform.Boxes().size(), 1u);
    EXPECT_EQ(platform.Boxes()[0].text, "Can't create IMediaDet object..");
    EXPECT_EQ(platform.Boxes()[0].caption, "Error!");
    EXPECT_EQ(platform.Boxes()[0].uType, static_cast<UINT>(MB_OK));
    EXPECT_TRUE(ShowsEverywhere(kMarker));

    // The next call tries again. A creation that reports success without
    // handing out an object counts as a failure too: nothing is called
    // through a null detector.
    platform.FailCreate(CLSID_MediaDet, S_OK);
    EXPECT_EQ(control->ShowFrame(1.0), 0);
    EXPECT_EQ(log.Count("CreateInstance(CLSID_MediaDet,7)"), 2u);
    ASSERT_EQ(platform.Boxes().size(), 2u);
    EXPECT_EQ(platform.Boxes()[1].text, "Can't create IMediaDet object..");
    EXPECT_FALSE(log.Contains("IMediaDet::")) << log.Dump();
    EXPECT_TRUE(ShowsEverywhere(kMarker));
}

TEST_F(StillFrameFake, NoWindowPaintsNothingAndTriesNothing)
{
    auto control = NewControl(media);
    control->SetWindow(NULL);
    EXPECT_EQ(control->ShowFrame(1.0), 0);
    control->SetWindow(reinterpret_cast<HWND>(0x7FFF0));  // not a window
    EXPECT_EQ(control->ShowFrame(1.0), 0);
    EXPECT_TRUE(log.Entries().empty()) << log.Dump();
    EXPECT_TRUE(ShowsEverywhere(kMarker));

    // Given a window, the control makes its first attempt.
    control->SetWindow(window.Handle());
    EXPECT_EQ(control->ShowFrame(1.0), 0);
    EXPECT_EQ(log.Count("CreateInstance(CLSID_MediaDet,7)"), 1u);
    EXPECT_TRUE(ShowsEverywhere(kGrabbed));
}

TEST_F(StillFrameFake, RejectedSidecarIsRetriedAndNeverReplacedByAGrab)
{
    std::vector<uint8_t> sidecar = MakeBitmapFile(SolidBitmap(320, 200, kWritten));
    sidecar[2] ^= 1;  // size field off by one
    ASSERT_TRUE(WriteBytes(media + ".bmp", sidecar));

    auto control = NewControl(media);
    EXPECT_EQ(control->ShowFrame(1.0), 0);
    EXPECT_TRUE(log.Entries().empty()) << "no grab while a sidecar exists:\n" << log.Dump();
    EXPECT_TRUE(ShowsEverywhere(kMarker));

    sidecar[2] ^= 1;
    ASSERT_TRUE(WriteBytes(media + ".bmp", sidecar));
    EXPECT_EQ(control->ShowFrame(1.0), 0);
    EXPECT_TRUE(ShowsEverywhere(kWritten)) << "the next call reads the sidecar again";
}

// The wide buffers hold 260 characters with the terminator: the media path
// and its sidecar path (4 more) must both fit, or the grab is refused.
TEST_F(StillFrameFake, PathsTooLongForTheWideBuffersAreRefused)
{
    const std::string longest = "C:\\" + std::string(255 - 3 - 4, 'a') + ".avi";
    ASSERT_EQ(longest.size(), 255u);
    for (const std::string& file : {longest, longest + "x", std::string(300, 'b'),
                                    std::string(5000, 'c')}) {
        SCOPED_TRACE(file.size());
        log.Clear();
        det.sidecarToWrite.clear();
        auto control = NewControl(file);
        EXPECT_EQ(control->ShowFrame(1.0), 0);
        EXPECT_EQ(det.RefCount(), 0);
        if (file.size() + 4 < MAX_PATH) {
            EXPECT_TRUE(log.Contains("IMediaDet::put_Filename(" + file + ")")) << log.Dump();
            EXPECT_TRUE(log.Contains("IMediaDet::WriteBitmapBits(1,320,200," + file + ".bmp)"));
        } else {
            EXPECT_EQ(log.Entries(), Entries{"CreateInstance(CLSID_MediaDet,7)"}) << log.Dump();
        }
    }
}

TEST_F(StillFrameFake, EmptyNameGrabsTheEmptyPathIntoDotBmp)
{
    det.sidecarToWrite.clear();  // not in the current directory
    auto control = NewControl("");
    EXPECT_EQ(control->ShowFrame(0.0), 0);
    EXPECT_TRUE(log.Contains("IMediaDet::put_Filename()")) << log.Dump();
    EXPECT_TRUE(log.Contains("IMediaDet::WriteBitmapBits(0,320,200,.bmp)")) << log.Dump();
}

} // namespace
