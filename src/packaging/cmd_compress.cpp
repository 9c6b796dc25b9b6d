// COMPRESS and UNCOMPRESS.
#include "interp/commands.h"

namespace kes {

void CmdCompress(Interp& in, Ctx& c) { NotBuilt(in, c); }

}  // namespace kes
