// The child-mode exchange text and the performance data block, from any
// bytes: unpacking never fails badly, whatever unpacks packs back into a
// text that unpacks to the same state, and the packed text stays printable
// ASCII. The performance-data parser reads the same input as a data block.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "startup/exchange.h"
#include "sysadmin/perfdata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  kes::ExchangeState s;
  if (kes::UnpackExchange(in, s)) {
    const std::string packed = kes::PackExchange(s);
    for (const char c : packed)
      if (c <= 0 || c >= 0x7F) std::abort();
    kes::ExchangeState again;
    if (!kes::UnpackExchange(packed, again)) std::abort();
    if (again.vars != s.vars || again.lists != s.lists || again.lines != s.lines || again.error != s.error ||
        again.errorlevel != s.errorlevel || again.hasErrors != s.hasErrors || again.direction != s.direction)
      std::abort();
  }
  // the same bytes as a performance data block, and as a state's values
  (void)kes::ParseProcessPerfData(in, 230, 784);
  (void)kes::CounterIndex(in, "Process");
  (void)kes::ParseSystemProcesses(in, 0x1000);
  kes::ExchangeState v;
  v.vars.emplace_back(std::string(in.substr(0, size / 2)), std::string(in.substr(size / 2)));
  v.lines = std::string(in);
  kes::ExchangeState back;
  if (!kes::UnpackExchange(kes::PackExchange(v), back) || back.vars != v.vars || back.lines != v.lines) std::abort();
  return 0;
}
