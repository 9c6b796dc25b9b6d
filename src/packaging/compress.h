// The program's own LZ77 compressor: flag bytes, literal and two-byte
// back-reference items, a 4096-byte window of spaces read through a mirror.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kes {

// Called now and then during compression with (position, total) for a gauge.
using CompressProgress = std::function<void(size_t pos, size_t total)>;

std::string Compress(std::string_view input, const CompressProgress& progress = {});

// Decodes a stream. Never reads or writes outside its buffers whatever the
// input. Output beyond maxOutput bytes is not produced: the function stops and
// sets *truncated (when given) so that a small hostile input cannot exhaust
// memory.
std::string Decompress(std::string_view input, size_t maxOutput = SIZE_MAX, bool* truncated = nullptr);

}  // namespace kes
