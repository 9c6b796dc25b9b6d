// The network texts on any input: NET arguments never keep the persistence
// words and always have a sub-command; the resource browse of a made-up
// network (containers that hold themselves included) ends with paths built
// from the names; the list lines and settings keep their parts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "interp/text.h"
#include "sysadmin/nettext.h"

namespace {

// Records from the input: each byte below 64 opens a container whose
// children are the records of the next bytes.
class InputNetwork : public kes::ResourceSource {
 public:
  explicit InputNetwork(std::string_view data) : data_(data) {}
  std::vector<kes::NetRecord> Children(const kes::NetRecord* parent) override {
    std::vector<kes::NetRecord> r;
    size_t from = parent ? parent->token : 0;
    if (++calls_ > 300) return r;
    for (size_t i = 0; i < 4 && from + i < data_.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(data_[from + i]);
      r.push_back({c % 5 ? std::string(1, static_cast<char>('a' + c % 26)) : std::string(), c < 64,
                   (from + i + c) % (data_.size() + 1)});
    }
    return r;
  }

 private:
  std::string_view data_;
  int calls_ = 0;
};

void Check(bool ok) {
  if (!ok) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(bytes), size);
  const kes::NetArgs a = kes::ParseNetArgs(in);
  Check(!a.fields.empty());
  Check(a.fields[0] == kes::Upper(a.fields[0]));
  for (const std::string& f : a.fields) Check(kes::FindNoCase(f, "PERSISTENT") == std::string::npos);

  const size_t half = size / 2;
  const std::string_view x = in.substr(0, half), y = in.substr(half);
  if (kes::RemoteBeginsName(x, y)) Check(x.size() <= kes::RTrimView(y).size());
  kes::ServerUncName(x);

  InputNetwork net(in);
  std::vector<std::string> paths;
  kes::BrowseResources(net, paths);
  for (const std::string& p : paths) Check(!p.empty() && p.front() != ';');

  kes::PrinterEntry printer{std::string(x), std::string(y), static_cast<uint32_t>(size)};
  const std::string line = kes::LocalPrinterLine(printer, {{std::string(y), "m", "d"}}, ",");
  Check(kes::StartsWith(line, "PRINTER = "));
  std::string device;
  if (kes::DeviceSetting(x, y, device)) Check(kes::DefaultPrinterOf(device) == kes::DefaultPrinterOf(x));
  kes::ProfileBelongsTo(x, y);
  kes::SplitMemberOperand(in);

  std::u16string wide;
  for (size_t i = 0; i + 1 < size; i += 2) wide += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
  Check(kes::KeepNonZeroBytes(wide.c_str()).find('\0') == std::string::npos);

  kes::TimeOfDay t;
  if (size >= 8) {
    t.year = 1600 + bytes[0] * 2, t.month = bytes[1] % 14, t.weekday = bytes[2] % 8, t.day = bytes[3] % 33;
    t.hours = bytes[4] % 25, t.minutes = bytes[5] % 61, t.seconds = bytes[6] % 61, t.hundredths = bytes[7];
    kes::ClockTime c;
    if (kes::ClockFromTimeOfDay(t, c)) Check(kes::ClockText(c).size() == 23);
  }
  return 0;
}
