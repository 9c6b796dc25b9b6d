// Text commands on one value.
#include "interp/commands.h"

namespace kes {

void CmdAfterBefore(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdAscii(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdBase64(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdConvert(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdCut(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdInset(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdLeft(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdLen(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdReplace(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdReverse(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdRight(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdSpell(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdPathPart(Interp& in, Ctx& c) { NotBuilt(in, c); }

}  // namespace kes
