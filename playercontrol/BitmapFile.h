// BitmapFile: a standard bitmap file made from a frame held in memory the way
// the still frame holds a grabbed one: a 40-byte info header followed by the
// pixels.
//
// Portable: no Windows headers, so it is tested natively and sanitized.
#ifndef LUMAREL_BITMAPFILE_H
#define LUMAREL_BITMAPFILE_H

#include <cstddef>
#include <cstdint>
#include <vector>

// Sizes of the two headers of a bitmap file.
const size_t kBitmapFileHeaderSize = 14;
const size_t kBitmapInfoHeaderSize = 40;

// The whole file: the 14-byte file header ("BM", the file's length, the
// offset 54 of the pixels), the frame's info header and its pixel rows, each
// row padded to 4 bytes. Only uncompressed 24- and 32-bit frames without a
// colour table are taken, as the still frame paints no other kind; the file
// is empty when the frame is not one of them or holds fewer pixel bytes than
// its header says.
std::vector<uint8_t> ComposeBitmapFile(const uint8_t* pFrame, size_t cbFrame);

#endif
