// ShowFrame's fallback through the platform seam: a fake media detector
// decides whether the detector delivers, and the graph objects are either
// missing or the real ones, created up front and handed out by the fake
// platform. Paints into a real window.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AviClip.h"
#include "CPlayerControl.h"
#include "CanvasTest.h"
#include "CraftedBitmap.h"
#include "FakeCallLog.h"
#include "FakeMediaDet.h"
#include "FakePlatform.h"
#include "SidecarBitmap.h"

namespace {

const uint32_t kMarker = 0x404040;   // the window before ShowFrame
const uint32_t kDetected = 0x20C040; // the frame the fake detector hands over
const uint32_t kRed = 0xE01010;
const uint32_t kBlue = 0x2030D0;

const char* const kGraphCreation = "CreateInstance(CLSID_FilterGraph,1)";
const char* const kDetectorCreation = "CreateInstance(CLSID_MediaDet,7)";
const char* const kDetectorBox = "MessageBox(Can't create IMediaDet object..)";

// The class ids the fallback asks the platform for, besides the graph.
const CLSID kSampleGrabber = {
    0xC1F400A0, 0x3F08, 0x11d3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const CLSID kNullRenderer = {
    0xC1F400A4, 0x3F08, 0x11d3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

using Entries = std::vector<std::string>;

// The real graph, Sample Grabber and Null Renderer, handed out by platform;
// each is good for one grab. The caller releases them.
std::vector<IUnknown*> RegisterRealGraphObjects(FakePlatform& platform)
{
    std::vector<IUnknown*> objects;
    for (const CLSID* clsid : {&CLSID_FilterGraph, &kSampleGrabber, &kNullRenderer}) {
        IUnknown* object = NULL;
        if (SUCCEEDED(CoCreateInstance(*clsid, NULL, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                       reinterpret_cast<void**>(&object))) && object) {
            objects.push_back(object);
            platform.Register(*clsid, object);
        }
    }
    return objects;
}

class FallbackFake : public CanvasTest<160, 120>
{
protected:
    void SetUp() override
    {
        CoInitialize(NULL);
        platform.Register(CLSID_MediaDet, &det);
        det.frame = MakeFrameBuffer(SolidBitmap(320, 200, kDetected));
        window.Fill(kMarker);
        AviClipSpec clipSpec;
        clipSpec.secondColours = {kRed, kBlue};
        ASSERT_TRUE(WriteAviClip(media, clipSpec));
    }
    void TearDown() override { CoUninitialize(); }

    std::unique_ptr<CPlayerControl> NewControl()
    {
        std::unique_ptr<CPlayerControl> control(new CPlayerControl(platform));
        control->SetWindow(window.Handle());
        control->SetFileName(media.c_str());
        return control;
    }

    FakeCallLog log;
    FakePlatform platform{log};
    FakeMediaDet det{log};
    TempDir dir;
    const std::string media = dir.Path("clip.avi");
    const std::string sidecar = media + ".bmp";
};

// Wherever the detector gets as far as the size of the frame, the graph is
// never built, whatever happens after: its frame, its failures, its results.
TEST_F(FallbackFake, NoGraphIsTriedOnceTheDetectorTellsTheSize)
{
    const struct
    {
        const char* name;
        const char* failingCall;
        bool throwOnFill;
        LONG reportedSize;
        int result;
        uint32_t painted;
    } cases[] = {
        {"the detector delivers", nullptr, false, -1, 0, kDetected},
        {"the fill fails", "IMediaDet::GetBitmapBits(1,null,buffer,320,200)", false, -1, 0,
         kMarker},
        {"the fill throws", nullptr, true, -1, static_cast<int>(E_FAIL), kMarker},
        {"the size is too large to hold", nullptr, false, 0x7FFFFFF0,
         static_cast<int>(E_OUTOFMEMORY), kMarker},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.Clear();
        log.ClearFailures();
        if (c.failingCall)
            log.Fail(c.failingCall);
        det.throwOnFill = c.throwOnFill;
        det.reportedSize = c.reportedSize;
        window.Fill(kMarker);

        auto control = NewControl();
        EXPECT_EQ(control->ShowFrame(1.0), c.result);
        EXPECT_EQ(log.Matching("CreateInstance"), Entries{kDetectorCreation}) << log.Dump();
        EXPECT_TRUE(ShowsEverywhere(c.painted));
        EXPECT_FALSE(FileExists(sidecar)) << "only the detector writes it here";
    }
}

// The detector cannot tell the size (Wine's answers E_NOTIMPL): after it the
// graph is tried once; when the graph cannot be built either, the failure
// is the detector's own: nothing painted, no second attempt.
TEST_F(FallbackFake, WithoutAnySizeTheGraphIsTriedOnceAfterTheDetector)
{
    const struct
    {
        const char* name;
        HRESULT sizeResult;
        LONG reportedSize;
    } cases[] = {
        {"the size query fails", E_NOTIMPL, -1},
        {"the size is zero", S_OK, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        log.Clear();
        log.ClearFailures();
        log.Fail("IMediaDet::GetBitmapBits(1,size,null,320,200)", c.sizeResult);
        det.reportedSize = c.reportedSize;
        window.Fill(kMarker);

        auto control = NewControl();
        EXPECT_EQ(control->ShowFrame(1.0), 0);
        EXPECT_EQ(log.Matching("CreateInstance"), (Entries{kDetectorCreation, kGraphCreation}))
            << log.Dump();
        EXPECT_GT(log.IndexOf(kGraphCreation),
                  log.IndexOf("IMediaDet::GetBitmapBits(1,size,null,320,200)"));
        EXPECT_EQ(det.RefCount(), 0);
        EXPECT_TRUE(platform.Boxes().empty());
        EXPECT_TRUE(ShowsEverywhere(kMarker));
        EXPECT_FALSE(FileExists(sidecar));

        log.Clear();
        EXPECT_EQ(control->ShowFrame(2.0), 0);
        EXPECT_TRUE(log.Entries().empty()) << log.Dump();
        EXPECT_TRUE(ShowsEverywhere(kMarker));
    }
}

// No detector and no graph: the detector's box, then the graph is tried,
// and as without the fallback the next call tries both again.
TEST_F(FallbackFake, WithNeitherTheBoxShowsAndTheNextCallTriesAgain)
{
    platform.FailCreate(CLSID_MediaDet);
    auto control = NewControl();
    for (int call = 1; call <= 2; ++call) {
        SCOPED_TRACE("call " + std::to_string(call));
        log.Clear();
        EXPECT_EQ(control->ShowFrame(1.0), 0);
        EXPECT_EQ(log.Entries(), (Entries{kDetectorCreation, kDetectorBox, kGraphCreation}))
            << log.Dump();
        ASSERT_EQ(platform.Boxes().size(), static_cast<size_t>(call));
        EXPECT_EQ(platform.Boxes().back().caption, "Error!");
        EXPECT_TRUE(ShowsEverywhere(kMarker));
        EXPECT_FALSE(FileExists(sidecar));
    }
}

// With the real graph objects behind the seam, both ways into the fallback
// grab the frame at the time asked for, paint it, leave the sidecar and
// hold the picture for later calls.
TEST_F(FallbackFake, RealGraphGrabsWhereTheDetectorCannot)
{
    const struct
    {
        const char* name;
        bool detectorMissing;
        Entries boxes;
    } cases[] = {
        {"the detector is missing", true, {"Can't create IMediaDet object.."}},
        {"the detector cannot tell the size", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir caseDir;
        const std::string caseMedia = caseDir.Path("clip.avi");
        AviClipSpec clipSpec;
        clipSpec.secondColours = {kRed, kBlue};
        ASSERT_TRUE(WriteAviClip(caseMedia, clipSpec));
        FakeCallLog caseLog;
        FakePlatform casePlatform{caseLog};
        FakeMediaDet caseDet{caseLog};
        if (c.detectorMissing)
            casePlatform.FailCreate(CLSID_MediaDet);
        casePlatform.Register(CLSID_MediaDet, &caseDet);
        caseLog.Fail("IMediaDet::GetBitmapBits", E_NOTIMPL);
        window.Fill(kMarker);

        const std::vector<IUnknown*> objects = RegisterRealGraphObjects(casePlatform);
        ASSERT_EQ(objects.size(), 3u);
        {
            CPlayerControl control(casePlatform);
            control.SetWindow(window.Handle());
            control.SetFileName(caseMedia.c_str());
            EXPECT_EQ(control.ShowFrame(1.5), 0);
            EXPECT_EQ(casePlatform.BoxTexts(), c.boxes);
            const Entries created = caseLog.Matching("CreateInstance");
            EXPECT_EQ(Entries(created.begin() + 1, created.end()),
                      (Entries{kGraphCreation,
                               "CreateInstance({C1F400A0-3F08-11D3-9F0B-006008039E37},1)",
                               "CreateInstance({C1F400A4-3F08-11D3-9F0B-006008039E37},1)"}))
                << caseLog.Dump();
            EXPECT_TRUE(ShowsEverywhere(kBlue));

            // The picture is held: a later call repaints it, creating nothing.
            caseLog.Clear();
            window.Fill(kMarker);
            EXPECT_EQ(control.ShowFrame(0.0), 0);
            EXPECT_TRUE(caseLog.Entries().empty()) << caseLog.Dump();
            EXPECT_TRUE(ShowsEverywhere(kBlue));
        }
        for (IUnknown* object : objects)
            object->Release();

        const std::vector<uint8_t> file = ReadBytes(caseMedia + ".bmp");
        SidecarPicture picture;
        ASSERT_EQ(ReadSidecarBitmap(file.data(), file.size(), file.size(), &picture),
                  SidecarVerdict::Accepted);
        EXPECT_EQ(picture.width, 320);
        EXPECT_EQ(picture.height, 200);
    }
}

} // namespace
