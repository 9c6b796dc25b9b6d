// Any bytes as a package: the reader must refuse or read them without
// leaving its buffers, and what it reads must stay inside the body with safe
// entry names. The same bytes as a compressed block and as a plain body.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "packaging/package_format.h"

namespace {
void Check(const kes::PackageContents& p, kes::PackageRead r) {
  if (r != kes::PackageRead::Ok) return;
  for (const auto& e : p.entries) {
    if (!kes::SafeEntryName(e.fileName)) std::abort();
    if (e.offset > p.body.size() || e.size > p.body.size() - e.offset) std::abort();
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  kes::PackageContents p;
  std::string why;
  Check(p, kes::ReadPackage(in, p, why));
  Check(p, kes::ParsePackageBody(std::string(in), p, why));
  std::string index, defs;
  kes::ReadTempEntry(in, index, defs);
  kes::UnframePlug(in);
  return 0;
}
