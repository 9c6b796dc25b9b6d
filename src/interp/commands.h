// Every command handler named by the command table, grouped by module.
#pragma once

#include "interp/dispatcher.h"

namespace kes {

// ---- variables (cmd_variables.cpp)
void CmdSet(Interp&, Ctx&);       // SET, SETLOCAL
void CmdSetShare(Interp&, Ctx&);  // SETSHARE
void CmdLet(Interp&, Ctx&);       // LET, SETCDE

// ---- separators, switches and small commands (cmd_small.cpp)
void CmdSep(Interp&, Ctx&);
void CmdSepAll(Interp&, Ctx&);
void CmdVarSep(Interp&, Ctx&);
void CmdQuote(Interp&, Ctx&);
void CmdSwitch(Interp&, Ctx&);  // CENTER, CODECALL, DRIVE, ESC, INTERRUPT, LOGMUTE, LOGSTOP, MANDATORY, MASK, OK, ...
void CmdCase(Interp&, Ctx&);
void CmdChdir(Interp&, Ctx&);  // CHDIR, CD
void CmdMd(Interp&, Ctx&);
void CmdRd(Interp&, Ctx&);
void CmdClipCopy(Interp&, Ctx&);
void CmdClipPaste(Interp&, Ctx&);  // CLIPPASTE, CLIPINSERT
void CmdLabel(Interp&, Ctx&);
void CmdNothing(Interp&, Ctx&);  // ERROR
void CmdStop(Interp&, Ctx&);
void CmdSleep(Interp&, Ctx&);
void CmdWait(Interp&, Ctx&);
void CmdDoEvents(Interp&, Ctx&);
void CmdLine(Interp&, Ctx&);
void CmdExtract(Interp&, Ctx&);
void CmdSlow(Interp&, Ctx&);

// ---- configuration and log (cmd_config.cpp)
void CmdConfig(Interp&, Ctx&);  // DIRDYN ... DIRRUN, MAXLOG, MAXWAIT, FICLOG, LOGFILE
void CmdSetEnv(Interp&, Ctx&);
void CmdLog(Interp&, Ctx&);

// ---- text output (cmd_output.cpp)
void CmdAppend(Interp&, Ctx&);  // APPEND, OUTPUT
void CmdAnswer(Interp&, Ctx&);  // ANSWER, BUTTONSELECT

// Number of rows of the command table.
size_t CommandRowCount();

}  // namespace kes
