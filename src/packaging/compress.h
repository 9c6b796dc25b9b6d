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

// The compressed stream of input (no header). progress, when given, is called
// at the start of every group whose 1-based input position is a multiple of 64.
std::string Compress(std::string_view input, const CompressProgress& progress = {});

// Decodes a stream. Never reads or writes outside its buffers whatever the
// input; a stream that ends inside a reference ends at the last whole item.
// Output beyond maxOutput bytes is not produced: the output is cut there and
// *truncated (when given) set, so that a small hostile input cannot exhaust
// memory. expected, when known (the length a file header gives), sizes the
// output buffer at once; it is only a hint: the stream alone says what comes
// out. Allocation failures throw std::bad_alloc, as from any allocation.
std::string Decompress(std::string_view input, size_t maxOutput = SIZE_MAX, bool* truncated = nullptr,
                       size_t expected = 0);

}  // namespace kes
