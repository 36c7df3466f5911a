// The still frame where the media detector cannot deliver it (the detector
// is missing, or it cannot hand out bitmaps, as under Wine): the frame is
// grabbed through an ordinary graph instead, the sidecar is left for later
// controls, and the picture is taken over exactly as a detector's frame is.
#include "CPlayerControl.h"

#include <cstring>
#include <new>

#include "BitmapFile.h"
#include "GraphFrameGrabber.h"
#include "SidecarWriter.h"

namespace {

// A grab of one frame takes a fraction of a second, even under emulation;
// a graph that takes longer is stuck on a file it cannot read.
const DWORD kGraphGrabTimeoutMs = 10000;

} // namespace

bool CPlayerControl::GrabFrameWithoutDetector(double streamTime,
                                              const std::string& strSidecar)
{
    try {
        std::vector<BYTE> frame;
        if (FAILED(GrabFrameThroughGraphWithin(m_platform, m_strFile.c_str(), streamTime,
                                               m_nFrameWidth, m_nFrameHeight,
                                               kGraphGrabTimeoutMs, frame)))
            return false;

        // Written only where there is no sidecar yet, and never in part. A
        // sidecar that cannot be written costs later controls a grab of
        // their own, nothing more.
        const std::vector<uint8_t> file = ComposeBitmapFile(frame.data(), frame.size());
        if (!file.empty())
            WriteFileIfAbsent(strSidecar, file);

        FreeFrame();
        m_pFrameBuf = new (std::nothrow) BYTE[frame.size()];
        if (m_pFrameBuf == NULL)
            return false;
        std::memcpy(m_pFrameBuf, frame.data(), frame.size());
        return UseGrabbedFrame(frame.size());
    } catch (...) {
        // Out of memory on the way: no picture, and no exception leaves
        // the control.
        return false;
    }
}
