// The package descriptor: decimal texts in the executable's data that the
// packager rewrites in the copy it builds. They must stay in initialised data
// exactly as written, so they are volatile and read character by character.
#include "startup/startup.h"

namespace kes {

extern "C" {
// first block: offset (6 digits) + length (6 digits)
volatile char kesPackFirst[] = "KESPKG1:000000000000";
// second block: same layout; "$" characters read as 0
volatile char kesPackSecond[] = "KESPKG2:$$$$$$$$$$$$";
// main block: offset (6 digits) + length (8 characters, "{" until packaged)
volatile char kesPackMain[] = "KESPKG3:000000{{{{{{{{";
// plug-in marker, two 2-character halves: 2332 normal build, 1221 plug-in
volatile char kesPlugA[] = "KESPLG:23";
volatile char kesPlugB[] = "KESPLG:32";
// options written by the packager: credentials and run-once flag, scrambled
// ("#" until packaged)
volatile char kesPackOptions[] = "KESPKGO:"
    "##################################################"
    "##################################################"
    "##############################################";
}

namespace {

std::string Read(const volatile char* s, size_t skip) {
  std::string r;
  for (size_t i = skip; s[i]; ++i) r += s[i];
  return r;
}

long Number(const std::string& s, size_t pos, size_t len) {
  if (pos >= s.size()) return 0;
  return static_cast<long>(ValInt(std::string_view(s).substr(pos, len)));
}

}  // namespace

void ReadPackageDescriptor(MachineInfo& m) {
  const std::string first = Read(kesPackFirst, 8);
  const std::string second = Read(kesPackSecond, 8);
  const std::string main = Read(kesPackMain, 8);
  m.firstPos = Number(first, 0, 6);
  m.firstLen = Number(first, 6, 6);
  m.secondPos = Number(second, 0, 6);
  m.secondLen = Number(second, 6, 6);
  m.mainPos = Number(main, 0, 6);
  m.mainLen = Number(main, 6, 8);
  m.pluginBuild = ValInt(Read(kesPlugA, 7) + Read(kesPlugB, 7)) == 1221;
  m.packaged = m.mainLen > 0;
  m.optionField = Read(kesPackOptions, 8);
}

}  // namespace kes
