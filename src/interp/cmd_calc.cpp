// Calculation, dates and random numbers.
#include "interp/commands.h"

namespace kes {

void CmdCalculate(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdMod(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdRandom(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdDateTime(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdDateTimeDiff(Interp& in, Ctx& c) { NotBuilt(in, c); }

}  // namespace kes
