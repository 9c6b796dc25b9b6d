// Every command handler named by the command table, grouped by module. A
// handler shared by the words of one row learns its word from Ctx::word,
// read through the enumeration declared beside it (c.Word<ListOpWord>()),
// whose order is the order of the row's words.
#pragma once

#include "interp/args.h"
#include "interp/dispatcher.h"
#include "interp/errors.h"

namespace kes {

// ---- variables (cmd_variables.cpp)
void CmdSet(Interp&, Ctx&);       // SET, SETLOCAL
enum class SetWord { Set, SetLocal };
void CmdSetShare(Interp&, Ctx&);  // SETSHARE
void CmdLet(Interp&, Ctx&);       // LET, SETCDE

// ---- separators, switches and small commands (cmd_small.cpp)
void CmdSep(Interp&, Ctx&);
void CmdSepAll(Interp&, Ctx&);
void CmdVarSep(Interp&, Ctx&);
void CmdQuote(Interp&, Ctx&);
// the switches: each sets one flag from the ON test
void CmdCenter(Interp&, Ctx&);
void CmdCodeCall(Interp&, Ctx&);
void CmdDrive(Interp&, Ctx&);
void CmdEsc(Interp&, Ctx&);
void CmdInterrupt(Interp&, Ctx&);
void CmdLogMute(Interp&, Ctx&);
void CmdLogStop(Interp&, Ctx&);
void CmdMandatory(Interp&, Ctx&);
void CmdMask(Interp&, Ctx&);
void CmdNoSensitive(Interp&, Ctx&);
void CmdOk(Interp&, Ctx&);
void CmdOldApp(Interp&, Ctx&);
void CmdProfile(Interp&, Ctx&);
void CmdStdInOut(Interp&, Ctx&);
void CmdTop(Interp&, Ctx&);
void CmdCase(Interp&, Ctx&);
void CmdChdir(Interp&, Ctx&);  // CHDIR, CD
void CmdMd(Interp&, Ctx&);
void CmdRd(Interp&, Ctx&);
void CmdClipCopy(Interp&, Ctx&);
void CmdClipPaste(Interp&, Ctx&);  // CLIPPASTE, CLIPINSERT
enum class ClipPasteWord { ClipPaste, ClipInsert };
void CmdLabel(Interp&, Ctx&);
void CmdNothing(Interp&, Ctx&);  // ERROR
void CmdStop(Interp&, Ctx&);
void CmdSleep(Interp&, Ctx&);
void CmdWait(Interp&, Ctx&);
void CmdDoEvents(Interp&, Ctx&);
void CmdLine(Interp&, Ctx&);
void CmdExtract(Interp&, Ctx&);
void CmdSlow(Interp&, Ctx&);

// ---- the trace and the immediate window (trace/cmd_trace.cpp,
// trace/immediate_window.cpp; the light interpreter has neither)
void CmdTrace(Interp&, Ctx&);
void CmdImmediate(Interp&, Ctx&);

// ---- configuration and log (cmd_config.cpp)
void CmdConfig(Interp&, Ctx&);  // DIRDYN ... DIRRUN, MAXLOG, MAXWAIT, FICLOG, LOGFILE
void CmdSetEnv(Interp&, Ctx&);
void CmdLog(Interp&, Ctx&);

// ---- text output (cmd_output.cpp)
void CmdAppend(Interp&, Ctx&);  // APPEND, OUTPUT
enum class AppendWord { Append, Output };
void CmdAnswer(Interp&, Ctx&);  // ANSWER, BUTTONSELECT
enum class AnswerWord { Answer, ButtonSelect };

// ---- text commands on one value (interp/cmd_strings.cpp)
void CmdAfterBefore(Interp&, Ctx&);  // AFTER BEFORE
enum class AfterBeforeWord { After, Before };
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
enum class PathPartWord { DriveName, FileName, PathName, ExtName, PrefixName };

// ---- list and value commands (interp/cmd_lists.cpp)
void CmdArray(Interp&, Ctx&);  // ARRAY
void CmdListOp(Interp&, Ctx&);  // CLEAR SORT SORTD TRANSFER FLAT CROP
enum class ListOpWord { Clear, Sort, SortD, Transfer, Flat, Crop };
void CmdValueOp(Interp&, Ctx&);  // DECR FORMAT INCR INT INV LOWER LTRIM RTRIM UPPER ROUND
enum class ValueOpWord { Decr, Format, Incr, Int, Inv, Lower, LTrim, RTrim, Upper, Round };

// ---- commands on text files (interp/cmd_textfiles.cpp)
void CmdDelLine(Interp&, Ctx&);  // DELLINE
void CmdOemAnsi(Interp&, Ctx&);  // DOSANSI DOSANSILINE ANSIDOS ANSIDOSLINE
enum class OemAnsiWord { DosAnsi, DosAnsiLine, AnsiDos, AnsiDosLine };
void CmdInsertText(Interp&, Ctx&);  // INSERT SUBSTITU
enum class InsertTextWord { Insert, Substitu };
void CmdLineNext(Interp&, Ctx&);  // LINENEXT
void CmdUnicodeAnsi(Interp&, Ctx&);  // UNICODEANSI

// ---- registry commands (sysadmin/cmd_registry.cpp)
void CmdAtDelete(Interp&, Ctx&);  // ATDELETE
void CmdAtRun(Interp&, Ctx&);  // ATRUN
void CmdRegConnect(Interp&, Ctx&);  // SERVICECONNECT REGCONNECT
enum class RegConnectWord { ServiceConnect, RegConnect };
void CmdReg(Interp&, Ctx&);  // REG
void CmdRegKeyDel(Interp&, Ctx&);  // REGKEYDEL
void CmdRegKeyGet(Interp&, Ctx&);  // REGKEYGET
void CmdRegKeyList(Interp&, Ctx&);  // REGKEYLIST
void CmdRegKeySet(Interp&, Ctx&);  // REGKEYSET REGKEYNEW
enum class RegKeySetWord { RegKeySet, RegKeyNew };
void CmdRegKeyXList(Interp&, Ctx&);  // REGKEYXLIST
void CmdRegValueList(Interp&, Ctx&);  // REGVALUELIST

// ---- network connections (sysadmin/cmd_netdrives.cpp)
void CmdNet(Interp&, Ctx&);  // NET CONNECT
enum class NetWord { Net, Connect };
void CmdNetRequest(Interp&, Ctx&);  // NETREQUEST
void CmdNetList(Interp&, Ctx&);     // NETLIST

// ---- network resources and accounts (sysadmin/cmd_accounts.cpp)
void CmdNetInfo(Interp&, Ctx&);   // NETINFO
void CmdUserInfo(Interp&, Ctx&);  // USERINFO
void CmdOwner(Interp&, Ctx&);     // OWNER
void CmdSid(Interp&, Ctx&);       // SID

// ---- printers (sysadmin/cmd_printers.cpp)
void CmdDefaultPrinter(Interp&, Ctx&);  // DEFAULTPRINTER

// ---- services (sysadmin/cmd_services.cpp)
void CmdService(Interp&, Ctx&);  // DEVICE SERVICE SERVICELIST DEVICELIST
enum class ServiceWord { Device, Service, ServiceList, DeviceList };

// ---- file, folder and INI-file commands (sysadmin/cmd_files.cpp)
void CmdAttrib(Interp&, Ctx&);  // ATTRIB
void CmdBinGet(Interp&, Ctx&);  // BINGET
void CmdDataGet(Interp&, Ctx&);  // DATAGET
void CmdDataPut(Interp&, Ctx&);  // DATAPUT
void CmdCopy(Interp&, Ctx&);  // COPY
void CmdDel(Interp&, Ctx&);  // DEL
void CmdIniEntry(Interp&, Ctx&);  // DELSECTIONENTRY SECTIONENTRY
enum class IniEntryWord { DelSectionEntry, SectionEntry };
void CmdDir(Interp&, Ctx&);  // DIR
void CmdDirTranslate(Interp&, Ctx&);  // DIRTRANSLATE
void CmdEdit(Interp&, Ctx&);  // EDIT
void CmdFindPath(Interp&, Ctx&);  // FINDPATH
void CmdLongName(Interp&, Ctx&);  // LONGNAME
void CmdRen(Interp&, Ctx&);  // REN MOVE
void CmdShellCopy(Interp&, Ctx&);  // SHELLCOPY SHELLDELETE
enum class ShellCopyWord { ShellCopy, ShellDelete };
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
enum class TaskWord { Kill, TaskList, WaitTask, PrevInstance };
void CmdPriority(Interp&, Ctx&);  // PRIORITY
void CmdRun(Interp&, Ctx&);  // RUN RUNWAIT
enum class RunWord { Run, RunWait };
void CmdRunDos(Interp&, Ctx&);  // RUNDOS
void CmdRunExit(Interp&, Ctx&);  // RUNEXIT
void CmdRunAccount(Interp&, Ctx&);  // RUNNT RUNNTWAIT RUNADMIN RUNADMINWAIT
enum class RunAccountWord { RunNt, RunNtWait, RunAdmin, RunAdminWait };
void CmdShell(Interp&, Ctx&);  // SHELL

// ---- system and file information (sysadmin/cmd_sysinfo.cpp, cmd_nethard.cpp, cmd_shortcut.cpp)
void CmdAudit(Interp&, Ctx&);  // AUDIT
void CmdDriveSpace(Interp&, Ctx&);  // DRIVEFREE FREE DRIVESIZE
enum class DriveSpaceWord { DriveFree, Free, DriveSize };
void CmdExitWindows(Interp&, Ctx&);  // EXITWINDOWS
void CmdHost(Interp&, Ctx&);  // HOST
void CmdNetHard(Interp&, Ctx&);  // NETHARD
void CmdPing(Interp&, Ctx&);  // PING
void CmdShortcut(Interp&, Ctx&);  // CREATESHORTCUT GETSHORTCUT
enum class ShortcutWord { CreateShortcut, GetShortcut };
void CmdSound(Interp&, Ctx&);  // SOUND SOUNDWAIT
enum class SoundWord { Sound, SoundWait };
void CmdSystem(Interp&, Ctx&);  // SYSTEM
void CmdTcpIpList(Interp&, Ctx&);  // TCPIPLIST
void CmdVersion(Interp&, Ctx&);  // VERSION

// ---- COMPRESS and UNCOMPRESS (packaging/cmd_compress.cpp)
void CmdCompress(Interp&, Ctx&);  // COMPRESS UNCOMPRESS
enum class CompressWord { Compress, Uncompress };

// ---- packages (packaging/package.cpp, cmd_createexe.cpp, cmd_code.cpp, cmd_pack.cpp)
void CmdAddonWrite(Interp&, Ctx&);  // ADDONWRITE
void CmdCreateExe(Interp&, Ctx&);  // CREATEEXE CREATEDLL PLUG
enum class CreateExeWord { CreateExe, CreateDll, Plug };
void CmdCode(Interp&, Ctx&);  // CODE CODEFILE DECODE
enum class CodeWord { Code, CodeFile, Decode };
void CmdPack(Interp&, Ctx&);  // PACK
void CmdPackJoin(Interp&, Ctx&);  // PACKJOIN

// ---- message and prompt boxes (boxes/cmd_boxes.cpp)
void CmdAsk(Interp&, Ctx&);  // ASK ASKOK ECHO ECHOERROR
enum class AskWord { Ask, AskOk, Echo, EchoError };
void CmdAskButton(Interp&, Ctx&);  // ASKBUTTON
void CmdAskCheck(Interp&, Ctx&);  // ASKCHECK
void CmdAskDir(Interp&, Ctx&);  // ASKDIR ASKFILE
enum class AskDirWord { AskDir, AskFile };
void CmdAskList(Interp&, Ctx&);  // ASKLIST ASKFORMAT
enum class AskListWord { AskList, AskFormat };
void CmdAskMulti(Interp&, Ctx&);  // ASKMULTI
void CmdBackground(Interp&, Ctx&);  // BACKGROUND
void CmdChoice(Interp&, Ctx&);  // CHOICE
void CmdColorDialog(Interp&, Ctx&);  // COLORDIALOG FONTDIALOG
enum class ColorDialogWord { ColorDialog, FontDialog };
void CmdCopyright(Interp&, Ctx&);  // COPYRIGHT
void CmdDirDialog(Interp&, Ctx&);  // DIRDIALOG
void CmdFileDialog(Interp&, Ctx&);  // FILEDIALOG
void CmdGauge(Interp&, Ctx&);  // GAUGE POPUP
enum class GaugeWord { Gauge, Popup };
void CmdPopupWidth(Interp&, Ctx&);  // POPUPWIDTH
void CmdIconBar(Interp&, Ctx&);  // ICONBAR
void CmdPassword(Interp&, Ctx&);  // PASSWORD
void CmdPicture(Interp&, Ctx&);  // PICTURE
void CmdShow(Interp&, Ctx&);  // SHOW TYPE
enum class ShowWord { Show, Type };

// ---- control flow and conditions (interp/cmd_flow.cpp)
void CmdIf(Interp&, Ctx&);  // IF
void CmdGoto(Interp&, Ctx&);  // GOTO
void CmdCall(Interp&, Ctx&);  // CALL CALLSUB
enum class CallWord { Call, CallSub };
void CmdExit(Interp&, Ctx&);  // EXIT
void CmdExitFor(Interp&, Ctx&);  // EXITFOR
void CmdEndSub(Interp&, Ctx&);  // EXITSUB ENDSUB
void CmdFor(Interp&, Ctx&);  // FOR
void CmdNext(Interp&, Ctx&);  // NEXT ITERATE
enum class NextWord { Next, Iterate };
void CmdSwitchBlock(Interp&, Ctx&);  // SWITCH

// ---- calculation, dates and random numbers (interp/cmd_calc.cpp)
void CmdCalculate(Interp&, Ctx&);  // CALCULATE
void CmdMod(Interp&, Ctx&);  // MOD
void CmdRandom(Interp&, Ctx&);  // RANDOM
void CmdDateTime(Interp&, Ctx&);  // DATETIME
void CmdDateTimeDiff(Interp&, Ctx&);  // DATETIMEDIFF

// ---- HTTP client (net/cmd_http.cpp)
void CmdHttp(Interp&, Ctx&);       // HTTP
void CmdCacheName(Interp&, Ctx&);  // CACHENAME
void CmdDynFile(Interp&, Ctx&);    // FICDYN DYNFILE
void CmdDynamic(Interp&, Ctx&);    // DYNAMIC

// ---- FTP client (net/cmd_ftp.cpp) and mail sender (net/cmd_mail.cpp)
void CmdFtpOpen(Interp&, Ctx&);   // FTPOPEN
void CmdFtpClose(Interp&, Ctx&);  // FTPCLOSE
void CmdFtp(Interp&, Ctx&);       // FTPGET FTPPUT FTPSERVER FTPDIR FTPLIST
enum class FtpWord { Get, Put, Server, Dir, List };
void CmdMailSend(Interp&, Ctx&);  // MAILSEND

// Stand-in for a command whose handler is not built yet: a syntax error.
void NotBuilt(Interp&, Ctx&);

// Number of rows of the command table.
size_t CommandRowCount();

// ---- desktop automation (automation/cmd_keys.cpp, cmd_focus.cpp, cmd_window.cpp,
// cmd_mouse.cpp, cmd_desktop.cpp)
void CmdKey(Interp&, Ctx&);             // KEY
void CmdKeyMenu(Interp&, Ctx&);         // KEYMENU
void CmdKeyCheck(Interp&, Ctx&);        // KEYCHECK
void CmdKeyList(Interp&, Ctx&);         // KEYLIST
void CmdKeyClick(Interp&, Ctx&);        // KEYCLICK
void CmdKeyTab(Interp&, Ctx&);          // KEYTAB
void CmdGetLock(Interp&, Ctx&);         // GETCAPSLOCK, GETNUMLOCK
enum class GetLockWord { GetCapsLock, GetNumLock };
void CmdGetKey(Interp&, Ctx&);          // GETKEY
void CmdFocusChild(Interp&, Ctx&);      // FOCUSCHILD, FOCUSOBJECT
enum class FocusChildWord { FocusChild, FocusObject };
void CmdFocusParent(Interp&, Ctx&);     // FOCUSPARENT
void CmdWaitChild(Interp&, Ctx&);       // WAITCHILD, WAITOBJECT
enum class WaitChildWord { WaitChild, WaitObject };
void CmdWaitWindowList(Interp&, Ctx&);  // WAITWINDOWLIST
void CmdWaitParent(Interp&, Ctx&);      // WAITPARENT, WAITEND
enum class WaitParentWord { WaitParent, WaitEnd };
void CmdGetFocus(Interp&, Ctx&);        // GETFOCUS
void CmdOptionalBox(Interp&, Ctx&);     // IGNOREBOX, OPTIONALBOX
enum class OptionalBoxWord { IgnoreBox, OptionalBox };
void CmdLastFocus(Interp&, Ctx&);       // LASTFOCUS
void CmdWindow(Interp&, Ctx&);          // WINDOW
void CmdWindowSize(Interp&, Ctx&);      // WINDOWSIZE
void CmdWindowList(Interp&, Ctx&);      // OBJECTLIST, WINDOWLIST
void CmdWindowXList(Interp&, Ctx&);     // OBJECTXLIST, WINDOWXLIST
enum class WindowListWord { Objects, Windows };
void CmdMouseClick(Interp&, Ctx&);      // MOUSECLICK, MOUSEDBLCLICK
enum class MouseClickWord { Click, DoubleClick };
void CmdMouseMove(Interp&, Ctx&);       // MOUSEMOVE, MOUSEGETXY
enum class MouseMoveWord { Move, GetXY };
void CmdCursor(Interp&, Ctx&);          // CURSOR
void CmdGetPixel(Interp&, Ctx&);        // GETPIXEL
void CmdSession(Interp&, Ctx&);         // SESSION
void CmdScreenSaver(Interp&, Ctx&);     // SCREENSAVER
void CmdTaskbar(Interp&, Ctx&);         // TASKBAR

}  // namespace kes
