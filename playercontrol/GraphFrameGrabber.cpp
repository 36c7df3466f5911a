#include "GraphFrameGrabber.h"
#include "WidePath.h"

#include <strmif.h>
#include <amvideo.h>
#include <control.h>
#include <dvdmedia.h>
#include <qedit.h>
#include <uuids.h>
#include <vfwmsgs.h>
#include <wrl/client.h>

#include <cmath>
#include <cstring>
#include <new>
#include <string>

namespace {

using Microsoft::WRL::ComPtr;

// The class ids of the Sample Grabber and the Null Renderer; MinGW-w64's
// qedit.h declares their interfaces but not these.
const CLSID kClsidSampleGrabber = {
    0xC1F400A0, 0x3F08, 0x11d3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
const CLSID kClsidNullRenderer = {
    0xC1F400A4, 0x3F08, 0x11d3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

// How long the graph may take to pause on the frame: decoding one frame of
// any sane file takes far less; a graph that takes longer is stuck.
const DWORD kPauseTimeoutMs = 10000;

// Frames larger than this are not what a still frame grabs from.
const LONG kMaxSourceDimension = 16384;

// Seconds to the graph's 100 ns units, rounded to the nearest unit.
LONGLONG ToReferenceTime(double seconds)
{
    if (!(seconds > 0.0)) // negative, zero or NaN
        return 0;
    const double units = seconds * 10000000.0;
    if (units >= 9.0e18)
        return 9000000000000000000LL;
    return std::llround(units);
}

void FreeMediaTypeContents(AM_MEDIA_TYPE& mt)
{
    if (mt.cbFormat != 0)
        CoTaskMemFree(mt.pbFormat);
    if (mt.pUnk != NULL)
        mt.pUnk->Release();
    std::memset(&mt, 0, sizeof(mt));
}

// The first pin of pFilter in direction dir that is not connected yet.
ComPtr<IPin> FindFreePin(IBaseFilter* pFilter, PIN_DIRECTION dir)
{
    ComPtr<IEnumPins> pEnum;
    if (FAILED(pFilter->EnumPins(pEnum.GetAddressOf())))
        return nullptr;
    ComPtr<IPin> pPin;
    while (pEnum->Next(1, pPin.ReleaseAndGetAddressOf(), NULL) == S_OK) {
        PIN_DIRECTION pinDir;
        ComPtr<IPin> pPeer;
        if (SUCCEEDED(pPin->QueryDirection(&pinDir)) && pinDir == dir &&
            pPin->ConnectedTo(pPeer.GetAddressOf()) == VFW_E_NOT_CONNECTED)
            return pPin;
    }
    return nullptr;
}

HRESULT AddFilter(IPlatformServices& platform, IGraphBuilder* pGraph, REFCLSID clsid,
                  const wchar_t* pwszName, ComPtr<IBaseFilter>& pFilter)
{
    HRESULT hr = platform.CreateInstance(clsid, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         reinterpret_cast<void**>(pFilter.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    if (!pFilter)
        return E_POINTER;
    return pGraph->AddFilter(pFilter.Get(), pwszName);
}

// Connects the source, through whatever splitters and decoders the graph
// finds, to the grabber: first asking for 24-bit RGB, then for 32-bit.
HRESULT ConnectSourceToGrabber(IGraphBuilder* pGraph, IBaseFilter* pSource,
                               ISampleGrabber* pGrabber, IPin* pGrabberIn)
{
    HRESULT hr = VFW_E_CANNOT_CONNECT;
    for (const GUID* pSubtype : {&MEDIASUBTYPE_RGB24, &MEDIASUBTYPE_RGB32}) {
        AM_MEDIA_TYPE mt;
        std::memset(&mt, 0, sizeof(mt));
        mt.majortype = MEDIATYPE_Video;
        mt.subtype = *pSubtype;
        if (FAILED(pGrabber->SetMediaType(&mt)))
            continue;
        // A source may have several outputs (a splitter: video, audio); the
        // first that reaches the grabber is the video.
        ComPtr<IEnumPins> pEnum;
        if (FAILED(pSource->EnumPins(pEnum.GetAddressOf())))
            return E_FAIL;
        ComPtr<IPin> pPin;
        while (pEnum->Next(1, pPin.ReleaseAndGetAddressOf(), NULL) == S_OK) {
            PIN_DIRECTION dir;
            if (FAILED(pPin->QueryDirection(&dir)) || dir != PINDIR_OUTPUT)
                continue;
            hr = pGraph->Connect(pPin.Get(), pGrabberIn);
            if (SUCCEEDED(hr))
                return hr;
        }
    }
    return FAILED(hr) ? hr : VFW_E_CANNOT_CONNECT;
}

// The format the grabber receives, checked to be one it can hand out as a
// plain uncompressed DIB.
HRESULT ReadConnectedFormat(ISampleGrabber* pGrabber, BITMAPINFOHEADER& bih)
{
    AM_MEDIA_TYPE mt;
    std::memset(&mt, 0, sizeof(mt));
    HRESULT hr = pGrabber->GetConnectedMediaType(&mt);
    if (FAILED(hr))
        return hr;
    hr = VFW_E_INVALIDMEDIATYPE;
    if (mt.pbFormat != NULL && mt.formattype == FORMAT_VideoInfo &&
        mt.cbFormat >= sizeof(VIDEOINFOHEADER)) {
        bih = reinterpret_cast<VIDEOINFOHEADER*>(mt.pbFormat)->bmiHeader;
        hr = S_OK;
    } else if (mt.pbFormat != NULL && mt.formattype == FORMAT_VideoInfo2 &&
               mt.cbFormat >= sizeof(VIDEOINFOHEADER2)) {
        bih = reinterpret_cast<VIDEOINFOHEADER2*>(mt.pbFormat)->bmiHeader;
        hr = S_OK;
    }
    const bool isRgb = mt.subtype == MEDIASUBTYPE_RGB24 || mt.subtype == MEDIASUBTYPE_RGB32;
    FreeMediaTypeContents(mt);
    if (FAILED(hr))
        return hr;
    const LONG absHeight = bih.biHeight < 0 ? -bih.biHeight : bih.biHeight;
    if (!isRgb || bih.biCompression != BI_RGB ||
        (bih.biBitCount != 24 && bih.biBitCount != 32) || bih.biWidth <= 0 ||
        bih.biWidth > kMaxSourceDimension || absHeight == 0 ||
        absHeight > kMaxSourceDimension)
        return VFW_E_INVALIDMEDIATYPE;
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biPlanes = 1;
    bih.biClrUsed = 0;
    return S_OK;
}

size_t DibStride(LONG width, WORD bitCount)
{
    return (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
}

// The pixels of the frame at time, as the grabber holds them once the graph
// has paused on it.
HRESULT GrabAt(IGraphBuilder* pGraph, ISampleGrabber* pGrabber, LONGLONG time,
               std::vector<BYTE>& pixels)
{
    ComPtr<IMediaControl> pControl;
    ComPtr<IMediaSeeking> pSeeking;
    HRESULT hr = pGraph->QueryInterface(IID_IMediaControl,
                                        reinterpret_cast<void**>(pControl.GetAddressOf()));
    if (SUCCEEDED(hr))
        hr = pGraph->QueryInterface(IID_IMediaSeeking,
                                    reinterpret_cast<void**>(pSeeking.GetAddressOf()));
    if (FAILED(hr))
        return hr;

    // Seeking a paused graph hands back the frame it paused on before; a
    // stopped graph seeks cleanly and pauses on the frame asked for.
    pControl->Stop();
    hr = pSeeking->SetPositions(&time, AM_SEEKING_AbsolutePositioning, NULL,
                                AM_SEEKING_NoPositioning);
    if (FAILED(hr))
        return hr;
    hr = pControl->Pause();
    if (FAILED(hr)) {
        pControl->Stop();
        return hr;
    }
    OAFilterState state = State_Stopped;
    hr = pControl->GetState(kPauseTimeoutMs, &state);
    if (hr != S_OK || state != State_Paused) {
        pControl->Stop();
        return FAILED(hr) ? hr : VFW_E_TIMEOUT;
    }

    long cb = 0;
    hr = pGrabber->GetCurrentBuffer(&cb, NULL);
    if (SUCCEEDED(hr) && cb > 0) {
        pixels.assign(static_cast<size_t>(cb), 0);
        hr = pGrabber->GetCurrentBuffer(&cb, reinterpret_cast<long*>(pixels.data()));
        if (SUCCEEDED(hr) && cb >= 0 && static_cast<size_t>(cb) <= pixels.size())
            pixels.resize(static_cast<size_t>(cb));
        else if (SUCCEEDED(hr))
            hr = E_UNEXPECTED;
    } else if (SUCCEEDED(hr)) {
        hr = VFW_E_BUFFER_UNDERFLOW;
    }
    pControl->Stop();
    return hr;
}

// Stretches the source DIB to nWidth x nHeight 24-bit with HALFTONE and
// lays the result out as a 40-byte header followed by the pixels.
HRESULT ScaleFrame(const BITMAPINFOHEADER& srcHeader, const std::vector<BYTE>& srcPixels,
                   LONG nWidth, LONG nHeight, std::vector<BYTE>& frame)
{
    BITMAPINFO dst;
    std::memset(&dst, 0, sizeof(dst));
    dst.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    dst.bmiHeader.biWidth = nWidth;
    dst.bmiHeader.biHeight = nHeight; // bottom-up, like the detector's
    dst.bmiHeader.biPlanes = 1;
    dst.bmiHeader.biBitCount = 24;
    dst.bmiHeader.biCompression = BI_RGB;
    const size_t dstBytes = DibStride(nWidth, 24) * static_cast<size_t>(nHeight);
    dst.bmiHeader.biSizeImage = static_cast<DWORD>(dstBytes);

    HDC hdc = CreateCompatibleDC(NULL);
    if (hdc == NULL)
        return E_FAIL;
    void* pDstBits = NULL;
    HBITMAP hbm = CreateDIBSection(hdc, &dst, DIB_RGB_COLORS, &pDstBits, NULL, 0);
    if (hbm == NULL || pDstBits == NULL) {
        if (hbm != NULL)
            DeleteObject(hbm);
        DeleteDC(hdc);
        return E_OUTOFMEMORY;
    }
    HGDIOBJ hOld = SelectObject(hdc, hbm);
    SetStretchBltMode(hdc, HALFTONE);
    SetBrushOrgEx(hdc, 0, 0, NULL); // HALFTONE wants it after the mode is set

    BITMAPINFO src;
    std::memset(&src, 0, sizeof(src));
    src.bmiHeader = srcHeader;
    const LONG srcHeight = srcHeader.biHeight < 0 ? -srcHeader.biHeight : srcHeader.biHeight;
    const int lines = StretchDIBits(hdc, 0, 0, nWidth, nHeight, 0, 0, srcHeader.biWidth,
                                    srcHeight, srcPixels.data(), &src, DIB_RGB_COLORS,
                                    SRCCOPY);
    GdiFlush();
    HRESULT hr = E_FAIL;
    if (lines > 0) {
        frame.resize(sizeof(BITMAPINFOHEADER) + dstBytes);
        std::memcpy(frame.data(), &dst.bmiHeader, sizeof(BITMAPINFOHEADER));
        std::memcpy(frame.data() + sizeof(BITMAPINFOHEADER), pDstBits, dstBytes);
        hr = S_OK;
    }
    SelectObject(hdc, hOld);
    DeleteObject(hbm);
    DeleteDC(hdc);
    return hr;
}

HRESULT GrabFrame(IPlatformServices& platform, const WCHAR* pwszMediaFile, LONGLONG time,
                  LONG nWidth, LONG nHeight, std::vector<BYTE>& frame)
{
    ComPtr<IGraphBuilder> pGraph;
    HRESULT hr = platform.CreateInstance(CLSID_FilterGraph, CLSCTX_INPROC_SERVER,
                                         IID_IGraphBuilder,
                                         reinterpret_cast<void**>(pGraph.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    if (!pGraph)
        return E_POINTER;

    ComPtr<IBaseFilter> pSource;
    hr = pGraph->AddSourceFilter(pwszMediaFile, L"Source", pSource.GetAddressOf());
    if (FAILED(hr))
        return hr;
    if (!pSource)
        return E_POINTER;

    ComPtr<IBaseFilter> pGrabberFilter;
    ComPtr<IBaseFilter> pRenderer;
    ComPtr<ISampleGrabber> pGrabber;
    hr = AddFilter(platform, pGraph.Get(), kClsidSampleGrabber, L"Sample Grabber",
                   pGrabberFilter);
    if (SUCCEEDED(hr))
        hr = pGrabberFilter->QueryInterface(IID_ISampleGrabber,
                                            reinterpret_cast<void**>(pGrabber.GetAddressOf()));
    if (SUCCEEDED(hr))
        hr = AddFilter(platform, pGraph.Get(), kClsidNullRenderer, L"Null Renderer", pRenderer);
    if (FAILED(hr))
        return hr;

    ComPtr<IPin> pGrabberIn = FindFreePin(pGrabberFilter.Get(), PINDIR_INPUT);
    if (!pGrabberIn)
        return VFW_E_NOT_FOUND;
    hr = ConnectSourceToGrabber(pGraph.Get(), pSource.Get(), pGrabber.Get(), pGrabberIn.Get());
    if (FAILED(hr))
        return hr;
    ComPtr<IPin> pGrabberOut = FindFreePin(pGrabberFilter.Get(), PINDIR_OUTPUT);
    ComPtr<IPin> pRendererIn = FindFreePin(pRenderer.Get(), PINDIR_INPUT);
    if (!pGrabberOut || !pRendererIn)
        return VFW_E_NOT_FOUND;
    hr = pGraph->ConnectDirect(pGrabberOut.Get(), pRendererIn.Get(), NULL);
    if (FAILED(hr))
        return hr;

    BITMAPINFOHEADER srcHeader;
    hr = ReadConnectedFormat(pGrabber.Get(), srcHeader);
    if (FAILED(hr))
        return hr;
    pGrabber->SetOneShot(FALSE);
    hr = pGrabber->SetBufferSamples(TRUE);
    if (FAILED(hr))
        return hr;

    // No clock: the paused graph must not wait for any presentation time.
    ComPtr<IMediaFilter> pMediaFilter;
    hr = pGraph->QueryInterface(IID_IMediaFilter,
                                reinterpret_cast<void**>(pMediaFilter.GetAddressOf()));
    if (SUCCEEDED(hr))
        hr = pMediaFilter->SetSyncSource(NULL);
    if (FAILED(hr))
        return hr;

    std::vector<BYTE> pixels;
    hr = GrabAt(pGraph.Get(), pGrabber.Get(), time, pixels);
    if (FAILED(hr))
        return hr;
    const LONG srcHeight = srcHeader.biHeight < 0 ? -srcHeader.biHeight : srcHeader.biHeight;
    if (pixels.size() < DibStride(srcHeader.biWidth, srcHeader.biBitCount) *
                            static_cast<size_t>(srcHeight))
        return VFW_E_BUFFER_UNDERFLOW;
    return ScaleFrame(srcHeader, pixels, nWidth, nHeight, frame);
}

} // namespace

HRESULT GrabFrameThroughGraph(IPlatformServices& platform, const char* pszMediaFile,
                              double streamTime, LONG nWidth, LONG nHeight,
                              std::vector<BYTE>& frame)
{
    frame.clear();
    if (nWidth <= 0 || nHeight <= 0 || nWidth > kMaxSourceDimension ||
        nHeight > kMaxSourceDimension)
        return E_INVALIDARG;
    WCHAR wszMediaFile[MAX_PATH];
    if (!WidenMediaPath(pszMediaFile, wszMediaFile))
        return E_INVALIDARG;
    HRESULT hr;
    try {
        hr = GrabFrame(platform, wszMediaFile, ToReferenceTime(streamTime), nWidth, nHeight,
                       frame);
    } catch (const std::bad_alloc&) {
        // A frame too large for this process: no exception leaves here.
        hr = E_OUTOFMEMORY;
    }
    if (FAILED(hr))
        frame.clear();
    return hr;
}

namespace {

// What a grab thread needs and leaves, shared by the caller and the thread:
// whichever lets go last frees it, so an abandoned grab cleans up after
// itself whenever it ends.
struct GrabJob
{
    LONG refs;
    HMODULE hModule; // held for the thread: its code must stay mapped
    IPlatformServices* platform;
    std::string file;
    double streamTime;
    LONG nWidth;
    LONG nHeight;
    HRESULT hr;
    std::vector<BYTE> frame;
};

void ReleaseGrabJob(GrabJob* job)
{
    if (InterlockedDecrement(&job->refs) == 0)
        delete job;
}

DWORD WINAPI GrabThread(void* param)
{
    GrabJob* job = static_cast<GrabJob*>(param);
    const HMODULE hModule = job->hModule;
    const HRESULT hrCom = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hrCom)) {
        job->hr = GrabFrameThroughGraph(*job->platform, job->file.c_str(), job->streamTime,
                                        job->nWidth, job->nHeight, job->frame);
        CoUninitialize();
    } else {
        job->hr = hrCom;
    }
    ReleaseGrabJob(job);
    FreeLibraryAndExitThread(hModule, 0);
    return 0;
}

// The module this code lives in (the DLL, or a program it is linked into),
// with a reference that keeps it loaded.
HMODULE HoldThisModule()
{
    HMODULE hModule = NULL;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(&GrabThread), &hModule);
    return hModule;
}

} // namespace

HRESULT GrabFrameThroughGraphWithin(IPlatformServices& platform, const char* pszMediaFile,
                                    double streamTime, LONG nWidth, LONG nHeight,
                                    DWORD timeoutMs, std::vector<BYTE>& frame)
{
    frame.clear();
    if (pszMediaFile == NULL)
        return E_INVALIDARG;
    GrabJob* job = new (std::nothrow) GrabJob();
    if (job == NULL)
        return E_OUTOFMEMORY;
    try {
        job->file = pszMediaFile;
    } catch (...) {
        delete job;
        return E_OUTOFMEMORY;
    }
    job->refs = 2;
    job->platform = &platform;
    job->streamTime = streamTime;
    job->nWidth = nWidth;
    job->nHeight = nHeight;
    job->hr = E_FAIL;
    job->hModule = HoldThisModule();
    if (job->hModule == NULL) {
        delete job;
        return E_FAIL;
    }

    HANDLE hThread = CreateThread(NULL, 0, GrabThread, job, 0, NULL);
    if (hThread == NULL) {
        FreeLibrary(job->hModule);
        delete job;
        return E_OUTOFMEMORY;
    }
    HRESULT hr = VFW_E_TIMEOUT;
    if (WaitForSingleObject(hThread, timeoutMs) == WAIT_OBJECT_0) {
        hr = job->hr;
        if (SUCCEEDED(hr))
            frame.swap(job->frame);
    }
    CloseHandle(hThread);
    ReleaseGrabJob(job);
    return hr;
}
