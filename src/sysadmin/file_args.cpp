#include "sysadmin/file_args.h"

#include "interp/strops.h"
#include "sysadmin/fileops.h"

namespace kes {

std::string WholePathArg(const Interp& in) { return Unquote(Trim(in.line.args), in.sep.quote); }

std::string ArgsFromField(const Interp& in, size_t k) {
  const std::string_view s = in.line.args;
  if (k <= 1) return RTrim(LTrimView(s));
  const size_t p = AfterSeparators(s, k - 1, in.sep.argSep, in.sep.quote);
  return p == std::string_view::npos ? std::string() : RTrim(LTrimView(s.substr(p)));
}

bool RefusePath(Interp& in, std::string_view path) {
  const int e = CheckUsablePath(path);
  if (e) in.err.code = e;
  return e != 0;
}

bool HoldsLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace kes
