// Any bytes taken as a server's response: the status, header and date
// parsers stay inside their buffers (the sanitizers watch), and the chunked
// decoder gives the same bytes whatever the pieces the body arrives in. The
// first byte also seeds a chunked encoding of the input, which must decode
// back to the input exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "net/http_wire.h"

namespace {

std::string Hex(size_t n) {
  static const char* d = "0123456789abcdef";
  std::string s;
  do {
    s.insert(s.begin(), d[n & 15]);
    n >>= 4;
  } while (n);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  const int status = kes::ResponseStatus(in);
  if (status < 0 || status > 9999) std::abort();
  const int final = kes::FinalStatus(in);
  if (final < -1 || final > 9999) std::abort();
  const size_t extent = kes::HeaderExtent(in);
  if (extent > in.size()) std::abort();
  const size_t body = kes::BodyStart(in);
  const std::string_view header = in.substr(0, body == std::string_view::npos ? in.size() : body);
  uint64_t length = 0;
  kes::ParseContentLength(kes::HeaderValue(header, "content-length:"), length);
  kes::IsChunked(header);
  const std::string stamp = kes::LastModifiedStamp(kes::HeaderValue(header, "last-modified:"));
  kes::StampParts parts;
  if (!stamp.empty() && stamp.size() != 19) std::abort();
  if (kes::ParseStamp(stamp, parts) && kes::StampText(parts) != stamp) std::abort();

  // The body as chunks: one piece, then pieces of a size taken from the input.
  const std::string_view rest = body == std::string_view::npos ? in : in.substr(body);
  std::string whole, split;
  kes::ChunkDecoder a, b;
  const bool okA = a.Feed(rest, whole);
  const size_t step = size ? 1 + data[0] % 7 : 1;
  bool okB = true;
  for (size_t i = 0; i < rest.size() && okB; i += step) okB = b.Feed(rest.substr(i, step), split);
  if (okA != okB || whole != split || a.Done() != b.Done()) std::abort();

  // Round trip: the input encoded in chunks of a seeded size.
  const size_t chunk = size ? 1 + data[size - 1] % 19 : 1;
  std::string enc;
  for (size_t i = 0; i < in.size(); i += chunk) {
    const std::string_view piece = in.substr(i, chunk);
    enc += Hex(piece.size()) + (i % 2 ? ";x=y" : "") + "\r\n";
    enc += piece;
    enc += "\r\n";
  }
  enc += "0\r\nTrailer: t\r\n\r\n";
  kes::ChunkDecoder c;
  std::string back;
  if (!c.Feed(enc, back) || !c.Done() || back != in) std::abort();
  return 0;
}
