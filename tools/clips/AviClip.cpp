#include "AviClip.h"

#include <cstdio>

namespace {

const uint64_t kMaxRiffBytes = 0x7FFFFFF0u;

class ByteWriter
{
public:
    void U16(uint32_t v)
    {
        m_bytes.push_back(static_cast<uint8_t>(v));
        m_bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v)
    {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void FourCC(const char* code) { m_bytes.insert(m_bytes.end(), code, code + 4); }
    void Bytes(const std::vector<uint8_t>& bytes)
    {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }

    // Starts a chunk (or, with listType, a LIST/RIFF) whose size is
    // patched by EndChunk. Returns the position of its size field.
    size_t BeginChunk(const char* id, const char* listType = nullptr)
    {
        FourCC(id);
        const size_t sizePos = m_bytes.size();
        U32(0);
        if (listType)
            FourCC(listType);
        return sizePos;
    }
    void EndChunk(size_t sizePos)
    {
        const uint32_t size = static_cast<uint32_t>(m_bytes.size() - sizePos - 4);
        for (int i = 0; i < 4; ++i)
            m_bytes[sizePos + i] = static_cast<uint8_t>(size >> (8 * i));
        if (size % 2)
            m_bytes.push_back(0); // chunks are word aligned
    }

    size_t Size() const { return m_bytes.size(); }
    std::vector<uint8_t>& Result() { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

// One bottom-up 24-bit frame of a single colour; rows padded to 4 bytes.
std::vector<uint8_t> SolidFrame(const AviClipSpec& clipSpec, uint32_t rgb)
{
    const size_t stride = (static_cast<size_t>(clipSpec.width) * 3 + 3) & ~size_t(3);
    std::vector<uint8_t> frame(stride * static_cast<size_t>(clipSpec.height), 0);
    for (int32_t y = 0; y < clipSpec.height; ++y) {
        uint8_t* row = frame.data() + stride * static_cast<size_t>(y);
        for (int32_t x = 0; x < clipSpec.width; ++x) {
            row[3 * x + 0] = static_cast<uint8_t>(rgb);       // blue
            row[3 * x + 1] = static_cast<uint8_t>(rgb >> 8);  // green
            row[3 * x + 2] = static_cast<uint8_t>(rgb >> 16); // red
        }
    }
    return frame;
}

void WriteMainHeader(ByteWriter& w, const AviClipSpec& clipSpec, uint32_t frames,
                     uint32_t frameBytes)
{
    const size_t avih = w.BeginChunk("avih");
    w.U32(1000000u / static_cast<uint32_t>(clipSpec.framesPerSecond)); // us per frame
    w.U32(frameBytes * static_cast<uint32_t>(clipSpec.framesPerSecond));
    w.U32(0);    // padding granularity
    w.U32(0x10); // AVIF_HASINDEX
    w.U32(frames);
    w.U32(0);    // initial frames
    w.U32(1);    // streams
    w.U32(frameBytes);
    w.U32(static_cast<uint32_t>(clipSpec.width));
    w.U32(static_cast<uint32_t>(clipSpec.height));
    for (int i = 0; i < 4; ++i)
        w.U32(0);
    w.EndChunk(avih);
}

void WriteStreamList(ByteWriter& w, const AviClipSpec& clipSpec, uint32_t frames,
                     uint32_t frameBytes)
{
    const size_t strl = w.BeginChunk("LIST", "strl");

    const size_t strh = w.BeginChunk("strh");
    w.FourCC("vids");
    w.FourCC("DIB ");
    w.U32(0); // flags
    w.U16(0); // priority
    w.U16(0); // language
    w.U32(0); // initial frames
    w.U32(1); // scale
    w.U32(static_cast<uint32_t>(clipSpec.framesPerSecond)); // rate
    w.U32(0); // start
    w.U32(frames);
    w.U32(frameBytes);
    w.U32(0xFFFFFFFFu); // quality: default
    w.U32(frameBytes);  // sample size
    w.U16(0);
    w.U16(0);
    w.U16(static_cast<uint32_t>(clipSpec.width));
    w.U16(static_cast<uint32_t>(clipSpec.height));
    w.EndChunk(strh);

    const size_t strf = w.BeginChunk("strf");
    w.U32(40);
    w.U32(static_cast<uint32_t>(clipSpec.width));
    w.U32(static_cast<uint32_t>(clipSpec.height)); // positive: bottom-up
    w.U16(1);  // planes
    w.U16(24); // bits per pixel
    w.U32(0);  // BI_RGB
    w.U32(frameBytes);
    for (int i = 0; i < 4; ++i)
        w.U32(0);
    w.EndChunk(strf);

    w.EndChunk(strl);
}

} // namespace

std::vector<uint8_t> MakeAviClip(const AviClipSpec& clipSpec)
{
    if (clipSpec.secondColours.empty() || clipSpec.width <= 0 || clipSpec.height <= 0
        || clipSpec.framesPerSecond <= 0 || clipSpec.framesPerSecond > 1000)
        return {};
    const uint64_t stride = (static_cast<uint64_t>(clipSpec.width) * 3 + 3) & ~uint64_t(3);
    const uint64_t frameBytes64 = stride * static_cast<uint64_t>(clipSpec.height);
    const uint64_t frames64 = static_cast<uint64_t>(clipSpec.framesPerSecond)
                              * clipSpec.secondColours.size();
    if ((frameBytes64 + 24) * frames64 + 4096 > kMaxRiffBytes)
        return {};
    const uint32_t frameBytes = static_cast<uint32_t>(frameBytes64);
    const uint32_t frames = static_cast<uint32_t>(frames64);

    ByteWriter w;
    const size_t riff = w.BeginChunk("RIFF", "AVI ");

    const size_t hdrl = w.BeginChunk("LIST", "hdrl");
    WriteMainHeader(w, clipSpec, frames, frameBytes);
    WriteStreamList(w, clipSpec, frames, frameBytes);
    w.EndChunk(hdrl);

    // Frame offsets in the index count from the 'movi' list type.
    const size_t movi = w.BeginChunk("LIST", "movi");
    const size_t moviType = movi + 4;
    std::vector<uint32_t> offsets;
    for (uint32_t colour : clipSpec.secondColours) {
        const std::vector<uint8_t> frame = SolidFrame(clipSpec, colour);
        for (int32_t i = 0; i < clipSpec.framesPerSecond; ++i) {
            offsets.push_back(static_cast<uint32_t>(w.Size() - moviType));
            const size_t chunk = w.BeginChunk("00db");
            w.Bytes(frame);
            w.EndChunk(chunk);
        }
    }
    w.EndChunk(movi);

    const size_t idx1 = w.BeginChunk("idx1");
    for (uint32_t offset : offsets) {
        w.FourCC("00db");
        w.U32(0x10); // AVIIF_KEYFRAME
        w.U32(offset);
        w.U32(frameBytes);
    }
    w.EndChunk(idx1);

    w.EndChunk(riff);
    return std::move(w.Result());
}

bool WriteAviClip(const std::string& path, const AviClipSpec& clipSpec)
{
    const std::vector<uint8_t> bytes = MakeAviClip(clipSpec);
    if (bytes.empty())
        return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}
