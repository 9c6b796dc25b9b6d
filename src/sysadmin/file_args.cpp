#include "sysadmin/file_args.h"

namespace kes {

std::string WholePathArg(const Interp& in) { return Unquote(Trim(in.line.args), in.sep.quote); }

std::string ArgsFromField(const Interp& in, size_t k) {
  const std::string_view s = in.line.args;
  const std::string_view sep = in.sep.argSep;
  const std::string_view quote = in.sep.quote;
  if (k <= 1) return RTrim(LTrimView(s));
  if (sep.empty()) return std::string();
  size_t seen = 0, i = 0;
  bool inQuote = false;
  while (i < s.size()) {
    if (!quote.empty() && s.compare(i, quote.size(), quote) == 0) {
      inQuote = !inQuote;
      i += quote.size();
      continue;
    }
    if (!inQuote && s.compare(i, sep.size(), sep) == 0) {
      i += sep.size();
      if (++seen == k - 1) return RTrim(LTrimView(s.substr(i)));
      continue;
    }
    ++i;
  }
  return std::string();
}

bool HoldsLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace kes
