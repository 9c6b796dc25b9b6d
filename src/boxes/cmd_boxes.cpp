// Message and prompt boxes.
#include "interp/commands.h"

namespace kes {

void CmdAsk(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdAskButton(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdAskCheck(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdAskDir(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdAskList(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdAskMulti(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdBackground(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdChoice(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdColorDialog(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdCopyright(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdDirDialog(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdFileDialog(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdGauge(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdPopupWidth(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdIconBar(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdPassword(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdPicture(Interp& in, Ctx& c) { NotBuilt(in, c); }
void CmdShow(Interp& in, Ctx& c) { NotBuilt(in, c); }

}  // namespace kes
