// Resize: keep the picture fitted to the host window's client area.
#include "CPlayerControl.h"
#include "VideoFit.h"

bool CPlayerControl::FitVideoToWindow(RECT* prcClient)
{
    // A failed size query (a file without video) leaves no size to keep;
    // the fit then gives the picture the whole client area.
    long vw = 0;
    long vh = 0;
    if (g_pBV && FAILED(g_pBV->GetVideoSize(&vw, &vh))) {
        vw = 0;
        vh = 0;
    }

    // Nothing is computed from a client rectangle that could not be read.
    RECT rc;
    if (m_hWnd == NULL || !GetClientRect(m_hWnd, &rc))
        return false;

    const VideoRect fit = FitVideoRect(rc.right - rc.left, rc.bottom - rc.top,
                                       static_cast<int32_t>(vw),
                                       static_cast<int32_t>(vh));
    if (g_pBV)
        g_pBV->SetDestinationPosition(fit.left, fit.top, fit.width, fit.height);
    *prcClient = rc;
    return true;
}

void CPlayerControl::PlaceVideoWindow(const RECT& rcClient)
{
    // The video window covers the whole client area; the destination
    // rectangle places the picture inside it. SetWindowPosition takes
    // left, top, width, height: the client rectangle starts at 0, 0.
    if (m_pVW)
        m_pVW->SetWindowPosition(rcClient.left, rcClient.top, rcClient.right,
                                 rcClient.bottom);
}

void CPlayerControl::Resize()
{
    if (m_hWnd == NULL || !m_bOpened)
        return;
    RECT rc;
    if (!FitVideoToWindow(&rc))
        return;
    PlaceVideoWindow(rc);
}
