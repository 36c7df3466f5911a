// CPlayerControl: the player control behind IPlayerControl.
#ifndef LUMAREL_CPLAYERCONTROL_H
#define LUMAREL_CPLAYERCONTROL_H

#include <windows.h>
#include <control.h>
#include <strmif.h>
#include <qedit.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "IPlayerControl.h"
#include "PlatformServices.h"

struct SidecarPicture;

// Final: the destructor is not virtual; the table's slot 0 reaches it.
class CPlayerControl final : public IPlayerControl
{
public:
    explicit CPlayerControl(IPlatformServices& platform = DefaultPlatformServices());
    ~CPlayerControl();

    CPlayerControl(const CPlayerControl&) = delete;
    CPlayerControl& operator=(const CPlayerControl&) = delete;

    // Slot 0, as MSVC calls a virtual destructor: destroys the control,
    // and frees it with this DLL's allocator when bit 0 of flags is set.
    void* ScalarDeletingDestructor(unsigned int flags) override;
    int SetWindow(HWND hWnd) override;
    int SetFileName(const char* pszFile) override;
    int ShowFrame(double streamTime) override;
    int Play() override;
    int Stop() override;
    int Pause() override;
    int SetPosition(double seconds) override;
    double GetPosition() override;
    double GetDuration() override;
    int GetItemCount() override;
    const char* GetItem(int index) override;
    void Resize() override;

    // Builds the graph for pszFile; Play calls it once. Returns 0 when it
    // stopped at a duration step, else 1.
    int OpenFile(const char* pszFile);

private:
    template <class T> using ComPtr = Microsoft::WRL::ComPtr<T>;

    // An owner-less modal message box with the caption "Error".
    void ShowError(const char* pszText);
    // Fits the picture to the client area; false when it cannot be read.
    bool FitVideoToWindow(RECT* prcClient);
    void PlaceVideoWindow(const RECT& rcClient);

    // Still frame (StillFrame.cpp).
    // Reads the open sidecar bitmap into m_pFrameBuf; false when it cannot
    // be read or painted.
    bool LoadSidecar(HANDLE hSidecar);
    // Grabs the frame at streamTime with the media detector, which also
    // writes the sidecar. S_OK whether or not a picture came of it;
    // E_OUTOFMEMORY or E_FAIL as ShowFrame returns them.
    HRESULT GrabFrame(double streamTime, const std::string& strSidecar);
    // Takes the cbFrame bytes in m_pFrameBuf, filled the detector's way (a
    // 40-byte info header, then the pixels), as the picture. Frees them and
    // returns false when they cannot be painted. Any grabber hands its frame
    // over through here.
    bool UseGrabbedFrame(size_t cbFrame);
    // Where the detector cannot deliver the frame: grabs it through an
    // ordinary graph, writes the sidecar if there is none and takes the
    // frame as the picture (StillFrameFallback.cpp). False: no picture.
    bool GrabFrameWithoutDetector(double streamTime, const std::string& strSidecar);
    // Points the header, the pixels, m_bmi and the frame size at the
    // accepted picture held in the cbBuf bytes of m_pFrameBuf.
    void SetPicture(const SidecarPicture& picture, size_t cbBuf);
    void FreeFrame();
    // Stretches the picture, if there is one, over the client area.
    void PaintFrame(const RECT& rcClient);
    // Steps of OpenFile (Playback.cpp).
    HRESULT RenderWithVideoRenderer(const WCHAR* wszPath);
    void QueryControlInterfaces();
    void ShowVideoWindow();
    int ReadDurations();

    IPlatformServices& m_platform;

    HWND m_hWnd;
    std::string m_strFile;
    ComPtr<IGraphBuilder> g_pGB;
    ComPtr<IBasicVideo> g_pBV;
    ComPtr<IVideoWindow> m_pVW;
    ComPtr<IBasicAudio> g_pBA;
    ComPtr<IMediaControl> g_pMC;
    ComPtr<IMediaPosition> g_pMP;
    ComPtr<IMediaEvent> g_pME;
    ComPtr<IMediaSeeking> g_pMS;
    bool m_bOpened;
    ComPtr<IMediaDet> m_pDet;
    bool m_bFrameLoaded;
    BYTE* m_pFrameBits;
    BYTE* m_pFrameBuf;
    BITMAPINFOHEADER* m_pFrameHeader;
    struct
    {
        BITMAPINFOHEADER bmiHeader;
        RGBQUAD bmiColors[1];
    } m_bmi;
    INT32 m_nFrameWidth;
    INT32 m_nFrameHeight;
    double m_dDuration;
    LONGLONG m_llDuration;
    std::vector<std::string> m_items;
};

#endif
