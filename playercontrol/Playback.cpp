// Playback and transport: the graph is built on the first Play, and the
// transport operations drive it from then on.
#include "CPlayerControl.h"
#include "WidePath.h"

#include <uuids.h>

#include <cstring>

// OLE Automation booleans of the video window (not in every SDK's headers).
#ifndef OATRUE
#define OATRUE (-1)
#endif
#ifndef OAFALSE
#define OAFALSE (0)
#endif

namespace {

// The video window's style inside the host window.
const long kChildStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// Asks the graph for one of its control interfaces. The member is only set
// when the query succeeded, so a failed query leaves nothing to call later,
// whatever the callee wrote into the out pointer.
template <class T>
bool QueryGraph(IGraphBuilder* pGB, REFIID iid, Microsoft::WRL::ComPtr<T>& member)
{
    member.Reset();
    T* pInterface = NULL;
    if (FAILED(pGB->QueryInterface(iid, reinterpret_cast<void**>(&pInterface)))
        || !pInterface)
        return false;
    // The member takes over the query's reference. (ComPtr::Attach is not
    // used: some versions of it add a reference of their own.)
    *member.GetAddressOf() = pInterface;
    return true;
}

// Creates an object through the platform into member. The member is only
// set when the creation succeeded, whatever the callee left in the out
// pointer otherwise.
template <class T>
bool CreateInto(IPlatformServices& platform, REFCLSID clsid, DWORD dwClsContext,
                REFIID iid, Microsoft::WRL::ComPtr<T>& member)
{
    member.Reset();
    T* pObject = NULL;
    if (FAILED(platform.CreateInstance(clsid, dwClsContext, iid,
                                       reinterpret_cast<void**>(&pObject)))
        || !pObject)
        return false;
    *member.GetAddressOf() = pObject;
    return true;
}

// True when some pin of the filter is connected to another filter.
bool HasConnectedPin(IBaseFilter* pFilter)
{
    Microsoft::WRL::ComPtr<IEnumPins> pEnum;
    if (FAILED(pFilter->EnumPins(pEnum.GetAddressOf())) || !pEnum)
        return false;
    Microsoft::WRL::ComPtr<IPin> pPin;
    while (pEnum->Next(1, pPin.ReleaseAndGetAddressOf(), NULL) == S_OK && pPin) {
        Microsoft::WRL::ComPtr<IPin> pPeer;
        if (SUCCEEDED(pPin->ConnectedTo(pPeer.GetAddressOf())) && pPeer)
            return true;
    }
    return false;
}

} // namespace

// Renders the file with the classic GDI video renderer already in the graph,
// so the graph picks it for the video stream: it draws into a child window
// without help from the graphics card. A renderer left unconnected (a file
// without video, or a render that failed) is taken out of the graph again,
// because video window calls that reach an unconnected renderer are unsafe on
// some platforms; without a renderer they fail cleanly.
HRESULT CPlayerControl::RenderWithVideoRenderer(const WCHAR* wszPath)
{
    ComPtr<IBaseFilter> pRenderer;
    if (CreateInto(m_platform, CLSID_VideoRenderer, CLSCTX_INPROC_SERVER,
                   IID_IBaseFilter, pRenderer)
        && FAILED(g_pGB->AddFilter(pRenderer.Get(), L"Video Renderer")))
        pRenderer.Reset();

    const HRESULT hr = g_pGB->RenderFile(wszPath, NULL);
    if (pRenderer && (FAILED(hr) || !HasConnectedPin(pRenderer.Get())))
        g_pGB->RemoveFilter(pRenderer.Get());
    return hr;
}

int CPlayerControl::OpenFile(const char* pszFile)
{
    // The filter graph manager. Without it there is nothing to open.
    if (!CreateInto(m_platform, CLSID_FilterGraph, CLSCTX_INPROC, IID_IGraphBuilder, g_pGB)) {
        ShowError("Can't create CLSID_FilterGraph");
        return 0;
    }

    // Render the file; a failure is reported and the open goes on.
    WCHAR wszPath[kPathChars] = {0};
    if (!WidenMediaPath(pszFile ? pszFile : "", wszPath)
        || FAILED(RenderWithVideoRenderer(wszPath)))
        ShowError("Can't render file...");

    // The control interfaces, each failure reported on its own.
    QueryControlInterfaces();

    // The video window inside the host window, the picture fitted.
    ShowVideoWindow();

    // The durations; a failure there ends the open.
    return ReadDurations();
}

void CPlayerControl::QueryControlInterfaces()
{
    // The IMediaPosition query reports with the IMediaControl query's text.
    if (!QueryGraph(g_pGB.Get(), IID_IMediaControl, g_pMC))
        ShowError("FAILED(hr = g_pGB.QueryInterface(&g_pMC))");
    if (!QueryGraph(g_pGB.Get(), IID_IMediaPosition, g_pMP))
        ShowError("FAILED(hr = g_pGB.QueryInterface(&g_pMC))");
    if (!QueryGraph(g_pGB.Get(), IID_IMediaEvent, g_pME))
        ShowError("FAILED(hr = g_pGB.QueryInterface(&g_pME))");
    if (!QueryGraph(g_pGB.Get(), IID_IBasicVideo, g_pBV))
        ShowError("FAILED(hr = g_pGB.QueryInterface(&g_pBV))");
    if (!QueryGraph(g_pGB.Get(), IID_IMediaSeeking, g_pMS))
        ShowError("FAILED(hr = g_pGB.QueryInterface(&g_pMS))");
    if (!QueryGraph(g_pGB.Get(), IID_IBasicAudio, g_pBA))
        ShowError("FAILED(hr = g_pGB.QueryInterface(&g_pBA))");
    if (!QueryGraph(g_pGB.Get(), IID_IVideoWindow, m_pVW))
        ShowError("FAILED(hr = g_pGB.QueryInterface(&m_pVW))");
}

void CPlayerControl::ShowVideoWindow()
{
    const OAHWND hOwner = reinterpret_cast<OAHWND>(m_hWnd);

    // The video window becomes a child of the host window.
    if (m_pVW) {
        m_pVW->put_Owner(hOwner);
        m_pVW->put_WindowStyle(kChildStyle);
    }

    // Fit the picture, cover the client area, show the window.
    RECT rcClient;
    const bool bHasClient = FitVideoToWindow(&rcClient);
    if (bHasClient)
        PlaceVideoWindow(rcClient);
    if (!m_pVW)
        return;
    m_pVW->put_MessageDrain(hOwner);
    m_pVW->put_Visible(OATRUE);
    m_pVW->put_FullScreenMode(OAFALSE);

    // Leaving full-screen mode is not a no-op everywhere for a window that
    // was never in it: the window may get back a style "saved" on entering
    // it (none, so it loses WS_CHILD and its clipping styles) and a
    // destination rectangle covering the whole window (a stretched picture
    // until the first resize). So the child style, the fit and the
    // placement are applied again, and the window is shown again, since
    // setting the style hides it. Where the call is a no-op this changes
    // nothing.
    m_pVW->put_WindowStyle(kChildStyle);
    if (bHasClient && FitVideoToWindow(&rcClient))
        PlaceVideoWindow(rcClient);
    m_pVW->put_Visible(OATRUE);
}

int CPlayerControl::ReadDurations()
{
    // A step whose interface could not be obtained fails like a failing
    // call. Nothing is kept from a failed read.
    double dDuration = 0.0;
    if (!g_pMP || FAILED(g_pMP->get_Duration(&dDuration))) {
        ShowError("Can't calc file duration...");
        return 0;
    }
    m_dDuration = dDuration;
    if (!g_pMS || FAILED(g_pMS->SetTimeFormat(&TIME_FORMAT_FRAME))) {
        ShowError("Can't set TIME format...");
        return 0;
    }
    LONGLONG llDuration = 0;
    if (FAILED(g_pMS->GetDuration(&llDuration))) {
        ShowError("Can't GetDuration...");
        return 0;
    }
    m_llDuration = llDuration;
    return 1;
}

int CPlayerControl::Play()
{
    if (!m_bOpened) {
        OpenFile(m_strFile.c_str());
        m_bOpened = true;
    }
    if (g_pMC)
        g_pMC->Run();
    return 1;
}

int CPlayerControl::Stop()
{
    if (!m_bOpened || !g_pMC)
        return 1;
    // Stopping does not rewind: the position stays where playback was, and
    // the next Play goes on from there. Some graph managers move a running
    // graph back to where it was last started when it stops, so the
    // position is read before and put back after.
    double dPosition = 0.0;
    const bool bKnown = g_pMP && SUCCEEDED(g_pMP->get_CurrentPosition(&dPosition));
    g_pMC->Stop();
    if (bKnown)
        g_pMP->put_CurrentPosition(dPosition);
    return 1;
}

int CPlayerControl::Pause()
{
    if (m_bOpened && g_pMC)
        g_pMC->Pause();
    return 1;
}

int CPlayerControl::SetPosition(double seconds)
{
    if (!m_bOpened)
        return 0;
    if (!g_pMP)
        return 1;
    // A running or paused graph is stopped for the seek and put back as it
    // was: Wine's GStreamer splitter, seeked while a file with sound and
    // video runs or is paused, can never be stopped again (Stop and the
    // release then wait forever). A stopped graph seeks cleanly everywhere.
    OAFilterState state = State_Stopped;
    const bool bMoving = g_pMC && SUCCEEDED(g_pMC->GetState(0, &state)) &&
                         (state == State_Running || state == State_Paused);
    if (bMoving)
        g_pMC->Stop();
    g_pMP->put_CurrentPosition(seconds);
    if (bMoving) {
        if (state == State_Running)
            g_pMC->Run();
        else
            g_pMC->Pause();
    }
    return 1;
}

double CPlayerControl::GetPosition()
{
    if (!m_bOpened || !g_pMP)
        return 0.0;
    // A failed read reports the start rather than whatever the callee left.
    double dPosition = 0.0;
    if (FAILED(g_pMP->get_CurrentPosition(&dPosition)))
        return 0.0;
    return dPosition;
}

double CPlayerControl::GetDuration()
{
    return m_bOpened ? m_dDuration : 0.0;
}
