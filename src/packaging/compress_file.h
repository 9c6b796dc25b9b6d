// The compressed file format of COMPRESS and the compressor with its
// progress gauge, for the commands and the packager.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "interp/interp.h"

namespace kes {

// A compressed file: 1 and 2 as 32-bit little-endian numbers, the bytes 3 and
// 0, the uncompressed length (32-bit little-endian), then the stream.
inline constexpr size_t kCompressedHeaderSize = 14;
std::string CompressedFileHeader(uint32_t uncompressedLength);

// Inputs longer than this show the progress gauge while they are compressed.
inline constexpr size_t kGaugeThreshold = 50000;

// Compresses input; over kGaugeThreshold bytes the gauge is opened with
// "ON," + caption, updated with "pos,total,%" and closed with "OFF" at the end
// unless keepGaugeOpen (a caller that packs several files keeps one gauge).
std::string CompressWithGauge(Interp& in, std::string_view input, std::string_view caption,
                              bool keepGaugeOpen = false);

// The percentage of space a compressed file of compressedLength stream bytes
// saves on uncompressedLength bytes: 100 - R rounded down, where R =
// (compressedLength + 14) * 100 / uncompressedLength rounded to 2 decimals.
// It is negative when the file grew. An empty source gives 0.
int64_t SavedPercent(uint64_t compressedLength, uint64_t uncompressedLength);

// Reads a whole file (or an HTTP address). 0, or the error code: 53 an
// address that cannot be fetched, 75 a file that cannot be read to its end,
// 8 larger than memory can hold.
int32_t ReadSource(Interp& in, const std::string& path, std::string& out);

// Replaces the target with head + body, whole or not at all (through a work
// file beside it). 0, or the error code (75 when it cannot be replaced).
int32_t ReplaceTarget(const std::string& target, std::string_view head, std::string_view body);

}  // namespace kes
