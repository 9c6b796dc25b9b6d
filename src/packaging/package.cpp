#include "packaging/package.h"

namespace kes {

// Packages are read once the packager exists; until then nothing runs.
bool PackagedScriptText(Interp&, std::string& text) {
  text.clear();
  return false;
}

bool PackageFileScript(Interp&, std::string_view, std::string& text) {
  text.clear();
  return false;
}

}  // namespace kes
