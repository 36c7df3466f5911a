// ShowFrame: a still picture of the media file, cached in a sidecar bitmap.
//
// The first call obtains the picture: from the sidecar bitmap next to the
// media file when there is one, otherwise by grabbing the frame with the
// media detector, which also writes the sidecar for later controls. Later
// calls repaint the picture they hold.
#include "CPlayerControl.h"
#include "SidecarBitmap.h"
#include "WidePath.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// Size of the grabbed frame, and so of every sidecar the detector writes.
const LONG kGrabWidth = 320;
const LONG kGrabHeight = 200;

// The detector may live in any kind of server.
const DWORD kMediaDetContext =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// The sidecar path goes straight into the wide buffer; the conversion fails
// (and writes nothing beyond it) when it does not fit.
bool WidenSidecarPath(const char* pszSidecar, WCHAR (&wszPath)[kPathChars])
{
    return MultiByteToWideChar(CP_ACP, 0, pszSidecar, -1, wszPath, kPathChars) != 0;
}

// The detector takes its paths as BSTRs, which carry their length in front
// of the text; a plain array would let it read that length from whatever
// lies before the buffer.
struct BstrDeleter
{
    void operator()(OLECHAR* bstr) const { SysFreeString(bstr); }
};
using Bstr = std::unique_ptr<OLECHAR, BstrDeleter>;

// Opens the sidecar for reading, sharing it as the C library's "rb" does;
// INVALID_HANDLE_VALUE when there is none or it cannot be opened. Whether
// it opens is also what chooses between reading it and grabbing a frame.
HANDLE OpenSidecar(const std::string& strSidecar)
{
    return CreateFileA(strSidecar.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                       NULL);
}

// The file's length, or -1 when it cannot be found.
long long FileLength(HANDLE hFile)
{
    LARGE_INTEGER length;
    if (!GetFileSizeEx(hFile, &length))
        return -1;
    return length.QuadPart;
}

// A buffer of cb bytes whose pages are already in memory: one byte written
// in each. A fresh block of this size comes straight from the system, and
// under Wine a read that meets its pages for the first time pays far more
// for each of them than these writes do; on Windows they cost what the read
// would have paid for the pages anyway. One byte a page is all it takes; a
// zero-fill would also pass over every byte in between (in an unoptimised
// build, one at a time: slower than the read it was meant to spare).
BYTE* AllocateTouched(size_t cb)
{
    BYTE* pBuf = new (std::nothrow) BYTE[cb];
    if (!pBuf)
        return NULL;
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    for (size_t i = 0; i < cb; i += si.dwPageSize)
        pBuf[i] = 0;
    return pBuf;
}

// Every length the reader accepts fits one ReadFile.
static_assert(kMaxSidecarBytes <= MAXDWORD, "a sidecar is read with one ReadFile");

// Reads up to cb bytes from the start of hFile into pBuf; returns how many
// it got (fewer when the file ended early or a read failed). One call reads
// a file whole; the loop is for one that hands out its bytes in parts.
size_t ReadWhole(HANDLE hFile, BYTE* pBuf, size_t cb)
{
    size_t cbRead = 0;
    while (cbRead < cb) {
        DWORD cbDone = 0;
        if (!ReadFile(hFile, pBuf + cbRead, static_cast<DWORD>(cb - cbRead), &cbDone, NULL) ||
            cbDone == 0)
            break;
        cbRead += cbDone;
    }
    return cbRead;
}

} // namespace

int CPlayerControl::ShowFrame(double streamTime)
{
    // Without a window there is no client area to read and nothing to
    // paint on; nothing is loaded either, so a later call with a window
    // still makes the attempt.
    RECT rcClient;
    if (m_hWnd == NULL || !GetClientRect(m_hWnd, &rcClient))
        return 0;

    if (!m_bFrameLoaded) {
        // Only an attempt starts from the grab size: a picture already held
        // keeps its own size, whatever the sidecar it came from measured.
        m_nFrameWidth = kGrabWidth;
        m_nFrameHeight = kGrabHeight;
        m_bFrameLoaded = true;
        const std::string strSidecar = m_strFile + ".bmp";

        // The sidecar is open only while it is read.
        const HANDLE hSidecar = OpenSidecar(strSidecar);
        if (hSidecar != INVALID_HANDLE_VALUE) {
            const bool bLoaded = LoadSidecar(hSidecar);
            CloseHandle(hSidecar);
            // A sidecar that cannot be used is not replaced by a grab: the
            // next call tries to read it again.
            if (!bLoaded) {
                m_bFrameLoaded = false;
                return 0;
            }
        } else {
            const HRESULT hr = GrabFrame(streamTime, strSidecar);
            if (FAILED(hr))
                return hr;
        }
    }

    PaintFrame(rcClient);
    return 0;
}

bool CPlayerControl::LoadSidecar(HANDLE hSidecar)
{
    // The length is checked before anything is allocated: a file too large
    // for this process fails like any other refused sidecar.
    const long long length = FileLength(hSidecar);
    if (CheckSidecarLength(length) != SidecarVerdict::Accepted)
        return false;
    const size_t cbFile = static_cast<size_t>(length);
    BYTE* pBuf = AllocateTouched(cbFile);
    if (!pBuf)
        return false;
    const size_t cbRead = ReadWhole(hSidecar, pBuf, cbFile);

    SidecarPicture picture;
    if (ReadSidecarBitmap(pBuf, cbRead, cbFile, &picture) != SidecarVerdict::Accepted) {
        delete[] pBuf;
        return false;
    }
    FreeFrame();
    m_pFrameBuf = pBuf;
    SetPicture(picture, cbFile);
    return true;
}

HRESULT CPlayerControl::GrabFrame(double streamTime, const std::string& strSidecar)
{
    HRESULT hr = m_platform.CreateInstance(
        CLSID_MediaDet, kMediaDetContext, IID_IMediaDet,
        reinterpret_cast<void**>(m_pDet.ReleaseAndGetAddressOf()));
    if (FAILED(hr) || !m_pDet) {
        m_pDet.Reset();
        m_platform.ShowMessageBox("Can't create IMediaDet object..", "Error!", MB_OK);
        // The frame may still come through a graph. Without it there is no
        // picture: nothing is painted, and the next call tries again.
        if (!GrabFrameWithoutDetector(streamTime, strSidecar))
            m_bFrameLoaded = false;
        return S_OK;
    }

    // A path that does not fit the buffers ends the grab like a failed one.
    WCHAR wszFile[kPathChars] = {0};
    WCHAR wszSidecar[kPathChars] = {0};
    Bstr bstrFile;
    Bstr bstrSidecar;
    if (WidenMediaPath(m_strFile.c_str(), wszFile) &&
        WidenSidecarPath(strSidecar.c_str(), wszSidecar)) {
        bstrFile.reset(SysAllocString(wszFile));
        bstrSidecar.reset(SysAllocString(wszSidecar));
    }
    if (!bstrFile || !bstrSidecar) {
        m_pDet.Reset();
        return S_OK;
    }

    // The written sidecar is what later controls read; its result does not
    // matter to this one, which asks for the bits itself.
    m_pDet->put_Filename(bstrFile.get());
    m_pDet->put_CurrentStream(0);
    m_pDet->WriteBitmapBits(streamTime, m_nFrameWidth, m_nFrameHeight, bstrSidecar.get());

    LONG size = 0;
    hr = m_pDet->GetBitmapBits(streamTime, &size, NULL, m_nFrameWidth, m_nFrameHeight);
    if (SUCCEEDED(hr) && size > 0) {
        // A frame larger than any picture the control accepts is not held:
        // refused before allocating, whatever the process could allocate.
        if (static_cast<uint64_t>(size) > kMaxSidecarBytes)
            return E_OUTOFMEMORY;
        m_pFrameBuf = new (std::nothrow) BYTE[size];
        // The detector stays held until the control is destroyed.
        if (!m_pFrameBuf)
            return E_OUTOFMEMORY;
        try {
            hr = m_pDet->GetBitmapBits(streamTime, NULL,
                                       reinterpret_cast<char*>(m_pFrameBuf),
                                       m_nFrameWidth, m_nFrameHeight);
        } catch (...) {
            FreeFrame();
            return E_FAIL;
        }
        if (SUCCEEDED(hr))
            UseGrabbedFrame(static_cast<size_t>(size));
        else
            FreeFrame();
    } else {
        // The detector cannot tell the frame's size (Wine's grabs nothing):
        // the frame comes through a graph instead.
        m_pDet.Reset();
        GrabFrameWithoutDetector(streamTime, strSidecar);
    }
    m_pDet.Reset();
    return S_OK;
}

bool CPlayerControl::UseGrabbedFrame(size_t cbFrame)
{
    SidecarPicture picture;
    if (!m_pFrameBuf ||
        ReadGrabbedFrame(m_pFrameBuf, cbFrame, &picture) != SidecarVerdict::Accepted) {
        FreeFrame();
        return false;
    }
    SetPicture(picture, cbFrame);
    return true;
}

void CPlayerControl::SetPicture(const SidecarPicture& picture, size_t cbBuf)
{
    m_pFrameHeader = reinterpret_cast<BITMAPINFOHEADER*>(m_pFrameBuf + picture.headerOffset);
    m_pFrameBits = m_pFrameBuf + picture.pixelOffset;

    // GDI reads the header from this copy. Up to 40 bytes are copied, but
    // never past the end of the buffer (a short file with a 12-byte header
    // has fewer); the reader accepted only headers that need nothing beyond
    // the copy.
    std::memset(&m_bmi, 0, sizeof(m_bmi));
    const size_t cbAvailable = cbBuf - picture.headerOffset;
    std::memcpy(&m_bmi.bmiHeader, m_pFrameHeader,
                cbAvailable < sizeof(BITMAPINFOHEADER) ? cbAvailable
                                                       : sizeof(BITMAPINFOHEADER));

    // A negative height marks rows stored top-down; GDI paints such a
    // picture upright from its header, while a negative source height would
    // mirror it.
    m_nFrameWidth = picture.width;
    m_nFrameHeight = picture.height < 0 ? -picture.height : picture.height;
}

void CPlayerControl::FreeFrame()
{
    delete[] m_pFrameBuf;
    m_pFrameBuf = NULL;
    m_pFrameHeader = NULL;
    m_pFrameBits = NULL;
}

void CPlayerControl::PaintFrame(const RECT& rcClient)
{
    // No picture (the grab failed or ended early): nothing to draw from.
    if (!m_pFrameBits)
        return;
    HDC hdc = GetDC(m_hWnd);
    if (!hdc)
        return;
    SetStretchBltMode(hdc, HALFTONE);
    StretchDIBits(hdc, 0, 0, rcClient.right - rcClient.left,
                  rcClient.bottom - rcClient.top, 0, 0, m_nFrameWidth,
                  m_nFrameHeight, m_pFrameBits,
                  reinterpret_cast<const BITMAPINFO*>(&m_bmi), DIB_RGB_COLORS,
                  SRCCOPY);
    ReleaseDC(m_hWnd, hdc);
}
