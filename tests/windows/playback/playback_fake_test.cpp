// Playback, transport and Resize of CPlayerControl against a fake graph and
// fake platform services: which calls the control makes, in which order,
// which messages it shows when platform calls fail, and what it leaves
// alone afterwards.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "CPlayerControl.h"
#include "FakeGraph.h"
#include "FakePlatform.h"
#include "TestWindow.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

const char kClip[] = "C:\\clips\\a.avi";
const char kMsgCreate[] = "Can't create CLSID_FilterGraph";
const char kMsgRender[] = "Can't render file...";
const char kMsgQueryMC[] = "FAILED(hr = g_pGB.QueryInterface(&g_pMC))";
const char kMsgQueryME[] = "FAILED(hr = g_pGB.QueryInterface(&g_pME))";
const char kMsgQueryBV[] = "FAILED(hr = g_pGB.QueryInterface(&g_pBV))";
const char kMsgQueryMS[] = "FAILED(hr = g_pGB.QueryInterface(&g_pMS))";
const char kMsgQueryBA[] = "FAILED(hr = g_pGB.QueryInterface(&g_pBA))";
const char kMsgQueryVW[] = "FAILED(hr = g_pGB.QueryInterface(&m_pVW))";
const char kMsgDuration[] = "Can't calc file duration...";
const char kMsgTimeFormat[] = "Can't set TIME format...";
const char kMsgFrames[] = "Can't GetDuration...";

// A control wired to fakes, with a hidden 800 x 400 window. The fakes are
// declared first so the control is destroyed before them.
struct Rig
{
    Rig() : platform(log), graph(log), renderer(log), window(800, 400, false)
    {
        platform.Register(CLSID_FilterGraph, static_cast<IGraphBuilder*>(&graph));
        platform.Register(CLSID_VideoRenderer, &renderer);
        control.reset(new CPlayerControl(platform));
    }

    // Entries logged from index on.
    std::vector<std::string> EntriesFrom(int index) const
    {
        const std::vector<std::string>& all = log.Entries();
        return std::vector<std::string>(all.begin() + index, all.end());
    }
    std::string Hwnd() const
    {
        return FakeGraph::HandleText(reinterpret_cast<OAHWND>(window.Handle()));
    }

    FakeCallLog log;
    FakePlatform platform;
    FakeGraph graph;
    FakeFilter renderer;
    TestWindow window;
    std::unique_ptr<CPlayerControl> control;
};

TEST(PlaybackFake, FirstPlayOpensInOrderAndRunsTheGraph)
{
    Rig rig;
    rig.control->SetWindow(rig.window.Handle());
    rig.control->SetFileName(kClip);
    EXPECT_EQ(rig.control->Play(), 1);

    const std::string hwnd = rig.Hwnd();
    EXPECT_THAT(rig.log.Entries(),
                ElementsAre("CreateInstance(CLSID_FilterGraph,3)",
                            "CreateInstance(CLSID_VideoRenderer,1)",
                            "IGraphBuilder::AddFilter(Video Renderer)",
                            "IGraphBuilder::RenderFile(C:\\clips\\a.avi,null)",
                            "IBaseFilter::EnumPins()", "IPin::ConnectedTo()",
                            "QueryInterface(IMediaControl)", "QueryInterface(IMediaPosition)",
                            "QueryInterface(IMediaEvent)", "QueryInterface(IBasicVideo)",
                            "QueryInterface(IMediaSeeking)", "QueryInterface(IBasicAudio)",
                            "QueryInterface(IVideoWindow)",
                            "IVideoWindow::put_Owner(" + hwnd + ")",
                            "IVideoWindow::put_WindowStyle(0x46000000)",
                            "IBasicVideo::GetVideoSize()",
                            "IBasicVideo::SetDestinationPosition(134,0,533,400)",
                            "IVideoWindow::SetWindowPosition(0,0,800,400)",
                            "IVideoWindow::put_MessageDrain(" + hwnd + ")",
                            "IVideoWindow::put_Visible(-1)",
                            "IVideoWindow::put_FullScreenMode(0)",
                            // Leaving full-screen mode may reset the window's
                            // style and the picture: both are applied again.
                            "IVideoWindow::put_WindowStyle(0x46000000)",
                            "IBasicVideo::GetVideoSize()",
                            "IBasicVideo::SetDestinationPosition(134,0,533,400)",
                            "IVideoWindow::SetWindowPosition(0,0,800,400)",
                            "IVideoWindow::put_Visible(-1)",
                            "IMediaPosition::get_Duration()",
                            "IMediaSeeking::SetTimeFormat(TIME_FORMAT_FRAME)",
                            "IMediaSeeking::GetDuration()", "IMediaControl::Run()"))
        << rig.log.Dump();
    EXPECT_THAT(rig.platform.Boxes(), IsEmpty());
    EXPECT_EQ(rig.control->GetDuration(), 10.0);
    // The connected renderer stays in the graph.
    EXPECT_THAT(rig.graph.Filters(), ElementsAre(static_cast<IBaseFilter*>(&rig.renderer)));
}

TEST(PlaybackFake, OpenFileReportsWhereItStopped)
{
    Rig complete;
    complete.control->SetWindow(complete.window.Handle());
    EXPECT_EQ(complete.control->OpenFile(kClip), 1);

    Rig noGraph;
    noGraph.platform.FailCreate(CLSID_FilterGraph);
    EXPECT_EQ(noGraph.control->OpenFile(kClip), 0);

    Rig renderFails;
    renderFails.log.Fail("IGraphBuilder::RenderFile", VFW_E_NOT_FOUND);
    EXPECT_EQ(renderFails.control->OpenFile(kClip), 1);

    Rig frameFormatRefused;
    frameFormatRefused.log.Fail("IMediaSeeking::SetTimeFormat", E_INVALIDARG);
    EXPECT_EQ(frameFormatRefused.control->OpenFile(kClip), 0);
}

// One row per failure: what fails, the exact messages of the first Play,
// and the calls that must never be made afterwards (through Play, a second
// Play, the transport slots, Resize and destruction).
struct FailureCase
{
    const char* name;
    std::vector<std::string> failingCalls; // log names made to fail
    bool failGraphCreation;
    std::vector<std::string> messages;
    std::vector<std::string> neverCalled; // log entry prefixes
    bool durationRead;                    // GetDuration gives the file's
    bool graphRuns;                       // Play reaches IMediaControl Run
};

const FailureCase kFailureCases[] = {
    // name, failing calls, graph creation fails,
    // messages, never called, duration read, graph runs
    {"nothing fails", {}, false,
     {}, {"IGraphBuilder::RemoveFilter"}, true, true},
    {"graph manager creation", {}, true,
     {kMsgCreate},
     {"IGraphBuilder::", "QueryInterface", "IMediaControl::", "IMediaPosition::",
      "IBasicVideo::", "IVideoWindow::", "CreateInstance(CLSID_VideoRenderer"},
     false, false},
    {"render", {"IGraphBuilder::RenderFile"}, false,
     {kMsgRender}, {}, true, true},
    {"IMediaControl query", {"QueryInterface(IMediaControl)"}, false,
     {kMsgQueryMC}, {"IMediaControl::"}, true, false},
    {"IMediaPosition query", {"QueryInterface(IMediaPosition)"}, false,
     {kMsgQueryMC, kMsgDuration}, {"IMediaPosition::", "IMediaSeeking::"}, false, true},
    {"IMediaEvent query", {"QueryInterface(IMediaEvent)"}, false,
     {kMsgQueryME}, {"IMediaEvent::"}, true, true},
    {"IBasicVideo query", {"QueryInterface(IBasicVideo)"}, false,
     {kMsgQueryBV}, {"IBasicVideo::"}, true, true},
    {"IMediaSeeking query", {"QueryInterface(IMediaSeeking)"}, false,
     {kMsgQueryMS, kMsgTimeFormat}, {"IMediaSeeking::"}, true, true},
    {"IBasicAudio query", {"QueryInterface(IBasicAudio)"}, false,
     {kMsgQueryBA}, {"IBasicAudio::"}, true, true},
    {"IVideoWindow query", {"QueryInterface(IVideoWindow)"}, false,
     {kMsgQueryVW}, {"IVideoWindow::"}, true, true},
    {"duration in seconds", {"IMediaPosition::get_Duration"}, false,
     {kMsgDuration}, {"IMediaSeeking::"}, false, true},
    {"frame time format", {"IMediaSeeking::SetTimeFormat"}, false,
     {kMsgTimeFormat}, {"IMediaSeeking::GetDuration"}, true, true},
    {"duration in frames", {"IMediaSeeking::GetDuration"}, false,
     {kMsgFrames}, {}, true, true},
    {"render and every query", {"IGraphBuilder::RenderFile", "QueryInterface"}, false,
     {kMsgRender, kMsgQueryMC, kMsgQueryMC, kMsgQueryME, kMsgQueryBV, kMsgQueryMS, kMsgQueryBA,
      kMsgQueryVW, kMsgDuration},
     {"IMediaControl::", "IMediaPosition::", "IMediaEvent::", "IBasicVideo::",
      "IMediaSeeking::", "IBasicAudio::", "IVideoWindow::"},
     false, false},
};

class PlaybackFailure : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(PlaybackFailure, MessagesThenPlaysWithoutCallingWhatFailed)
{
    const FailureCase& c = GetParam();
    Rig rig;
    for (const std::string& call : c.failingCalls)
        rig.log.Fail(call, call.compare(0, 14, "QueryInterface") == 0 ? E_NOINTERFACE : E_FAIL);
    if (c.failGraphCreation)
        rig.platform.FailCreate(CLSID_FilterGraph);
    rig.control->SetWindow(rig.window.Handle());
    rig.control->SetFileName(kClip);

    EXPECT_EQ(rig.control->Play(), 1);
    EXPECT_THAT(rig.platform.BoxTexts(), ElementsAreArray(c.messages)) << rig.log.Dump();
    for (const FakeMessageBox& box : rig.platform.Boxes()) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.uType, static_cast<UINT>(MB_OK)) << "no icon, an OK button";
    }
    // The graph runs whenever it can be reached, whatever failed before.
    EXPECT_EQ(rig.log.Count("IMediaControl::Run"), c.graphRuns ? 1u : 0u);

    // A second Play runs the graph again and opens nothing.
    const int entriesAfterOpen = static_cast<int>(rig.log.Entries().size());
    EXPECT_EQ(rig.control->Play(), 1);
    if (c.graphRuns) {
        EXPECT_THAT(rig.EntriesFrom(entriesAfterOpen), ElementsAre("IMediaControl::Run()"));
    } else {
        EXPECT_THAT(rig.EntriesFrom(entriesAfterOpen), IsEmpty());
    }
    EXPECT_EQ(rig.platform.Boxes().size(), c.messages.size());

    // The rest of the operations, then destruction.
    EXPECT_EQ(rig.control->Pause(), 1);
    EXPECT_EQ(rig.control->SetPosition(4.0), 1);
    rig.control->GetPosition();
    EXPECT_EQ(rig.control->GetDuration(), c.durationRead ? 10.0 : 0.0);
    EXPECT_EQ(rig.control->Stop(), 1);
    rig.window.ResizeClient(500, 500);
    rig.control->Resize();
    rig.control.reset();

    for (const std::string& prefix : c.neverCalled)
        EXPECT_FALSE(rig.log.Contains(prefix)) << prefix << " was called:\n" << rig.log.Dump();
    EXPECT_EQ(rig.platform.Boxes().size(), c.messages.size()) << "no message after the open";
    // Every reference the control took is given back.
    EXPECT_EQ(rig.graph.RefCount(), 0);
    EXPECT_EQ(rig.renderer.RefCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, PlaybackFailure, ::testing::ValuesIn(kFailureCases),
                         [](const ::testing::TestParamInfo<FailureCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

// The classic renderer goes into the graph before the render and comes out
// again unless the render connected it.
TEST(PlaybackFake, RendererLeavesTheGraphUnlessConnected)
{
    struct Case
    {
        const char* name;
        bool renderFails;
        bool pinConnected;
        bool rendererKept;
    } cases[] = {
        {"render fails", true, false, false},
        {"render leaves it unconnected", false, false, false},
        {"render connects it", false, true, true},
    };
    for (const Case& c : cases) {
        Rig rig;
        if (c.renderFails)
            rig.log.Fail("IGraphBuilder::RenderFile", VFW_E_CANNOT_RENDER);
        rig.renderer.pin.connected = c.pinConnected;
        rig.control->SetWindow(rig.window.Handle());
        rig.control->SetFileName(kClip);
        rig.control->Play();

        const int removed = rig.log.IndexOf("IGraphBuilder::RemoveFilter");
        EXPECT_EQ(removed >= 0, !c.rendererKept) << c.name;
        if (removed >= 0) {
            EXPECT_LT(removed, rig.log.IndexOf("QueryInterface(IVideoWindow)"))
                << c.name << ": removed before anything reaches the video window";
        }
        EXPECT_EQ(rig.graph.Filters().size(), c.rendererKept ? 1u : 0u) << c.name;
    }
}

TEST(PlaybackFake, RendererThatCannotBeMadeOrAddedStillRenders)
{
    Rig noRenderer;
    noRenderer.platform.FailCreate(CLSID_VideoRenderer);
    noRenderer.control->SetFileName(kClip);
    noRenderer.control->Play();
    EXPECT_FALSE(noRenderer.log.Contains("IGraphBuilder::AddFilter"));
    EXPECT_TRUE(noRenderer.log.Contains("IGraphBuilder::RenderFile(C:\\clips\\a.avi,null)"));
    EXPECT_THAT(noRenderer.platform.Boxes(), IsEmpty());

    Rig notAdded;
    notAdded.log.Fail("IGraphBuilder::AddFilter");
    notAdded.control->SetFileName(kClip);
    notAdded.control->Play();
    EXPECT_TRUE(notAdded.log.Contains("IGraphBuilder::RenderFile(C:\\clips\\a.avi,null)"));
    EXPECT_FALSE(notAdded.log.Contains("IGraphBuilder::RemoveFilter"));
    EXPECT_FALSE(notAdded.log.Contains("IBaseFilter::EnumPins"));
    EXPECT_THAT(notAdded.platform.Boxes(), IsEmpty());
    notAdded.control.reset();
    EXPECT_EQ(notAdded.renderer.RefCount(), 0);
}

// Paths up to 259 characters reach the graph whole; longer ones are refused
// (a cut path would name another file) and reported as not rendered.
TEST(PlaybackFake, PathsThatDoNotFitTheBuffersAreRefused)
{
    struct Case
    {
        size_t length;
        bool rendered;
    } cases[] = {{0, true}, {1, true}, {259, true}, {260, false}, {300, false}, {5000, false}};
    for (const Case& c : cases) {
        Rig rig;
        const std::string path(c.length, 'p');
        rig.control->SetWindow(rig.window.Handle());
        rig.control->SetFileName(path.c_str());
        EXPECT_EQ(rig.control->Play(), 1);
        const std::vector<std::string> renders = rig.log.Matching("IGraphBuilder::RenderFile");
        if (c.rendered) {
            EXPECT_THAT(renders, ElementsAre("IGraphBuilder::RenderFile(" + path + ",null)"))
                << c.length;
            EXPECT_THAT(rig.platform.BoxTexts(), IsEmpty()) << c.length;
        } else {
            EXPECT_THAT(renders, IsEmpty()) << c.length;
            EXPECT_THAT(rig.platform.BoxTexts(), ElementsAre(kMsgRender)) << c.length;
            // The sequence goes on, and the graph runs.
            EXPECT_TRUE(rig.log.Contains("IMediaSeeking::GetDuration")) << c.length;
            EXPECT_TRUE(rig.log.Contains("IMediaControl::Run")) << c.length;
        }
    }
}

TEST(PlaybackFake, NonAsciiPathIsConvertedWithTheAnsiCodePage)
{
    Rig rig;
    const std::string path = "C:\\clips\\caf\xe9.avi"; // e acute in the ANSI code page
    rig.control->SetFileName(path.c_str());
    rig.control->Play();
    WCHAR wide[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    EXPECT_TRUE(rig.log.Contains("IGraphBuilder::RenderFile(" + FakeCallLog::Narrow(wide) + ",null)"))
        << rig.log.Dump();
}

// Without a readable client rectangle nothing is fitted or placed; the
// video window still gets its (null) owner and the open goes on.
TEST(PlaybackFake, NoWindowOrDeadWindowFitsNothing)
{
    for (bool bDeadWindow : {false, true}) {
        Rig rig;
        if (bDeadWindow) {
            rig.control->SetWindow(rig.window.Handle());
            rig.window.Destroy();
        }
        rig.control->SetFileName(kClip);
        EXPECT_EQ(rig.control->Play(), 1);
        EXPECT_FALSE(rig.log.Contains("IBasicVideo::SetDestinationPosition")) << rig.log.Dump();
        EXPECT_FALSE(rig.log.Contains("IVideoWindow::SetWindowPosition")) << rig.log.Dump();
        EXPECT_TRUE(rig.log.Contains("IVideoWindow::put_Visible(-1)"));
        EXPECT_TRUE(rig.log.Contains("IMediaSeeking::GetDuration"));
        EXPECT_TRUE(rig.log.Contains("IMediaControl::Run"));
        EXPECT_THAT(rig.platform.Boxes(), IsEmpty());
        if (!bDeadWindow) {
            EXPECT_TRUE(rig.log.Contains("IVideoWindow::put_Owner(0x00000000)"));
        }
    }
}

TEST(PlaybackFake, UnplayedControlCallsNothing)
{
    Rig rig;
    rig.control->SetWindow(rig.window.Handle());
    rig.control->SetFileName(kClip);
    EXPECT_EQ(rig.control->Stop(), 1);
    EXPECT_EQ(rig.control->Pause(), 1);
    EXPECT_EQ(rig.control->SetPosition(2.0), 0);
    EXPECT_EQ(rig.control->GetPosition(), 0.0);
    EXPECT_EQ(rig.control->GetDuration(), 0.0);
    rig.control->Resize();
    rig.control.reset();
    EXPECT_THAT(rig.log.Entries(), IsEmpty());
}

TEST(PlaybackFake, TransportGoesToTheGraphAndStopDoesNotRewind)
{
    Rig rig;
    rig.control->SetWindow(rig.window.Handle());
    rig.control->SetFileName(kClip);
    rig.control->Play();
    rig.log.Clear();

    EXPECT_EQ(rig.control->Pause(), 1);
    EXPECT_EQ(rig.control->SetPosition(5.0), 1);
    EXPECT_EQ(rig.control->GetPosition(), 5.0);
    EXPECT_THAT(rig.log.Entries(),
                ElementsAre("IMediaControl::Pause()", "IMediaControl::GetState()",
                            "IMediaControl::Stop()", "IMediaPosition::put_CurrentPosition(5)",
                            "IMediaControl::Pause()", "IMediaPosition::get_CurrentPosition()"));

    // Stop keeps the position where it was, even where stopping a graph
    // moves it back.
    rig.log.Clear();
    rig.graph.positionSeconds = 7.5;
    EXPECT_EQ(rig.control->Stop(), 1);
    EXPECT_THAT(rig.log.Entries(),
                ElementsAre("IMediaPosition::get_CurrentPosition()", "IMediaControl::Stop()",
                            "IMediaPosition::put_CurrentPosition(7.5)"));
    EXPECT_EQ(rig.control->GetPosition(), 7.5);

    // A position that cannot be read is not put back.
    rig.log.Clear();
    rig.log.Fail("IMediaPosition::get_CurrentPosition");
    EXPECT_EQ(rig.control->Stop(), 1);
    EXPECT_THAT(rig.log.Entries(),
                ElementsAre("IMediaPosition::get_CurrentPosition()", "IMediaControl::Stop()"));
    rig.log.ClearFailures();

    // A failing read gives 0.0, not what the callee left behind.
    rig.log.Fail("IMediaPosition::get_CurrentPosition");
    EXPECT_EQ(rig.control->GetPosition(), 0.0);
    // Failing transport calls change no result.
    rig.log.Fail("IMediaPosition::put_CurrentPosition");
    rig.log.Fail("IMediaControl::Run");
    rig.log.Fail("IMediaControl::Stop");
    EXPECT_EQ(rig.control->SetPosition(1.0), 1);
    EXPECT_EQ(rig.control->Play(), 1);
    EXPECT_EQ(rig.control->Stop(), 1);
    EXPECT_THAT(rig.platform.Boxes(), IsEmpty());
}

// A seek is made on a stopped graph, which is then put back as it was; a
// graph whose state cannot be read is seeked as it is.
TEST(PlaybackFake, SeekIsMadeStoppedAndTheGraphPutBackAsItWas)
{
    const struct
    {
        const char* name;
        void (*before)(IPlayerControl*);
        bool stateFails;
        std::vector<std::string> calls;
        OAFilterState after;
    } cases[] = {
        {"running", [](IPlayerControl*) {}, false,
         {"IMediaControl::GetState()", "IMediaControl::Stop()",
          "IMediaPosition::put_CurrentPosition(3)", "IMediaControl::Run()"},
         State_Running},
        {"paused", [](IPlayerControl* c) { c->Pause(); }, false,
         {"IMediaControl::GetState()", "IMediaControl::Stop()",
          "IMediaPosition::put_CurrentPosition(3)", "IMediaControl::Pause()"},
         State_Paused},
        {"stopped", [](IPlayerControl* c) { c->Stop(); }, false,
         {"IMediaControl::GetState()", "IMediaPosition::put_CurrentPosition(3)"},
         State_Stopped},
        {"state unreadable", [](IPlayerControl*) {}, true,
         {"IMediaControl::GetState()", "IMediaPosition::put_CurrentPosition(3)"},
         State_Running},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.control->SetWindow(rig.window.Handle());
        rig.control->SetFileName(kClip);
        rig.control->Play();
        c.before(rig.control.get());
        if (c.stateFails)
            rig.log.Fail("IMediaControl::GetState");
        rig.log.Clear();
        EXPECT_EQ(rig.control->SetPosition(3.0), 1);
        EXPECT_EQ(rig.log.Entries(), c.calls);
        EXPECT_EQ(rig.graph.filterState, c.after);
        EXPECT_EQ(rig.graph.positionSeconds, 3.0);
    }
}

TEST(PlaybackFake, FailedDurationReadLeavesZeroNotGarbage)
{
    Rig rig;
    rig.log.Fail("IMediaPosition::get_Duration");
    rig.control->SetFileName(kClip);
    rig.control->Play();
    EXPECT_EQ(rig.control->GetDuration(), 0.0);
}

TEST(PlaybackFake, StopWithoutPositionInterfaceJustStops)
{
    Rig rig;
    rig.log.Fail("QueryInterface(IMediaPosition)", E_NOINTERFACE);
    rig.control->SetFileName(kClip);
    rig.control->Play();
    rig.log.Clear();
    EXPECT_EQ(rig.control->Stop(), 1);
    EXPECT_THAT(rig.log.Entries(), ElementsAre("IMediaControl::Stop()"));
}

TEST(PlaybackFake, DestructionStopsTheGraphThenReleasesEverything)
{
    Rig rig;
    rig.control->SetWindow(rig.window.Handle());
    rig.control->SetFileName(kClip);
    rig.control->Play();
    EXPECT_GT(rig.graph.RefCount(), 0);
    rig.log.Clear();
    rig.control.reset();
    EXPECT_THAT(rig.log.Entries(), ElementsAre("IMediaControl::Stop()"));
    EXPECT_EQ(rig.graph.RefCount(), 0);
    EXPECT_EQ(rig.renderer.RefCount(), 0);
}

// Resize with the fake seam.
TEST(ResizeFake, NothingBeforeAGraphExists)
{
    Rig rig;
    rig.control->SetWindow(rig.window.Handle());
    rig.control->Resize();
    EXPECT_THAT(rig.log.Entries(), IsEmpty());
}

TEST(ResizeFake, NothingWithoutAWindow)
{
    Rig rig;
    rig.control->SetFileName(kClip);
    rig.control->Play();
    rig.log.Clear();
    rig.control->Resize();
    EXPECT_FALSE(rig.log.Contains("IBasicVideo::SetDestinationPosition"));
    EXPECT_FALSE(rig.log.Contains("IVideoWindow::"));
}

TEST(ResizeFake, FitsThePictureAndCoversTheClientArea)
{
    struct Case
    {
        int cw, ch;
        long vw, vh;
        const char* destination;
        const char* window;
    } cases[] = {
        {500, 500, 320, 240, "(0,63,500,375)", "(0,0,500,500)"},
        {500, 500, 640, 360, "(0,110,500,281)", "(0,0,500,500)"},
        {799, 401, 352, 288, "(154,0,490,401)", "(0,0,799,401)"},
        {800, 296, 720, 576, "(216,0,369,296)", "(0,0,800,296)"},
        {164, 200, 640, 480, "(0,39,164,122)", "(0,0,164,200)"},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.graph.videoWidth = c.vw;
        rig.graph.videoHeight = c.vh;
        rig.control->SetWindow(rig.window.Handle());
        rig.control->SetFileName(kClip);
        rig.control->Play();
        rig.window.ResizeClient(c.cw, c.ch);
        rig.log.Clear();
        rig.control->Resize();
        EXPECT_THAT(rig.log.Entries(),
                    ElementsAre("IBasicVideo::GetVideoSize()",
                                std::string("IBasicVideo::SetDestinationPosition") + c.destination,
                                std::string("IVideoWindow::SetWindowPosition") + c.window))
            << c.cw << "x" << c.ch;
    }
}

TEST(ResizeFake, SkipsWhatItCannotUse)
{
    // A failed size query: the picture gets the whole client area.
    Rig noSize;
    noSize.control->SetWindow(noSize.window.Handle());
    noSize.control->SetFileName(kClip);
    noSize.control->Play();
    noSize.log.Clear();
    noSize.log.Fail("IBasicVideo::GetVideoSize");
    noSize.control->Resize();
    EXPECT_TRUE(noSize.log.Contains("IBasicVideo::SetDestinationPosition(0,0,800,400)"))
        << noSize.log.Dump();

    // Interfaces whose query failed are not called.
    Rig noBasicVideo;
    noBasicVideo.log.Fail("QueryInterface(IBasicVideo)", E_NOINTERFACE);
    noBasicVideo.control->SetWindow(noBasicVideo.window.Handle());
    noBasicVideo.control->Play();
    EXPECT_FALSE(noBasicVideo.log.Contains("IBasicVideo::"));
    noBasicVideo.log.Clear();
    noBasicVideo.control->Resize();
    EXPECT_THAT(noBasicVideo.log.Entries(),
                ElementsAre("IVideoWindow::SetWindowPosition(0,0,800,400)"));

    Rig noVideoWindow;
    noVideoWindow.log.Fail("QueryInterface(IVideoWindow)", E_NOINTERFACE);
    noVideoWindow.control->SetWindow(noVideoWindow.window.Handle());
    noVideoWindow.control->Play();
    noVideoWindow.log.Clear();
    noVideoWindow.control->Resize();
    EXPECT_THAT(noVideoWindow.log.Entries(),
                ElementsAre("IBasicVideo::GetVideoSize()",
                            "IBasicVideo::SetDestinationPosition(134,0,533,400)"));

    // A window that is gone: nothing is computed from its rectangle.
    Rig deadWindow;
    deadWindow.control->SetWindow(deadWindow.window.Handle());
    deadWindow.control->Play();
    deadWindow.window.Destroy();
    deadWindow.log.Clear();
    deadWindow.control->Resize();
    EXPECT_FALSE(deadWindow.log.Contains("IBasicVideo::SetDestinationPosition"));
    EXPECT_FALSE(deadWindow.log.Contains("IVideoWindow::SetWindowPosition"));
}

} // namespace
