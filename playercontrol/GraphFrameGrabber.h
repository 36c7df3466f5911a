// GraphFrameGrabber: one frame of a media file, grabbed through an ordinary
// DirectShow graph where the media detector cannot grab (it is missing, or
// it cannot hand out bitmaps, as under Wine).
//
// The graph is the file's source filter, a Sample Grabber that asks for
// uncompressed RGB (24 or 32 bit) and a Null Renderer, with no reference
// clock, so frames are delivered as fast as they decode. The grabbed frame
// is scaled with GDI's HALFTONE stretching.
#ifndef LUMAREL_GRAPHFRAMEGRABBER_H
#define LUMAREL_GRAPHFRAMEGRABBER_H

#include <windows.h>

#include <vector>

#include "PlatformServices.h"

// Grabs the frame of pszMediaFile (8-bit, ANSI code page) at streamTime
// seconds and fills frame the way the media detector fills its bitmaps: a
// 40-byte BITMAPINFOHEADER (24 bits, uncompressed, nWidth x nHeight,
// bottom-up) followed by the pixel rows, each padded to 4 bytes. Negative
// and undefined times mean the start. Every object is created through
// platform. Paths of 260 characters or more are refused, as everywhere in
// the control. Returns S_OK, or a failure with frame left empty
// (E_OUTOFMEMORY when the frame could not be held); no exception leaves it.
// COM must be initialised on the calling thread.
HRESULT GrabFrameThroughGraph(IPlatformServices& platform, const char* pszMediaFile,
                              double streamTime, LONG nWidth, LONG nHeight,
                              std::vector<BYTE>& frame);

// GrabFrameThroughGraph on a thread of its own (with COM initialised there),
// waited for at most timeoutMs. Some platform filters never return on a
// damaged file (Wine's parsers, on a cut AVI, can wait forever inside
// IGraphBuilder::Connect); the caller then loses the wait, not the program.
// On time-out the grab is abandoned: VFW_E_TIMEOUT with frame empty, and the
// thread, which keeps this module loaded until it ends, drops whatever it
// gets later. platform must outlive that thread (the control's own platform
// services are static).
HRESULT GrabFrameThroughGraphWithin(IPlatformServices& platform, const char* pszMediaFile,
                                    double streamTime, LONG nWidth, LONG nHeight,
                                    DWORD timeoutMs, std::vector<BYTE>& frame);

#endif
