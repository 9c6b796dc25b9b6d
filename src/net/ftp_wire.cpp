#include "net/ftp_wire.h"

#include "interp/text.h"
#include "interp/wildcard.h"

namespace kes {

bool PassivePort(std::string_view reply, uint16_t& port) {
  const size_t open = reply.find('(');
  if (open == std::string_view::npos) return false;
  const size_t close = reply.find(')', open + 1);
  if (close == std::string_view::npos) return false;
  const std::vector<std::string> f = SplitPlain(reply.substr(open + 1, close - open - 1), ",");
  if (f.size() < 6) return false;
  for (size_t i = 0; i < 6; ++i)
    if (!AllDigits(Trim(f[i])) || Trim(f[i]).size() > 3) return false;
  const int hi = ValInt(f[4]), lo = ValInt(f[5]);
  if (hi > 255 || lo > 255) return false;
  const int p = hi * 256 + lo;
  if (p < 1) return false;
  port = static_cast<uint16_t>(p);
  return true;
}

void TransferNames(std::string_view args, std::string_view sep, std::string_view quote, std::string& first,
                   std::string& second) {
  first.clear();
  second.clear();
  if (!quote.empty() && args.find(quote) != std::string_view::npos) {
    // between quotes 1 and 2, and between quotes 3 and 4
    size_t at[4];
    size_t n = 0, from = 0;
    while (n < 4) {
      const size_t q = args.find(quote, from);
      if (q == std::string_view::npos) break;
      at[n++] = q;
      from = q + quote.size();
    }
    auto between = [&](size_t a, size_t b) {
      const size_t start = at[a] + quote.size();
      return std::string(args.substr(start, at[b] - start));
    };
    if (n >= 2) first = between(0, 1);
    if (n >= 4) second = between(2, 3);
    return;
  }
  if (sep.empty()) sep = ",";
  const std::vector<std::string> f = SplitPlain(ReplaceAllCopy(args, " ", sep), sep);
  if (!f.empty()) first = Trim(f[0]);
  if (f.size() > 1) second = Trim(f[1]);
}

RemoteSplit SplitRemotePath(std::string_view path, char at) {
  RemoteSplit r;
  const size_t p = path.rfind(at);
  if (p == std::string_view::npos) {
    r.name.assign(path);
    return r;
  }
  r.found = true;
  r.folder = Trim(path.substr(0, p));
  r.name.assign(path.substr(p + 1));
  return r;
}

DirRequest DirRequestOf(std::string_view path) {
  DirRequest r;
  size_t p = path.rfind('\\');
  if (p == std::string_view::npos) p = path.rfind('/');
  if (p == std::string_view::npos) {
    r.pattern.assign(path);
    return r;
  }
  r.folder.assign(path.substr(0, p));
  if (r.folder.empty()) r.folder = "/";
  r.pattern.assign(path.substr(p + 1));
  r.folders = path.back() == '\\' || path.back() == '/';
  return r;
}

std::vector<std::string> DirNames(std::string_view listing, const DirRequest& r) {
  // The fixed name column of a Unix-style listing (character 56).
  constexpr size_t kNameColumn = 55;
  std::vector<std::string> names;
  for (const std::string& line : ListLines(listing)) {
    if (line.size() <= kNameColumn) continue;
    const bool folder = line[0] == 'd' || line[0] == 'D';
    if (folder != r.folders) continue;
    if (folder && line.back() == '.') continue;
    std::string name = line.substr(kNameColumn);
    if (r.pattern.empty() || NameMatches(name, r.pattern)) names.push_back(std::move(name));
  }
  return names;
}

std::vector<std::string> ListLines(std::string_view listing) { return SplitPlain(listing, "\r\n"); }

}  // namespace kes
