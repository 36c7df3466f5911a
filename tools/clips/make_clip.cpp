// make-clip OUT.avi [WIDTHxHEIGHT] [FPS] COLOUR[,COLOUR...]
// Writes an uncompressed AVI clip, one solid colour (RRGGBB hex) per second.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "AviClip.h"

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: make-clip OUT.avi [WIDTHxHEIGHT] [FPS] RRGGBB[,RRGGBB...]\n"
                 "  one solid colour per second; default 320x240 at 10 fps\n");
    return 2;
}

bool ParseColours(const std::string& text, AviClipSpec& clipSpec)
{
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find(',', start);
        const std::string item = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        char* rest = nullptr;
        const unsigned long rgb = std::strtoul(item.c_str(), &rest, 16);
        if (item.size() != 6 || *rest != '\0')
            return false;
        clipSpec.secondColours.push_back(static_cast<uint32_t>(rgb));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 5)
        return Usage();
    AviClipSpec clipSpec;
    int next = 2;
    if (argc >= 4 && std::sscanf(argv[next], "%dx%d", &clipSpec.width, &clipSpec.height) == 2)
        ++next;
    if (argc - next == 2)
        clipSpec.framesPerSecond = std::atoi(argv[next++]);
    if (next != argc - 1 || !ParseColours(argv[next], clipSpec))
        return Usage();
    if (!WriteAviClip(argv[1], clipSpec)) {
        std::fprintf(stderr, "make-clip: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
