// Control flow and conditions.
#include "interp/commands.h"

namespace kes {

void CmdIf(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdGoto(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdCall(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdExit(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdExitFor(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdEndSub(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdFor(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdNext(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdSwitchBlock(Interp& in, Ctx& c) { NotBuilt(in, c); }

}  // namespace kes
