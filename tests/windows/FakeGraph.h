// FakeGraph: a filter graph manager for tests, and FakeFilter, a filter with
// one pin (the renderer a control may add to the graph).
//
// FakeGraph implements IGraphBuilder and the seven control interfaces a
// control asks it for (IMediaControl, IMediaPosition, IMediaEvent,
// IBasicVideo, IMediaSeeking, IBasicAudio, IVideoWindow). Every call is
// written to the shared FakeCallLog with its arguments, e.g.
// "IVideoWindow::SetWindowPosition(0,0,800,400)", and answers what the log
// says (S_OK unless made to fail: log.Fail("IGraphBuilder::RenderFile") or
// log.Fail("QueryInterface(IBasicVideo)", E_NOINTERFACE)). Calls a control
// has no business making are logged too and answer E_NOTIMPL.
//
// The objects belong to the test (they are never deleted through Release);
// RefCount() tells whether a control still holds references.
#ifndef LUMAREL_TESTS_FAKEGRAPH_H
#define LUMAREL_TESTS_FAKEGRAPH_H

#include <windows.h>
#include <control.h>
#include <strmif.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FakeCallLog.h"

// Logs a call of a method the fakes do not support and answers E_NOTIMPL.
#define LUMAREL_FAKE_UNUSED(iface, method, params)                         \
    HRESULT STDMETHODCALLTYPE method params override                      \
    {                                                                      \
        m_log.Call(#iface "::" #method);                                   \
        return E_NOTIMPL;                                                  \
    }

// A pin whose connection the test decides.
class FakePin : public IPin
{
public:
    explicit FakePin(FakeCallLog& log) : m_log(log) {}

    bool connected = true;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override
    {
        *ppv = NULL;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPin))
            return E_NOINTERFACE;
        *ppv = static_cast<IPin*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
    LONG RefCount() const { return m_refs; }

    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** ppPin) override
    {
        *ppPin = NULL;
        m_log.Call("IPin::ConnectedTo");
        if (!connected)
            return VFW_E_NOT_CONNECTED;
        // The peer of a fake pin is the pin itself: only its presence counts.
        AddRef();
        *ppPin = this;
        return S_OK;
    }

    LUMAREL_FAKE_UNUSED(IPin, Connect, (IPin*, const AM_MEDIA_TYPE*))
    LUMAREL_FAKE_UNUSED(IPin, ReceiveConnection, (IPin*, const AM_MEDIA_TYPE*))
    LUMAREL_FAKE_UNUSED(IPin, Disconnect, ())
    LUMAREL_FAKE_UNUSED(IPin, ConnectionMediaType, (AM_MEDIA_TYPE*))
    LUMAREL_FAKE_UNUSED(IPin, QueryPinInfo, (PIN_INFO*))
    LUMAREL_FAKE_UNUSED(IPin, QueryDirection, (PIN_DIRECTION*))
    LUMAREL_FAKE_UNUSED(IPin, QueryId, (LPWSTR*))
    LUMAREL_FAKE_UNUSED(IPin, QueryAccept, (const AM_MEDIA_TYPE*))
    LUMAREL_FAKE_UNUSED(IPin, EnumMediaTypes, (IEnumMediaTypes**))
    LUMAREL_FAKE_UNUSED(IPin, QueryInternalConnections, (IPin**, ULONG*))
    LUMAREL_FAKE_UNUSED(IPin, EndOfStream, ())
    LUMAREL_FAKE_UNUSED(IPin, BeginFlush, ())
    LUMAREL_FAKE_UNUSED(IPin, EndFlush, ())
    LUMAREL_FAKE_UNUSED(IPin, NewSegment, (REFERENCE_TIME, REFERENCE_TIME, double))

private:
    FakeCallLog& m_log;
    LONG m_refs = 0;
};

// Enumerates the one pin of a FakeFilter. Made per EnumPins call and
// deleted on its last Release, like a real enumerator.
class FakeEnumPins final : public IEnumPins
{
public:
    explicit FakeEnumPins(IPin* pPin) : m_pPin(pPin) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override
    {
        *ppv = NULL;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IEnumPins))
            return E_NOINTERFACE;
        *ppv = static_cast<IEnumPins*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) override
    {
        ULONG fetched = 0;
        if (cPins > 0 && !m_bDone) {
            m_pPin->AddRef();
            ppPins[0] = m_pPin;
            fetched = 1;
            m_bDone = true;
        }
        if (pcFetched)
            *pcFetched = fetched;
        return fetched == cPins ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        m_bDone = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins**) override { return E_NOTIMPL; }

private:
    IPin* m_pPin;
    bool m_bDone = false;
    ULONG m_refs = 1;
};

// A filter with one pin, e.g. the video renderer a control adds to a graph.
class FakeFilter : public IBaseFilter
{
public:
    explicit FakeFilter(FakeCallLog& log) : pin(log), m_log(log) {}

    FakePin pin;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override
    {
        *ppv = NULL;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPersist)
            && !IsEqualIID(iid, IID_IMediaFilter) && !IsEqualIID(iid, IID_IBaseFilter))
            return E_NOINTERFACE;
        *ppv = static_cast<IBaseFilter*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
    LONG RefCount() const { return m_refs; }

    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** ppEnum) override
    {
        *ppEnum = NULL;
        const HRESULT hr = m_log.Call("IBaseFilter::EnumPins");
        if (FAILED(hr))
            return hr;
        *ppEnum = new FakeEnumPins(&pin);
        return S_OK;
    }

    LUMAREL_FAKE_UNUSED(IPersist, GetClassID, (CLSID*))
    LUMAREL_FAKE_UNUSED(IMediaFilter, Stop, ())
    LUMAREL_FAKE_UNUSED(IMediaFilter, Pause, ())
    LUMAREL_FAKE_UNUSED(IMediaFilter, Run, (REFERENCE_TIME))
    LUMAREL_FAKE_UNUSED(IMediaFilter, GetState, (DWORD, FILTER_STATE*))
    LUMAREL_FAKE_UNUSED(IMediaFilter, SetSyncSource, (IReferenceClock*))
    LUMAREL_FAKE_UNUSED(IMediaFilter, GetSyncSource, (IReferenceClock**))
    LUMAREL_FAKE_UNUSED(IBaseFilter, FindPin, (LPCWSTR, IPin**))
    LUMAREL_FAKE_UNUSED(IBaseFilter, QueryFilterInfo, (FILTER_INFO*))
    LUMAREL_FAKE_UNUSED(IBaseFilter, JoinFilterGraph, (IFilterGraph*, LPCWSTR))
    LUMAREL_FAKE_UNUSED(IBaseFilter, QueryVendorInfo, (LPWSTR*))

private:
    FakeCallLog& m_log;
    LONG m_refs = 0;
};

class FakeGraph : public IGraphBuilder,
                  public IMediaControl,
                  public IMediaPosition,
                  public IMediaEvent,
                  public IBasicVideo,
                  public IMediaSeeking,
                  public IBasicAudio,
                  public IVideoWindow
{
public:
    explicit FakeGraph(FakeCallLog& log) : m_log(log) {}
    ~FakeGraph() { ReleaseFilters(); }
    FakeGraph(const FakeGraph&) = delete;
    FakeGraph& operator=(const FakeGraph&) = delete;

    // What the graph reports.
    long videoWidth = 320;
    long videoHeight = 240;
    double durationSeconds = 10.0;
    LONGLONG durationFrames = 100;
    double positionSeconds = 0.0;
    // Where Run, Pause and Stop left the graph (those that succeeded).
    OAFilterState filterState = State_Stopped;

    LONG RefCount() const { return m_refs; }
    // The filters added to the graph and not removed again.
    const std::vector<IBaseFilter*>& Filters() const { return m_filters; }

    // IUnknown, shared by every interface of the graph.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override
    {
        *ppv = NULL;
        void* pInterface = NULL;
        const char* pszName = NULL;
        // The graph's own interfaces answer without being logged, so a
        // failure made for "QueryInterface" hits the control interfaces only.
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IGraphBuilder)
            || IsEqualIID(iid, IID_IFilterGraph)) {
            AddRef();
            *ppv = IsEqualIID(iid, IID_IFilterGraph)
                       ? static_cast<void*>(static_cast<IFilterGraph*>(this))
                       : static_cast<void*>(static_cast<IGraphBuilder*>(this));
            return S_OK;
        }
        if (IsEqualIID(iid, IID_IMediaControl))
            pInterface = static_cast<IMediaControl*>(this), pszName = "IMediaControl";
        else if (IsEqualIID(iid, IID_IMediaPosition))
            pInterface = static_cast<IMediaPosition*>(this), pszName = "IMediaPosition";
        else if (IsEqualIID(iid, IID_IMediaEvent))
            pInterface = static_cast<IMediaEvent*>(this), pszName = "IMediaEvent";
        else if (IsEqualIID(iid, IID_IBasicVideo))
            pInterface = static_cast<IBasicVideo*>(this), pszName = "IBasicVideo";
        else if (IsEqualIID(iid, IID_IMediaSeeking))
            pInterface = static_cast<IMediaSeeking*>(this), pszName = "IMediaSeeking";
        else if (IsEqualIID(iid, IID_IBasicAudio))
            pInterface = static_cast<IBasicAudio*>(this), pszName = "IBasicAudio";
        else if (IsEqualIID(iid, IID_IVideoWindow))
            pInterface = static_cast<IVideoWindow*>(this), pszName = "IVideoWindow";
        if (!pszName) {
            m_log.Call("QueryInterface", "other");
            return E_NOINTERFACE;
        }
        const HRESULT hr = m_log.Call("QueryInterface", pszName);
        if (FAILED(hr))
            return hr;
        AddRef();
        *ppv = pInterface;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        // Like a real graph manager, the last release lets go of the filters.
        if (--m_refs == 0)
            ReleaseFilters();
        return m_refs;
    }

    // IDispatch, shared by the automation interfaces: not used.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IFilterGraph / IGraphBuilder
    HRESULT STDMETHODCALLTYPE AddFilter(IBaseFilter* pFilter, LPCWSTR pName) override
    {
        const HRESULT hr = m_log.Call("IGraphBuilder::AddFilter", FakeCallLog::Narrow(pName));
        if (SUCCEEDED(hr)) {
            pFilter->AddRef();
            m_filters.push_back(pFilter);
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE RemoveFilter(IBaseFilter* pFilter) override
    {
        const HRESULT hr = m_log.Call("IGraphBuilder::RemoveFilter");
        auto it = std::find(m_filters.begin(), m_filters.end(), pFilter);
        if (SUCCEEDED(hr) && it != m_filters.end()) {
            m_filters.erase(it);
            pFilter->Release();
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE RenderFile(LPCWSTR lpcwstrFile, LPCWSTR lpcwstrPlayList) override
    {
        return m_log.Call("IGraphBuilder::RenderFile", FakeCallLog::Narrow(lpcwstrFile),
                          lpcwstrPlayList ? "playlist" : "null");
    }
    LUMAREL_FAKE_UNUSED(IGraphBuilder, EnumFilters, (IEnumFilters**))
    LUMAREL_FAKE_UNUSED(IGraphBuilder, FindFilterByName, (LPCWSTR, IBaseFilter**))
    LUMAREL_FAKE_UNUSED(IGraphBuilder, ConnectDirect, (IPin*, IPin*, const AM_MEDIA_TYPE*))
    LUMAREL_FAKE_UNUSED(IGraphBuilder, Reconnect, (IPin*))
    LUMAREL_FAKE_UNUSED(IGraphBuilder, Disconnect, (IPin*))
    LUMAREL_FAKE_UNUSED(IGraphBuilder, SetDefaultSyncSource, ())
    LUMAREL_FAKE_UNUSED(IGraphBuilder, Connect, (IPin*, IPin*))
    LUMAREL_FAKE_UNUSED(IGraphBuilder, Render, (IPin*))
    LUMAREL_FAKE_UNUSED(IGraphBuilder, AddSourceFilter, (LPCWSTR, LPCWSTR, IBaseFilter**))
    LUMAREL_FAKE_UNUSED(IGraphBuilder, SetLogFile, (DWORD_PTR))
    LUMAREL_FAKE_UNUSED(IGraphBuilder, Abort, ())
    LUMAREL_FAKE_UNUSED(IGraphBuilder, ShouldOperationContinue, ())

    // IMediaControl
    HRESULT STDMETHODCALLTYPE Run() override { return Transport("IMediaControl::Run", State_Running); }
    HRESULT STDMETHODCALLTYPE Pause() override
    {
        return Transport("IMediaControl::Pause", State_Paused);
    }
    HRESULT STDMETHODCALLTYPE Stop() override { return Transport("IMediaControl::Stop", State_Stopped); }
    HRESULT STDMETHODCALLTYPE GetState(LONG, OAFilterState* pfs) override
    {
        const HRESULT hr = m_log.Call("IMediaControl::GetState");
        *pfs = SUCCEEDED(hr) ? filterState : -1;
        return hr;
    }
    LUMAREL_FAKE_UNUSED(IMediaControl, RenderFile, (BSTR))
    LUMAREL_FAKE_UNUSED(IMediaControl, AddSourceFilter, (BSTR, IDispatch**))
    LUMAREL_FAKE_UNUSED(IMediaControl, get_FilterCollection, (IDispatch**))
    LUMAREL_FAKE_UNUSED(IMediaControl, get_RegFilterCollection, (IDispatch**))
    LUMAREL_FAKE_UNUSED(IMediaControl, StopWhenReady, ())

    // IMediaPosition
    HRESULT STDMETHODCALLTYPE get_Duration(REFTIME* plength) override
    {
        const HRESULT hr = m_log.Call("IMediaPosition::get_Duration");
        // A failing call leaves garbage behind, as a careless callee might.
        *plength = SUCCEEDED(hr) ? durationSeconds : -12345.0;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE put_CurrentPosition(REFTIME llTime) override
    {
        const HRESULT hr = m_log.Call("IMediaPosition::put_CurrentPosition", llTime);
        if (SUCCEEDED(hr))
            positionSeconds = llTime;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE get_CurrentPosition(REFTIME* pllTime) override
    {
        const HRESULT hr = m_log.Call("IMediaPosition::get_CurrentPosition");
        *pllTime = SUCCEEDED(hr) ? positionSeconds : -12345.0;
        return hr;
    }
    LUMAREL_FAKE_UNUSED(IMediaPosition, get_StopTime, (REFTIME*))
    LUMAREL_FAKE_UNUSED(IMediaPosition, put_StopTime, (REFTIME))
    LUMAREL_FAKE_UNUSED(IMediaPosition, get_PrerollTime, (REFTIME*))
    LUMAREL_FAKE_UNUSED(IMediaPosition, put_PrerollTime, (REFTIME))
    LUMAREL_FAKE_UNUSED(IMediaPosition, put_Rate, (double))
    LUMAREL_FAKE_UNUSED(IMediaPosition, get_Rate, (double*))
    LUMAREL_FAKE_UNUSED(IMediaPosition, CanSeekForward, (LONG*))
    LUMAREL_FAKE_UNUSED(IMediaPosition, CanSeekBackward, (LONG*))

    // IMediaEvent: obtained by a control, never used.
    LUMAREL_FAKE_UNUSED(IMediaEvent, GetEventHandle, (OAEVENT*))
    LUMAREL_FAKE_UNUSED(IMediaEvent, GetEvent, (long*, LONG_PTR*, LONG_PTR*, long))
    LUMAREL_FAKE_UNUSED(IMediaEvent, WaitForCompletion, (long, long*))
    LUMAREL_FAKE_UNUSED(IMediaEvent, CancelDefaultHandling, (long))
    LUMAREL_FAKE_UNUSED(IMediaEvent, RestoreDefaultHandling, (long))
    LUMAREL_FAKE_UNUSED(IMediaEvent, FreeEventParams, (long, LONG_PTR, LONG_PTR))

    // IBasicVideo
    HRESULT STDMETHODCALLTYPE GetVideoSize(long* pWidth, long* pHeight) override
    {
        const HRESULT hr = m_log.Call("IBasicVideo::GetVideoSize");
        *pWidth = SUCCEEDED(hr) ? videoWidth : -777;
        *pHeight = SUCCEEDED(hr) ? videoHeight : -777;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE SetDestinationPosition(long left, long top, long width,
                                                     long height) override
    {
        return m_log.Call("IBasicVideo::SetDestinationPosition", left, top, width, height);
    }
    LUMAREL_FAKE_UNUSED(IBasicVideo, get_AvgTimePerFrame, (REFTIME*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, get_BitRate, (long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, get_BitErrorRate, (long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, get_VideoWidth, (long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, get_VideoHeight, (long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, put_SourceLeft, (long))
    LUMAREL_FAKE_UNUSED(IBasicVideo, get_SourceLeft, (long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, put_SourceWidth, (long))
    LUMAREL_FAKE_UNUSED(IBasicVideo, get_SourceWidth, (long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, put_SourceTop, (long))
    LUMAREL_FAKE_UNUSED(IBasicVideo, get_SourceTop, (long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, put_SourceHeight, (long))
    LUMAREL_FAKE_UNUSED(IBasicVideo, get_SourceHeight, (long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, put_DestinationLeft, (long))
    LUMAREL_FAKE_UNUSED(IBasicVideo, get_DestinationLeft, (long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, put_DestinationWidth, (long))
    LUMAREL_FAKE_UNUSED(IBasicVideo, get_DestinationWidth, (long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, put_DestinationTop, (long))
    LUMAREL_FAKE_UNUSED(IBasicVideo, get_DestinationTop, (long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, put_DestinationHeight, (long))
    LUMAREL_FAKE_UNUSED(IBasicVideo, get_DestinationHeight, (long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, SetSourcePosition, (long, long, long, long))
    LUMAREL_FAKE_UNUSED(IBasicVideo, GetSourcePosition, (long*, long*, long*, long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, SetDefaultSourcePosition, ())
    LUMAREL_FAKE_UNUSED(IBasicVideo, GetDestinationPosition, (long*, long*, long*, long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, SetDefaultDestinationPosition, ())
    LUMAREL_FAKE_UNUSED(IBasicVideo, GetVideoPaletteEntries, (long, long, long*, long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, GetCurrentImage, (long*, long*))
    LUMAREL_FAKE_UNUSED(IBasicVideo, IsUsingDefaultSource, ())
    LUMAREL_FAKE_UNUSED(IBasicVideo, IsUsingDefaultDestination, ())

    // IMediaSeeking
    HRESULT STDMETHODCALLTYPE SetTimeFormat(const GUID* pFormat) override
    {
        return m_log.Call("IMediaSeeking::SetTimeFormat",
                          IsEqualGUID(*pFormat, TIME_FORMAT_FRAME) ? "TIME_FORMAT_FRAME"
                                                                   : "other");
    }
    HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG* pDuration) override
    {
        const HRESULT hr = m_log.Call("IMediaSeeking::GetDuration");
        *pDuration = SUCCEEDED(hr) ? durationFrames : -777;
        return hr;
    }
    LUMAREL_FAKE_UNUSED(IMediaSeeking, GetCapabilities, (DWORD*))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, CheckCapabilities, (DWORD*))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, IsFormatSupported, (const GUID*))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, QueryPreferredFormat, (GUID*))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, GetTimeFormat, (GUID*))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, IsUsingTimeFormat, (const GUID*))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, GetStopPosition, (LONGLONG*))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, GetCurrentPosition, (LONGLONG*))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, ConvertTimeFormat, (LONGLONG*, const GUID*, LONGLONG,
                                                           const GUID*))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, SetPositions, (LONGLONG*, DWORD, LONGLONG*, DWORD))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, GetPositions, (LONGLONG*, LONGLONG*))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, GetAvailable, (LONGLONG*, LONGLONG*))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, SetRate, (double))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, GetRate, (double*))
    LUMAREL_FAKE_UNUSED(IMediaSeeking, GetPreroll, (LONGLONG*))

    // IBasicAudio: obtained by a control, never used.
    LUMAREL_FAKE_UNUSED(IBasicAudio, put_Volume, (long))
    LUMAREL_FAKE_UNUSED(IBasicAudio, get_Volume, (long*))
    LUMAREL_FAKE_UNUSED(IBasicAudio, put_Balance, (long))
    LUMAREL_FAKE_UNUSED(IBasicAudio, get_Balance, (long*))

    // IVideoWindow
    HRESULT STDMETHODCALLTYPE put_Owner(OAHWND Owner) override
    {
        return m_log.Call("IVideoWindow::put_Owner", HandleText(Owner));
    }
    HRESULT STDMETHODCALLTYPE put_WindowStyle(long WindowStyle) override
    {
        return m_log.Call("IVideoWindow::put_WindowStyle", HexText(WindowStyle));
    }
    HRESULT STDMETHODCALLTYPE put_MessageDrain(OAHWND Drain) override
    {
        return m_log.Call("IVideoWindow::put_MessageDrain", HandleText(Drain));
    }
    HRESULT STDMETHODCALLTYPE put_Visible(long Visible) override
    {
        return m_log.Call("IVideoWindow::put_Visible", Visible);
    }
    HRESULT STDMETHODCALLTYPE put_FullScreenMode(long FullScreenMode) override
    {
        return m_log.Call("IVideoWindow::put_FullScreenMode", FullScreenMode);
    }
    HRESULT STDMETHODCALLTYPE SetWindowPosition(long Left, long Top, long Width,
                                                long Height) override
    {
        return m_log.Call("IVideoWindow::SetWindowPosition", Left, Top, Width, Height);
    }
    LUMAREL_FAKE_UNUSED(IVideoWindow, put_Caption, (BSTR))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_Caption, (BSTR*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_WindowStyle, (long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, put_WindowStyleEx, (long))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_WindowStyleEx, (long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, put_AutoShow, (long))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_AutoShow, (long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, put_WindowState, (long))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_WindowState, (long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, put_BackgroundPalette, (long))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_BackgroundPalette, (long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_Visible, (long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, put_Left, (long))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_Left, (long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, put_Width, (long))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_Width, (long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, put_Top, (long))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_Top, (long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, put_Height, (long))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_Height, (long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_Owner, (OAHWND*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_MessageDrain, (OAHWND*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_BorderColor, (long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, put_BorderColor, (long))
    LUMAREL_FAKE_UNUSED(IVideoWindow, get_FullScreenMode, (long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, SetWindowForeground, (long))
    LUMAREL_FAKE_UNUSED(IVideoWindow, NotifyOwnerMessage, (OAHWND, long, LONG_PTR, LONG_PTR))
    LUMAREL_FAKE_UNUSED(IVideoWindow, GetWindowPosition, (long*, long*, long*, long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, GetMinIdealImageSize, (long*, long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, GetMaxIdealImageSize, (long*, long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, GetRestorePosition, (long*, long*, long*, long*))
    LUMAREL_FAKE_UNUSED(IVideoWindow, HideCursor, (long))
    LUMAREL_FAKE_UNUSED(IVideoWindow, IsCursorHidden, (long*))

    // Handles and window styles are logged in hex, e.g. "0x46000000".
    static std::string HandleText(OAHWND h) { return HexText(static_cast<long>(h)); }
    static std::string HexText(long value)
    {
        char buf[16];
        wsprintfA(buf, "0x%08lX", static_cast<unsigned long>(value));
        return buf;
    }

private:
    HRESULT Transport(const char* name, OAFilterState next)
    {
        const HRESULT hr = m_log.Call(name);
        if (SUCCEEDED(hr))
            filterState = next;
        return hr;
    }

    void ReleaseFilters()
    {
        for (IBaseFilter* pFilter : m_filters)
            pFilter->Release();
        m_filters.clear();
    }

    FakeCallLog& m_log;
    LONG m_refs = 0;
    std::vector<IBaseFilter*> m_filters;
};

#undef LUMAREL_FAKE_UNUSED

#endif
