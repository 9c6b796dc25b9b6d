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

// The same encoder built on 32-bit or 64-bit words (Compress uses the width of
// the machine's registers); both give the same bytes. For the tests.
std::string CompressWithWordBits(std::string_view input, unsigned bits);

// Decodes a stream. Never reads or writes outside its buffers whatever the
// input; a stream that ends inside a reference ends at the last whole item.
// Output beyond maxOutput bytes is not produced: the output is cut there and
// *truncated (when given) set, so that a small hostile input cannot exhaust
// memory. The output is allocated once, at its exact size (std::bad_alloc,
// as from any allocation, when even that does not fit).
std::string Decompress(std::string_view input, size_t maxOutput = SIZE_MAX, bool* truncated = nullptr);

}  // namespace kes
