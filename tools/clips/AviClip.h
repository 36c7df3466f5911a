// AviClip: writes small uncompressed AVI clips for tests and the demo.
//
// Each second of the clip is one solid colour, so a test can tell from a
// pixel both that video is shown and which moment of the clip it is.
// Portable: no Windows headers; it builds into native tools and into the
// Windows test programs alike.
#ifndef LUMAREL_AVICLIP_H
#define LUMAREL_AVICLIP_H

#include <cstdint>
#include <string>
#include <vector>

struct AviClipSpec
{
    int32_t width = 320;
    int32_t height = 240;
    int32_t framesPerSecond = 10;
    // One entry per second of the clip, as 0xRRGGBB.
    std::vector<uint32_t> secondColours;
};

// The whole file: RIFF 'AVI ' with one 24-bit uncompressed video stream and
// an index. Empty when the description is unusable (no colours, sizes not positive,
// or a file that would not fit the 32-bit RIFF sizes).
std::vector<uint8_t> MakeAviClip(const AviClipSpec& clipSpec);

// Writes MakeAviClip(clipSpec) to path; false if there is nothing to write or
// the file cannot be written.
bool WriteAviClip(const std::string& path, const AviClipSpec& clipSpec);

#endif
