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

// ---- text commands on one value (interp/cmd_strings.cpp)
void CmdAfterBefore(Interp&, Ctx&);  // AFTER BEFORE
void CmdAscii(Interp&, Ctx&);  // ASCII
void CmdBase64(Interp&, Ctx&);  // BASE64
void CmdConvert(Interp&, Ctx&);  // CONVERT
void CmdCut(Interp&, Ctx&);  // CUT
void CmdInset(Interp&, Ctx&);  // INSET
void CmdLeft(Interp&, Ctx&);  // LEFT
void CmdLen(Interp&, Ctx&);  // LEN
void CmdReplace(Interp&, Ctx&);  // REPLACE
void CmdReverse(Interp&, Ctx&);  // REVERSE
void CmdRight(Interp&, Ctx&);  // RIGHT
void CmdSpell(Interp&, Ctx&);  // SPELL
void CmdPathPart(Interp&, Ctx&);  // DRIVENAME FILENAME PATHNAME EXTNAME PREFIXNAME

// ---- list and value commands (interp/cmd_lists.cpp)
void CmdArray(Interp&, Ctx&);  // ARRAY
void CmdListOp(Interp&, Ctx&);  // CLEAR SORT SORTD TRANSFER FLAT CROP
void CmdValueOp(Interp&, Ctx&);  // DECR FORMAT INCR INT INV LOWER LTRIM RTRIM UPPER ROUND

// ---- commands on text files (interp/cmd_textfiles.cpp)
void CmdDelLine(Interp&, Ctx&);  // DELLINE
void CmdOemAnsi(Interp&, Ctx&);  // DOSANSI DOSANSILINE ANSIDOS ANSIDOSLINE
void CmdInsertText(Interp&, Ctx&);  // INSERT SUBSTITU
void CmdLineNext(Interp&, Ctx&);  // LINENEXT
void CmdUnicodeAnsi(Interp&, Ctx&);  // UNICODEANSI

// ---- registry commands (sysadmin/cmd_registry.cpp)
void CmdAtDelete(Interp&, Ctx&);  // ATDELETE
void CmdAtRun(Interp&, Ctx&);  // ATRUN
void CmdRegConnect(Interp&, Ctx&);  // SERVICECONNECT REGCONNECT
void CmdReg(Interp&, Ctx&);  // REG
void CmdRegKeyDel(Interp&, Ctx&);  // REGKEYDEL
void CmdRegKeyGet(Interp&, Ctx&);  // REGKEYGET
void CmdRegKeyList(Interp&, Ctx&);  // REGKEYLIST
void CmdRegKeySet(Interp&, Ctx&);  // REGKEYSET REGKEYNEW
void CmdRegKeyXList(Interp&, Ctx&);  // REGKEYXLIST
void CmdRegValueList(Interp&, Ctx&);  // REGVALUELIST

// ---- file, folder and INI-file commands (sysadmin/cmd_files.cpp)
void CmdAttrib(Interp&, Ctx&);  // ATTRIB
void CmdBinGet(Interp&, Ctx&);  // BINGET
void CmdDataGet(Interp&, Ctx&);  // DATAGET
void CmdDataPut(Interp&, Ctx&);  // DATAPUT
void CmdCopy(Interp&, Ctx&);  // COPY
void CmdDel(Interp&, Ctx&);  // DEL
void CmdIniEntry(Interp&, Ctx&);  // DELSECTIONENTRY SECTIONENTRY
void CmdDir(Interp&, Ctx&);  // DIR
void CmdDirTranslate(Interp&, Ctx&);  // DIRTRANSLATE
void CmdEdit(Interp&, Ctx&);  // EDIT
void CmdFindPath(Interp&, Ctx&);  // FINDPATH
void CmdLongName(Interp&, Ctx&);  // LONGNAME
void CmdRen(Interp&, Ctx&);  // REN MOVE
void CmdShellCopy(Interp&, Ctx&);  // SHELLCOPY SHELLDELETE
void CmdShortName(Interp&, Ctx&);  // SHORTNAME
void CmdSize(Interp&, Ctx&);  // SIZE
void CmdWhere(Interp&, Ctx&);  // WHERE
void CmdXDir(Interp&, Ctx&);  // XDIR
void CmdXSize(Interp&, Ctx&);  // XSIZE

// ---- programs and tasks (sysadmin/cmd_programs.cpp)
void CmdAdmin(Interp&, Ctx&);  // ADMIN
void CmdCallDll(Interp&, Ctx&);  // CALLDLL
void CmdCpuTime(Interp&, Ctx&);  // CPUTIME
void CmdTasks(Interp&, Ctx&);  // KILL TASKLIST WAITTASK PREVINSTANCE
void CmdPriority(Interp&, Ctx&);  // PRIORITY
void CmdRun(Interp&, Ctx&);  // RUN RUNWAIT
void CmdRunDos(Interp&, Ctx&);  // RUNDOS
void CmdRunExit(Interp&, Ctx&);  // RUNEXIT
void CmdRunAccount(Interp&, Ctx&);  // RUNNT RUNNTWAIT RUNADMIN RUNADMINWAIT
void CmdShell(Interp&, Ctx&);  // SHELL

// ---- COMPRESS and UNCOMPRESS (packaging/cmd_compress.cpp)
void CmdCompress(Interp&, Ctx&);  // COMPRESS UNCOMPRESS

// ---- message and prompt boxes (boxes/cmd_boxes.cpp)
void CmdAsk(Interp&, Ctx&);  // ASK ASKOK ECHO ECHOERROR
void CmdAskButton(Interp&, Ctx&);  // ASKBUTTON
void CmdAskCheck(Interp&, Ctx&);  // ASKCHECK
void CmdAskDir(Interp&, Ctx&);  // ASKDIR ASKFILE
void CmdAskList(Interp&, Ctx&);  // ASKLIST ASKFORMAT
void CmdAskMulti(Interp&, Ctx&);  // ASKMULTI
void CmdBackground(Interp&, Ctx&);  // BACKGROUND
void CmdChoice(Interp&, Ctx&);  // CHOICE
void CmdColorDialog(Interp&, Ctx&);  // COLORDIALOG FONTDIALOG
void CmdCopyright(Interp&, Ctx&);  // COPYRIGHT
void CmdDirDialog(Interp&, Ctx&);  // DIRDIALOG
void CmdFileDialog(Interp&, Ctx&);  // FILEDIALOG
void CmdGauge(Interp&, Ctx&);  // GAUGE POPUP
void CmdPopupWidth(Interp&, Ctx&);  // POPUPWIDTH
void CmdIconBar(Interp&, Ctx&);  // ICONBAR
void CmdPassword(Interp&, Ctx&);  // PASSWORD
void CmdPicture(Interp&, Ctx&);  // PICTURE
void CmdShow(Interp&, Ctx&);  // SHOW TYPE

// ---- control flow and conditions (interp/cmd_flow.cpp)
void CmdIf(Interp&, Ctx&);  // IF
void CmdGoto(Interp&, Ctx&);  // GOTO
void CmdCall(Interp&, Ctx&);  // CALL CALLSUB
void CmdExit(Interp&, Ctx&);  // EXIT
void CmdExitFor(Interp&, Ctx&);  // EXITFOR
void CmdEndSub(Interp&, Ctx&);  // EXITSUB ENDSUB
void CmdFor(Interp&, Ctx&);  // FOR
void CmdNext(Interp&, Ctx&);  // NEXT ITERATE
void CmdSwitchBlock(Interp&, Ctx&);  // SWITCH

// ---- calculation, dates and random numbers (interp/cmd_calc.cpp)
void CmdCalculate(Interp&, Ctx&);  // CALCULATE
void CmdMod(Interp&, Ctx&);  // MOD
void CmdRandom(Interp&, Ctx&);  // RANDOM
void CmdDateTime(Interp&, Ctx&);  // DATETIME
void CmdDateTimeDiff(Interp&, Ctx&);  // DATETIMEDIFF

// Stand-in for a command whose handler is not built yet: a syntax error.
void NotBuilt(Interp&, Ctx&);

// Number of rows of the command table.
size_t CommandRowCount();

}  // namespace kes
