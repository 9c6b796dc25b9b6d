#include "startup/childmode.h"

namespace kes {

// The state exchange with a calling instance comes with the ADMIN block;
// until then a child has nothing to run.
bool ChildModeText(Interp&, std::string_view, std::string& text) {
  text.clear();
  return false;
}

}  // namespace kes
