// SidecarWriter: puts a new file in place in one step, never over an
// existing one.
#ifndef LUMAREL_SIDECARWRITER_H
#define LUMAREL_SIDECARWRITER_H

#include <cstdint>
#include <string>
#include <vector>

// Writes bytes to a temporary file beside path and renames it to path, so a
// reader finds either no file or the whole of it. Nothing is written when a
// file already exists at path, and an existing file is never replaced, even
// one that appears while this writes. The temporary file never outlives the
// call. True only when path now holds these bytes.
bool WriteFileIfAbsent(const std::string& path, const std::vector<uint8_t>& bytes);

#endif
