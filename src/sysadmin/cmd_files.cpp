// File, folder and INI-file commands.
#include "interp/commands.h"

namespace kes {

void CmdAttrib(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdBinGet(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdDataGet(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdDataPut(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdCopy(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdDel(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdIniEntry(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdDir(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdDirTranslate(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdEdit(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdFindPath(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdLongName(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdRen(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdShellCopy(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdShortName(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdSize(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdWhere(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdXDir(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdXSize(Interp& in, Ctx& c) { NotBuilt(in, c); }

}  // namespace kes
