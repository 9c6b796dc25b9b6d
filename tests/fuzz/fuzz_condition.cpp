// The condition evaluator of IF lines on any text, with variables and a
// machine taken from the fuzz input. The input is lines: "NAME=VALUE" sets a
// variable ("$L=..." appends to a user list), "E:path" makes a path exist,
// "H:name=address" a host, "S:path=size" a file size, "F:path=text" a file's
// contents, "T:path=time" its time; the last line is the condition.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "interp/condition.h"
#include "support/fake_system.h"

namespace {

std::vector<std::string_view> Lines(std::string_view all) {
  std::vector<std::string_view> lines;
  for (size_t start = 0;;) {
    const size_t nl = all.find('\n', start);
    lines.push_back(all.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start));
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  kes::FakeSystem sys;
  kes::Interp in;
  in.system = &sys;
  const std::vector<std::string_view> lines = Lines(all);
  for (size_t k = 0; k + 1 < lines.size(); ++k) {
    const std::string_view l = lines[k];
    if (l.size() > 2 && l[1] == ':') {
      const std::string_view body = l.substr(2);
      const size_t eq = body.find('=');
      const std::string key(body.substr(0, eq));
      const std::string value(eq == std::string_view::npos ? std::string_view() : body.substr(eq + 1));
      switch (l[0]) {
        case 'E': sys.paths.insert(key); break;
        case 'H': sys.hosts[key] = value; break;
        case 'S': sys.sizes[key] = static_cast<uint64_t>(kes::ValInt64(value)); break;
        case 'F': sys.files[key] = value; break;
        case 'T': sys.times[key] = value; break;
        default: break;
      }
      continue;
    }
    const size_t eq = l.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    kes::SetVariable(in, l.substr(0, eq), l.substr(eq + 1));
  }
  in.sw.caseInsensitive = (size & 1) == 0;
  in.err.code = 0;
  std::string text(lines.back());
  kes::ConditionState cs;
  kes::EvaluateCondition(in, text, cs);
  // What follows the condition is a command, or "@" for nothing.
  if (text.empty()) std::abort();
  return 0;
}
