// Writes the fuzzer's seed corpus: valid sidecars of every accepted kind,
// detector frames, and a few near misses, one file each.
//   sidecar_seeds DIR     (made if missing)
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "CraftedBitmap.h"

namespace {

bool WriteSeed(const std::string& dir, const char* name, const std::vector<uint8_t>& bytes)
{
    const std::string path = dir + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    CraftedBitmap stripes = SolidBitmap(7, 5, 0);
    stripes.colour = [](int32_t x, int32_t y) { return (x + y) % 2 ? 0xFF8000u : 0x0080FFu; };

    std::vector<uint8_t> offByOne = MakeBitmapFile(SolidBitmap(3, 2, 0xFF));
    Put32(offByOne, 2, static_cast<uint32_t>(offByOne.size() + 1));
    std::vector<uint8_t> cut = MakeBitmapFile(SolidBitmap(3, 2, 0xFF));
    cut.resize(cut.size() - 1);
    FixSizeField(cut);
    std::vector<uint8_t> eightBit = MakeBitmapFile(SolidBitmap(4, 4, 0xFF));
    Put16(eightBit, 28, 8);

    const struct
    {
        const char* name;
        std::vector<uint8_t> bytes;
    } seeds[] = {
        {"info24", MakeBitmapFile(SolidBitmap(4, 2, 0x00FF00))},
        {"info24-odd-width", MakeBitmapFile(stripes)},
        {"info16", MakeBitmapFile(SolidBitmap(3, 3, 0xFF0000, 16))},
        {"info32", MakeBitmapFile(SolidBitmap(3, 3, 0x0000FF, 32))},
        {"info24-top-down", MakeBitmapFile(SolidBitmap(4, -3, 0x00FFFF))},
        {"core24", MakeBitmapFile(SolidBitmap(5, 3, 0xFF00FF, 24, 12))},
        {"grab-320x200", MakeBitmapFile(SolidBitmap(320, 200, 0x336699))},
        {"frame-320x200", MakeFrameBuffer(SolidBitmap(320, 200, 0x996633))},
        {"frame-small", MakeFrameBuffer(stripes)},
        {"size-off-by-one", offByOne},
        {"short-pixels", cut},
        {"eight-bit", eightBit},
    };
    for (const auto& seed : seeds) {
        if (!WriteSeed(dir, seed.name, seed.bytes)) {
            std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), seed.name);
            return 1;
        }
    }
    return 0;
}
