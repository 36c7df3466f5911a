// Construction, destruction and the operations that need no media framework.
#include "CPlayerControl.h"

#include <cstring>

namespace {
// Bit 0 of a deleting destructor's flags: free the memory after destroying.
const unsigned int kDeleteFlagFreeMemory = 1;
}

CPlayerControl::CPlayerControl(IPlatformServices& platform)
    : m_platform(platform),
      m_hWnd(NULL),
      m_bOpened(false),
      m_bFrameLoaded(false),
      m_pFrameBits(NULL),
      m_pFrameBuf(NULL),
      m_pFrameHeader(NULL),
      m_nFrameWidth(0),
      m_nFrameHeight(0),
      m_dDuration(0.0),
      m_llDuration(0)
{
    std::memset(&m_bmi, 0, sizeof(m_bmi));
    // The result is deliberately not examined: a thread that already uses
    // another apartment model still gets working in-process objects.
    CoInitialize(NULL);
}

CPlayerControl::~CPlayerControl()
{
    // Stop the graph before letting go of it, then release the graph's
    // interfaces in a fixed order, the graph manager last.
    if (m_bOpened) {
        if (g_pMC)
            g_pMC->Stop();
        g_pMC.Reset();
        g_pME.Reset();
        g_pMP.Reset();
        g_pMS.Reset();
        g_pBV.Reset();
        g_pBA.Reset();
        m_pVW.Reset();
        g_pGB.Reset();
    }
    delete[] m_pFrameBuf;
    m_pFrameBuf = NULL;
    m_items.clear();
    // m_pDet, if a grab ended early, is released by its smart pointer.
}

void* CPlayerControl::ScalarDeletingDestructor(unsigned int flags)
{
    if (flags & kDeleteFlagFreeMemory)
        delete this;
    else
        this->~CPlayerControl();
    return this;
}

int CPlayerControl::SetWindow(HWND hWnd)
{
    m_hWnd = hWnd;
    return 0;
}

int CPlayerControl::SetFileName(const char* pszFile)
{
    // A null name is taken as the empty name.
    m_strFile = pszFile ? pszFile : "";
    return 0;
}

int CPlayerControl::GetItemCount()
{
    return static_cast<int>(m_items.size());
}

const char* CPlayerControl::GetItem(int index)
{
    if (index < 0 || index >= GetItemCount())
        return NULL;
    return m_items[static_cast<size_t>(index)].c_str();
}

void CPlayerControl::ShowError(const char* pszText)
{
    m_platform.ShowMessageBox(pszText, "Error", MB_OK);
}
