#pragma once
// A serial line for the fuzz targets whose replies come from the fuzzer's input: each
// request the link sends takes the next reply from a queue, and a line with nothing more to
// say hangs up, so every receive ends at once. Installed through the link's system-call seam.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/link/cxlink.h"

namespace kvrfuzz {

using Bytes = std::vector<std::uint8_t>;

enum class Framing { kRtu, kAscii };

// Splits data into replies (a length byte, then that many bytes, until data runs out).
// With fixChecksums the address, function and checksum of each reply are made to match
// its request, so that the parsers behind those tests are reached.
void LoadReplies(const std::uint8_t* data, std::size_t size, Framing framing, bool fixChecksums);

// A link connected to the fake line, with every delay scaled to nothing. The seam stays
// installed for the life of the process.
kvr::CXLink& FakeLink();

}  // namespace kvrfuzz
