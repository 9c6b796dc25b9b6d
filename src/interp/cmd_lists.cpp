// List and value commands.
#include "interp/commands.h"

namespace kes {

void CmdArray(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdListOp(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdValueOp(Interp& in, Ctx& c) { NotBuilt(in, c); }

}  // namespace kes
