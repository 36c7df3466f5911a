// FitVideoRect: where the picture goes inside the client area.
//
// Portable: no Windows headers, so it is tested natively, sanitized and
// fuzzed like any other plain computation.
#ifndef LUMAREL_VIDEOFIT_H
#define LUMAREL_VIDEOFIT_H

#include <cstdint>

struct VideoRect
{
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
};

// Fills as much of a cw x ch client area as the vw x vh picture allows and
// centres it in the other direction. The arithmetic (division before
// multiplication in double precision, truncation toward zero, halves
// subtracted separately) is part of the contract: hosts see its exact pixels.
//
// A video without a size (vw or vh not positive) has no aspect ratio to keep;
// it then gets the whole client area.
VideoRect FitVideoRect(int32_t cw, int32_t ch, int32_t vw, int32_t vh);

#endif
