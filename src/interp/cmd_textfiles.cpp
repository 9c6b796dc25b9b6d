// Commands on text files.
#include "interp/commands.h"

namespace kes {

void CmdDelLine(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdOemAnsi(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdInsertText(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdLineNext(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdUnicodeAnsi(Interp& in, Ctx& c) { NotBuilt(in, c); }

}  // namespace kes
