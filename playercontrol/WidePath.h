// WidenMediaPath: the 8-bit media path as the wide path DirectShow takes.
#ifndef LUMAREL_WIDEPATH_H
#define LUMAREL_WIDEPATH_H

#include <windows.h>

// The path buffers hold MAX_PATH (260) characters, the terminator included.
const size_t kPathChars = MAX_PATH;

// Copies the path into a zero-filled 8-bit buffer and converts it with the
// ANSI code page, terminator included. A path that does not fit the buffers
// (260 characters or more) is refused rather than cut: a cut path would name
// another file, which might exist and be played, or get a sidecar, in its
// place. False also for a null path or a failed conversion.
bool WidenMediaPath(const char* pszFile, WCHAR (&wszPath)[kPathChars]);

#endif
