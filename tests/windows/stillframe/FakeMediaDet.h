// FakeMediaDet: a media detector for tests.
//
// Logs each call with its arguments to the shared FakeCallLog, e.g.
// "IMediaDet::WriteBitmapBits(2.5,320,200,C:\clip.avi.bmp)" or
// "IMediaDet::GetBitmapBits(2.5,size,null,320,200)", and answers what the
// log says (S_OK unless made to fail). The size query reports the frame's
// size (or reportedSize), the fill copies the frame (or throws), and
// WriteBitmapBits writes sidecarToWrite to the path it is given. The object
// belongs to the test; RefCount() tells whether a control still holds it.
#ifndef LUMAREL_TESTS_STILLFRAME_FAKEMEDIADET_H
#define LUMAREL_TESTS_STILLFRAME_FAKEMEDIADET_H

#include <windows.h>
#include <qedit.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeCallLog.h"

#define LUMAREL_FAKE_DET_UNUSED(method, params)                            \
    HRESULT STDMETHODCALLTYPE method params override                      \
    {                                                                      \
        m_log.Call("IMediaDet::" #method);                                 \
        return E_NOTIMPL;                                                  \
    }

class FakeMediaDet : public IMediaDet
{
public:
    explicit FakeMediaDet(FakeCallLog& log) : m_log(log) {}

    // What the fill copies: a 40-byte info header, then the pixels.
    std::vector<uint8_t> frame;
    // What the size query reports; negative: the frame's size.
    LONG reportedSize = -1;
    // The fill throws a C++ exception instead of copying.
    bool throwOnFill = false;
    // What WriteBitmapBits leaves at its path; nothing when empty.
    std::vector<uint8_t> sidecarToWrite;
    // Every BSTR received carried the length of its text in front of it.
    bool bstrLengthsMatch = true;

    LONG RefCount() const { return m_refs; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override
    {
        *ppv = NULL;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IMediaDet))
            return E_NOINTERFACE;
        *ppv = static_cast<IMediaDet*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }

    HRESULT STDMETHODCALLTYPE put_Filename(BSTR newVal) override
    {
        CheckBstr(newVal);
        return m_log.Call("IMediaDet::put_Filename", FakeCallLog::Narrow(newVal));
    }
    HRESULT STDMETHODCALLTYPE put_CurrentStream(LONG newVal) override
    {
        return m_log.Call("IMediaDet::put_CurrentStream", newVal);
    }
    HRESULT STDMETHODCALLTYPE WriteBitmapBits(double streamTime, LONG width, LONG height,
                                              BSTR filename) override
    {
        CheckBstr(filename);
        const HRESULT hr = m_log.Call("IMediaDet::WriteBitmapBits", streamTime, width,
                                      height, FakeCallLog::Narrow(filename));
        if (SUCCEEDED(hr) && !sidecarToWrite.empty() && filename) {
            FILE* f = _wfopen(filename, L"wb");
            if (f) {
                std::fwrite(sidecarToWrite.data(), 1, sidecarToWrite.size(), f);
                std::fclose(f);
            }
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetBitmapBits(double streamTime, LONG* pBufferSize,
                                            char* pBuffer, LONG width, LONG height) override
    {
        const HRESULT hr = m_log.Call("IMediaDet::GetBitmapBits", streamTime,
                                      pBufferSize ? "size" : "null",
                                      pBuffer ? "buffer" : "null", width, height);
        if (FAILED(hr))
            return hr;
        const LONG size = reportedSize >= 0 ? reportedSize : static_cast<LONG>(frame.size());
        if (pBufferSize)
            *pBufferSize = size;
        if (pBuffer) {
            if (throwOnFill)
                throw std::runtime_error("the grab failed");
            std::memcpy(pBuffer, frame.data(), std::min(frame.size(), static_cast<size_t>(size)));
        }
        return hr;
    }

    LUMAREL_FAKE_DET_UNUSED(get_Filter, (IUnknown**))
    LUMAREL_FAKE_DET_UNUSED(put_Filter, (IUnknown*))
    LUMAREL_FAKE_DET_UNUSED(get_OutputStreams, (LONG*))
    LUMAREL_FAKE_DET_UNUSED(get_CurrentStream, (LONG*))
    LUMAREL_FAKE_DET_UNUSED(get_StreamType, (GUID*))
    LUMAREL_FAKE_DET_UNUSED(get_StreamTypeB, (BSTR*))
    LUMAREL_FAKE_DET_UNUSED(get_StreamLength, (double*))
    LUMAREL_FAKE_DET_UNUSED(get_Filename, (BSTR*))
    LUMAREL_FAKE_DET_UNUSED(get_StreamMediaType, (AM_MEDIA_TYPE*))
    LUMAREL_FAKE_DET_UNUSED(GetSampleGrabber, (ISampleGrabber**))
    LUMAREL_FAKE_DET_UNUSED(get_FrameRate, (double*))
    LUMAREL_FAKE_DET_UNUSED(EnterBitmapGrabMode, (double))

private:
    void CheckBstr(BSTR bstr)
    {
        if (!bstr || SysStringLen(bstr) != std::wcslen(bstr))
            bstrLengthsMatch = false;
    }

    FakeCallLog& m_log;
    LONG m_refs = 0;
};

#endif
