// FormatClips: the clips of the formats tests and what they show.
//
// The coded clips are made before the tests by make-clips.sh (ffmpeg) into
// the folder "format-clips" beside the test program; the uncompressed ones
// are written by AviClip. Every clip with video is 16:9 and 4 s long, one
// colour a second: red, green, blue, white. Each test copies the clips it
// uses into a folder of its own, so the sidecars and names it checks are
// its own.
#ifndef LUMAREL_TESTS_FORMATCLIPS_H
#define LUMAREL_TESTS_FORMATCLIPS_H

#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "AviClip.h"
#include "RealLibrary.h"

const uint32_t kClipRed = 0xFF0000;
const uint32_t kClipGreen = 0x00FF00;
const uint32_t kClipBlue = 0x0000FF;
const uint32_t kClipWhite = 0xFFFFFF;
// The colour of each second of every clip with video.
const uint32_t kClipSeconds[] = {kClipRed, kClipGreen, kClipBlue, kClipWhite};
const double kClipSecondsLong = 4.0;
// A file name as a test name (letters and digits, the rest '_'), for the
// tables whose rows are files.
inline std::string TestNameOfFile(const char* file)
{
    std::string name = file;
    for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
}

// Lossy coding moves saturated colours by a few steps; far less than this.
const int kClipTolerance = 60;

// Where make-clips.sh left the clip called name.
inline std::string MadeClipPath(const std::string& name)
{
    return RealLibrary::PathBesideProgram("format-clips\\") + name;
}

// The uncompressed clip: 320 x 180 (16:9), 10 frames a second.
inline bool WriteRawClip(const std::string& path)
{
    AviClipSpec clipSpec;
    clipSpec.width = 320;
    clipSpec.height = 180;
    clipSpec.framesPerSecond = 10;
    clipSpec.secondColours.assign(std::begin(kClipSeconds), std::end(kClipSeconds));
    return WriteAviClip(path, clipSpec);
}

// The clip's length in seconds as make-clips.sh measured it (its longest
// stream); the uncompressed clip's is exact. 0 when it cannot be read.
inline double ClipDuration(const std::string& name)
{
    if (name == "raw.avi")
        return kClipSecondsLong;
    double seconds = 0.0;
    FILE* in = std::fopen(MadeClipPath(name + ".duration").c_str(), "r");
    if (!in)
        return 0.0;
    if (std::fscanf(in, "%lf", &seconds) != 1)
        seconds = 0.0;
    std::fclose(in);
    return seconds;
}

// Puts the clip called name into path: the uncompressed one is written, the
// others are copied from what make-clips.sh made.
inline bool PlaceClip(const std::string& name, const std::string& path)
{
    if (name == "raw.avi")
        return WriteRawClip(path);
    return CopyFileA(MadeClipPath(name).c_str(), path.c_str(), TRUE) != FALSE;
}

#endif
