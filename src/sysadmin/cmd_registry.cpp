// Registry commands.
#include "interp/commands.h"

namespace kes {

void CmdAtDelete(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdAtRun(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdRegConnect(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdReg(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdRegKeyDel(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdRegKeyGet(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdRegKeyList(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdRegKeySet(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdRegKeyXList(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdRegValueList(Interp& in, Ctx& c) { NotBuilt(in, c); }

}  // namespace kes
