// The command table, in dispatch order: the first row that lists a command
// word selects its handler, and tells which word of the row it was (Ctx::word).
// A row holds the words that share one handler, the facts about each word,
// and what the command does in one plain sentence. A null handler is a
// command not built yet; it answers like a word without handler.
#include <unordered_map>

#include "interp/commands.h"
#include "interp/dispatcher.h"

namespace kes {

namespace {

// The word facts, one entry per word of the row:
//   N  not logged: a failure of the line is not written to the log
//   K  keeps the error code the previous command left
//   T  no error record in the trace window
//   P  the line is never traced
//   B  ends the collection of box lines;  O  starts it
constexpr uint8_t N = kNotLogged, K = kKeepsError, T = kNoErrorTrace, P = kNotTraced, B = kEndsBoxLines,
                  O = kOpensBoxLines;

// clang-format off
constexpr CommandRow kCommands[] = {
    /*   1 */ {"ADDONWRITE", CmdAddonWrite, {},
              "Writes an entry of the add-on or image list file (ADDONLIST, IMAGELIST); 53 for a missing file."},
    /*   2 */ {"ADMIN", CmdAdmin, {},
              "ADMIN BEGIN ... ADMIN END runs the lines between in another instance under the administrator account."},
    /*   3 */ {"AFTER BEFORE", CmdAfterBefore, {},
              "Gives the part of a text after or before the FIRST or LAST occurrence of a marker."},
    /*   4 */ {"ANSWER BUTTONSELECT", CmdAnswer, {N, N},
              "Fills the list of valid answers or of button labels from the arguments; no argument empties it."},
    /*   5 */ {"APPEND OUTPUT", CmdAppend, {},
              "Writes a line to a file, appending or replacing its content; 75 when the file cannot be written."},
    /*   6 */ {"ARRAY", CmdArray, {}, "Runs a list operation on user lists: INSERT, CLEAN, COUNT, DELETE, COMPACT."},
    /*   7 */ {"ASCII", CmdAscii, {N}, "Gives the character whose code is the argument."},
    /*   8 */ {"ASK ASKOK ECHO ECHOERROR", CmdAsk, {N, N, N | K | T, N},
              "Shows a message or question box and gives the answer."},
    /*   9 */ {"ASKBUTTON", CmdAskButton, {N}, "Shows a box with one button per answer."},
    /*  10 */ {"ASKCHECK", CmdAskCheck, {N}, "Shows a box with check boxes."},
    /*  11 */ {"ASKDIALOG", nullptr, {}, "Runs a form the script has built."},
    /*  12 */ {"ASKDIR ASKFILE", CmdAskDir, {}, "Shows a box to choose a folder or a file."},
    /*  13 */ {"ASKLIST ASKFORMAT", CmdAskList, {N, N},
              "Shows a box to choose from a list, or to type an answer in a given format."},
    /*  14 */ {"ASKMULTI", CmdAskMulti, {N}, "Shows a box with several input fields."},
    /*  15 */ {"ATDELETE", CmdAtDelete, {}, "Removes the run-at entries ATRUN made."},
    /*  16 */ {"ATRUN", CmdAtRun, {}, "Makes a run-at entry: the command runs once at the next start-up."},
    /*  17 */ {"ATTRIB", CmdAttrib, {}, "Reads or changes the attributes of files."},
    /*  18 */ {"AUDIT", CmdAudit, {},
              "Sets, clears or lists the audit values under the program's registry key (ON level, OFF, CLEAR, STATUS)."},
    /*  19 */ {"BACKGROUND", CmdBackground, {}, "Shows or hides the background window behind the boxes."},
    /*  20 */ {"BASE64", CmdBase64, {}, "Encodes a text in base64 (CODE) or decodes it."},
    /*  21 */ {"CACHENAME", CmdCacheName, {}, "Gives the name of the file in the cache folder for an address."},
    /*  22 */ {"CALCULATE", CmdCalculate, {},
              "Computes an arithmetic expression or shifts a date or time, and assigns the result."},
    /*  23 */ {"CALL CALLSUB", CmdCall, {0, K | T}, "Runs another script, or a sub of this one, with arguments."},
    /*  24 */ {"CALLDLL", CmdCallDll, {}, "Runs a function of a library with the ARGDLL arguments; sets ERRORLEVEL."},
    /*  25 */ {"CASE", CmdCase, {N}, "Makes SWITCH comparisons case-insensitive (CASE NOSENSITIVE) or exact."},
    /*  26 */ {"CENTER", CmdCenter, {N}, "Switches the centring of the boxes."},
    /*  27 */ {"CHDIR CD", CmdChdir, {}, "Changes the current drive and folder."},
    /*  28 */ {"CHOICE", CmdChoice, {}, "Shows a choice window."},
    /*  29 */ {"CLEAR SORT SORTD TRANSFER FLAT CROP", CmdListOp, {},
              "Works on a whole list: empties, sorts, copies, joins or crops it."},
    /*  30 */ {"CLIPCOPY", CmdClipCopy, {}, "Puts a text on the clipboard; 5 when the clipboard cannot be opened."},
    /*  31 */ {"CLIPPASTE CLIPINSERT", CmdClipPaste, {},
              "Gives the text of the clipboard, and with CLIPINSERT types it into the focused control."},
    /*  32 */ {"CODE CODEFILE DECODE", CmdCode, {},
              "Scrambles or unscrambles script text and files; 53 for a missing file."},
    /*  33 */ {"CODECALL", CmdCodeCall, {N}, "Switches whether the scripts called from now on are scrambled."},
    /*  34 */ {"COLORDIALOG FONTDIALOG", CmdColorDialog, {}, "Shows the system box to choose a colour or a font."},
    /*  35 */ {"COMPRESS UNCOMPRESS", CmdCompress, {}, "Compresses a file, or restores a compressed one."},
    /*  36 */ {"CONVERT", CmdConvert, {N},
              "Converts between numbers and texts: ASC, BIN, DEC, HEX, TEXTHEX, HEXTEXT, TXT."},
    /*  37 */ {"COPY", CmdCopy, {}, "Copies files; 53 when the source is missing."},
    /*  38 */ {"COPYRIGHT", CmdCopyright, {}, "Shows the box with the program's version."},
    /*  39 */ {"CPUTIME", CmdCpuTime, {}, "Gives the processor time of a process."},
    /*  40 */ {"CREATEEXE CREATEDLL PLUG", CmdCreateExe, {N, N, N},
              "Builds a stand-alone executable or a plug-in from the script and its files."},
    /*  41 */ {"CREATESHORTCUT GETSHORTCUT", CmdShortcut, {},
              "Writes or reads a shell shortcut: target, arguments, working folder, icon and description."},
    /*  42 */ {"CURSOR", CmdCursor, {},
              "Sets the system mouse cursor to a shape or a cursor file; NORMAL or DEFAULT brings the user's back."},
    /*  43 */ {"CUT", CmdCut, {N}, "Cuts a text at a separator into the CUT list."},
    /*  44 */ {"BINGET", CmdBinGet, {}, "Reads bytes of a file as text, hexadecimal or decimal codes."},
    /*  45 */ {"DATAGET", CmdDataGet, {}, "Reads an entry of a data file, or all of them into the DATA list."},
    /*  46 */ {"DATAPUT", CmdDataPut, {},
              "Writes or removes an entry of a data file, or writes the DATA list as the file."},
    /*  47 */ {"DATETIME", CmdDateTime, {}, "Reads or sets a time of a file; 53 for a missing file."},
    /*  48 */ {"DATETIMEDIFF", CmdDateTimeDiff, {}, "Gives the difference between two dates."},
    /*  49 */ {"DECR FORMAT INCR INT INV LOWER LTRIM RTRIM UPPER ROUND", CmdValueOp, {},
              "Changes the value of one variable, or of every element of a list."},
    /*  50 */ {"DEFAULTPRINTER", CmdDefaultPrinter, {}, "Reads or sets the default printer; 53 when it is not found."},
    /*  51 */ {"DEL", CmdDel, {}, "Deletes files; 53 when none is found."},
    /*  52 */ {"DELLINE", CmdDelLine, {}, "Deletes lines of a text file, by number or by content."},
    /*  53 */ {"DELSECTIONENTRY SECTIONENTRY", CmdIniEntry, {}, "Deletes, reads or writes an entry of an INI file."},
    /*  54 */ {"DIR", CmdDir, {}, "Lists the files or folders of a folder into the DIR list."},
    /*  55 */ {"DIRDIALOG", CmdDirDialog, {}, "Shows the system box to choose a folder."},
    /*  56 */ {"DIRDYN DIRHLP DIRIMM DIRLOG DIRREC DIRRUN MAXLOG MAXWAIT", CmdConfig, {},
              "Sets a working folder, the log size limit or the wait limit."},
    /*  57 */ {"DIRTRANSLATE", CmdDirTranslate, {}, "Gives the full path of a relative name."},
    /*  58 */ {"DOEVENTS", CmdDoEvents, {}, "Processes pending window messages."},
    /*  59 */ {"DOSANSI DOSANSILINE ANSIDOS ANSIDOSLINE", CmdOemAnsi, {N, N, N, N},
              "Converts a file or a text between the OEM and ANSI character sets."},
    /*  60 */ {"DRIVE", CmdDrive, {N}, "Switches the drive option of the file commands."},
    /*  61 */ {"DRIVEFREE FREE DRIVESIZE", CmdDriveSpace, {},
              "Gives the free or total space of a drive; 76 for a missing drive."},
    /*  62 */ {"DRIVENAME FILENAME PATHNAME EXTNAME PREFIXNAME", CmdPathPart, {},
              "Gives a part of a path: drive, file name, folder, extension or name without extension."},
    /*  63 */ {"DYNAMIC", CmdDynamic, {}, "Assigns the NAME=value lines of a settings file, local or from a web address, as variables."},
    /*  64 */ {"EDIT", CmdEdit, {}, "Opens a file in the text editor."},
    /*  65 */ {"ERROR", CmdNothing, {}, "Does nothing; the line resets the error code like any other."},
    /*  66 */ {"ESC", CmdEsc, {N}, "Switches whether the Escape key closes the boxes."},
    /*  67 */ {"EXIT", CmdExit, {N}, "Ends the current script or sub and returns its value."},
    /*  68 */ {"EXITFOR", CmdExitFor, {N}, "Leaves the innermost FOR loop."},
    /*  69 */ {"EXITSUB ENDSUB", CmdEndSub, {N, N}, "Ends a sub and returns its value."},
    /*  70 */ {"EXITWINDOWS", CmdExitWindows, {}, "Logs off, restarts or shuts down the system, and ends the program."},
    /*  71 */ {"EXTRACT", CmdExtract, {}, "Keeps a part of a text, read back as the EXTRACT variable."},
    /*  72 */ {"FICDYN DYNFILE", CmdDynFile, {N, N}, "Fetches a dynamic file from a web address into the dynamic-files folder."},
    /*  73 */ {"FICLOG LOGFILE", CmdConfig, {N, N}, "Sets the name of the log file."},
    /*  74 */ {"FILEDIALOG", CmdFileDialog, {}, "Shows the system box to open or save a file."},
    /*  75 */ {"FINDPATH", CmdFindPath, {}, "Gives the program associated with a file."},
    /*  76 */ {"FOCUSCHILD FOCUSOBJECT", CmdFocusChild, {N, N},
              "Makes a window found by title, or by class and id, the focus object of the keys and clicks."},
    /*  77 */ {"FOCUSPARENT", CmdFocusParent, {N}, "Makes the focus object's parent window the target of the keys and clicks."},
    /*  78 */ {"FOR", CmdFor, {}, "Opens a loop."},
    /*  79 */ {"FTPOPEN", CmdFtpOpen, {}, "Logs in to the FTP server and keeps the connection open up to FTPCLOSE."},
    /*  80 */ {"FTPCLOSE", CmdFtpClose, {}, "Logs out of the FTP server and closes the connection."},
    /*  81 */ {"FTPGET FTPPUT FTPSERVER FTPDIR FTPLIST", CmdFtp, {},
              "Downloads or uploads a file over FTP, sets and tests the FTP server and account, or lists a remote "
              "folder (FTPDIR: names, FTPLIST: lines)."},
    /*  82 */ {"GAUGE POPUP", CmdGauge, {}, "Shows or updates the progress window or the pop-up window."},
    /*  83 */ {"POPUPWIDTH", CmdPopupWidth, {}, "Sets the width of the pop-up window."},
    /*  84 */ {"GETFOCUS", CmdGetFocus, {N}, "Gives the arguments of a wait that would find the active window."},
    /*  85 */ {"GETCAPSLOCK GETNUMLOCK", CmdGetLock, {}, "Gives the state of the Caps Lock or Num Lock key."},
    /*  86 */ {"GETKEY", CmdGetKey, {}, "Waits for a key pressed anywhere and gives it in key-string form (needs KesSrv.dll)."},
    /*  87 */ {"GOTO", CmdGoto, {N | K | T}, "Jumps to a label."},
    /*  88 */ {"HOST", CmdHost, {}, "Gives the address of a host name."},
    /*  89 */ {"TCPIPLIST", CmdTcpIpList, {}, "Lists the machine's network addresses."},
    /*  90 */ {"HTTP", CmdHttp, {},
              "Sends HTTP requests (GET, PUT, DELETE, CACHE, PROXY, LOG, VERBOSE, GAUGE, ASKDIALOG)."},
    /*  91 */ {"ICONBAR", CmdIconBar, {}, "Shows or removes the icon in the notification area."},
    /*  92 */ {"IF", CmdIf, {K | T}, "Tests a condition: runs the rest of the line, or opens a block up to ENDIF."},
    /*  93 */ {"IGNOREBOX OPTIONALBOX", CmdOptionalBox, {O, O},
              "Registers a box the waits watch for; the lines up to the next wait are run when it appears."},
    /*  94 */ {"IMMEDIATE", CmdImmediate, {}, "Opens the immediate window, an interactive console."},
    /*  95 */ {"INSERT SUBSTITU", CmdInsertText, {},
              "Inserts a line into a text file, or replaces lines or texts in it."},
    /*  96 */ {"INSET", CmdInset, {}, "Finds the variables whose value contains a text."},
    /*  97 */ {"INTERRUPT", CmdInterrupt, {N}, "Switches whether waits end early on an interrupt."},
    /*  98 */ {"KEY", CmdKey, {}, "Types a key string into the focus target; 1 for a brace left open."},
    /*  99 */ {"KEYCHECK", CmdKeyCheck, {}, "Clicks a check box found by window and control title and sets it ON or off."},
    /* 100 */ {"KEYLIST", CmdKeyList, {}, "Selects the first matching item of a list or combo box in the focus target."},
    /* 101 */ {"KEYMENU", CmdKeyMenu, {},
              "Runs a menu item of the focus window: CLICK types its keys, ON and OFF set its check mark."},
    /* 102 */ {"KEYCLICK", CmdKeyClick, {}, "Clicks the focus object with a button and keys (RIGHT, MIDDLE, CONTROL, SHIFT)."},
    /* 103 */ {"KEYTAB", CmdKeyTab, {}, "Selects a tab, counted from 1, of the focus object's tab control."},
    /* 104 */ {"KILL TASKLIST WAITTASK PREVINSTANCE", CmdTasks, {}, "Ends, lists or waits for processes."},
    /* 105 */ {"LABEL", CmdLabel, {N}, "Gives its argument text as its value."},
    /* 106 */ {"LASTFOCUS", CmdLastFocus, {},
              "Brings back the window that had the front before the program last took it, and gives its handle."},
    /* 107 */ {"LEFT", CmdLeft, {}, "Gives the left part of a text."},
    /* 108 */ {"LEN", CmdLen, {N}, "Gives the length of a text."},
    /* 109 */ {"LINE", CmdLine, {}, "Gives one line of a text file."},
    /* 110 */ {"LINENEXT", CmdLineNext, {},
              "Gives the next line of a text file on each call (TOP starts again); 53 for a missing file."},
    /* 111 */ {"LOG", CmdLog, {}, "Writes a line to the log."},
    /* 112 */ {"LOGMUTE", CmdLogMute, {N}, "Switches raw log entries, written without date and location."},
    /* 113 */ {"LOGSTOP", CmdLogStop, {N}, "Switches the log off or on."},
    /* 114 */ {"LONGNAME", CmdLongName, {}, "Gives the long form of a path."},
    /* 115 */ {"MANDATORY", CmdMandatory, {N}, "Switches whether the boxes require an answer."},
    /* 116 */ {"MAILSEND", CmdMailSend, {},
              "Sends the mail the MAIL... variables describe by SMTP (plain text or HTML, one attached file)."},
    /* 117 */ {"MASK", CmdMask, {N}, "Switches masked input in the boxes."},
    /* 118 */ {"MD", CmdMd, {}, "Creates a folder with its missing parents."},
    /* 119 */ {"MOD", CmdMod, {}, "Gives the remainder of a division."},
    /* 120 */ {"MOUSECLICK MOUSEDBLCLICK", CmdMouseClick, {}, "Clicks or double-clicks a mouse button where the cursor is."},
    /* 121 */ {"MOUSEMOVE MOUSEGETXY", CmdMouseMove, {},
              "Moves the cursor, or reads its position, from the focus target's top-left corner."},
    /* 122 */ {"NET CONNECT", CmdNet, {},
              "Connects or disconnects network drives and printer ports, sets the clock from a server (NET), or authenticates to a server (CONNECT)."},
    /* 123 */ {"NETHARD", CmdNetHard, {},
              "Lists the network adapters with their hardware and IP addresses, and gives their number."},
    /* 124 */ {"NETINFO", CmdNetInfo, {},
              "Lists network resources, accounts, groups or network printers (RESOURCE, USER, COMPUTER, GROUP, LOCALGROUP, GROUPLIST, USERLIST, PRINTER)."},
    /* 125 */ {"NETLIST", CmdNetList, {}, "Lists the current drive, port and printer connections as command lines."},
    /* box switch, not numbered */ {"NOSENSITIVE", CmdNoSensitive, {N},
                                   "Switches case-insensitive answers in the boxes."},
    /* 126 */ {"NETREQUEST", CmdNetRequest, {},
              "Gives the drive connected to a network name, the next free drive, or the network name of a drive."},
    /* 127 */ {"NEXT ITERATE", CmdNext, {K}, "Ends a loop or goes on with its next round; 555 without a FOR."},
    /* 128 */ {"OBJECTLIST WINDOWLIST", CmdWindowList, {},
              "Lists the controls of a window, or the titles of the visible top-level windows."},
    /* 129 */ {"OBJECTXLIST WINDOWXLIST", CmdWindowXList, {}, "Lists the controls or top-level windows with their details."},
    /* 130 */ {"OK", CmdOk, {N}, "Switches the OK button of the boxes."},
    /* 131 */ {"OLDAPP", CmdOldApp, {}, "Switches the focus handling for older applications."},
    /* 132 */ {"OWNER", CmdOwner, {}, "Gives the owner of a file or folder."},
    /* 133 */ {"PACK", CmdPack, {}, "Writes the files of the pack list into a self-unpacking executable."},
    /* 134 */ {"PACKJOIN", CmdPackJoin, {}, "Adds a file and its destination to the pack list; 53 for a missing file."},
    /* 135 */ {"PASSWORD", CmdPassword, {N | P},
              "Sets the password that confirms an end request; the line is never traced."},
    /* 136 */ {"GETPIXEL", CmdGetPixel, {}, "Gives the colour of a point of the screen as red, green, blue."},
    /* 137 */ {"PICTURE", CmdPicture, {}, "Shows a picture box."},
    /* 138 */ {"PING", CmdPing, {}, "Sends an echo request to a host and gives whether it answered, and how fast (PINGTIMEOUT)."},
    /* 139 */ {"PRIORITY", CmdPriority, {}, "Sets the priority class of the interpreter and of the programs it starts (HIGH, NORMAL, IDLE)."},
    /* 140 */ {"PROFILE", CmdProfile, {},
              "Switches the loading of the user profile for programs started under another account."},
    /* 141 */ {"QUOTE", CmdQuote, {N}, "Sets the quote character for the next line."},
    /* 142 */ {"RANDOM", CmdRandom, {}, "Gives a random whole number between two bounds."},
    /* 143 */ {"RD", CmdRd, {}, "Removes a folder."},
    /* 144 */ {"SERVICECONNECT REGCONNECT", CmdRegConnect, {},
              "Connects the service or registry commands to another computer; 76 when it cannot be reached."},
    /* 145 */ {"REG", CmdReg, {}, "Sets the registry options (IMPERSONATE ON or OFF)."},
    /* 146 */ {"REGKEYDEL", CmdRegKeyDel, {}, "Deletes a registry key or value."},
    /* 147 */ {"REGKEYGET", CmdRegKeyGet, {}, "Reads a registry value."},
    /* 148 */ {"REGKEYLIST", CmdRegKeyList, {}, "Lists the subkeys of a registry key."},
    /* 149 */ {"REGKEYSET REGKEYNEW", CmdRegKeySet, {}, "Writes a registry value, or creates a key."},
    /* 150 */ {"REGKEYXLIST", CmdRegKeyXList, {}, "Lists the subkeys of a registry key at every depth."},
    /* 151 */ {"REGVALUELIST", CmdRegValueList, {}, "Lists the values of a registry key."},
    /* 152 */ {"REMOTE", nullptr, {},
              "Works with a remote peer (PORT, CONNECT, EXECUTE, SCREEN, OPTIONGET, OPTIONPUT ...)."},
    /* 153 */ {"REN MOVE", CmdRen, {}, "Renames or moves a file or folder; 53 for a missing source."},
    /* 154 */ {"REPLACE", CmdReplace, {}, "Replaces every occurrence of a text in another."},
    /* 155 */ {"REVERSE", CmdReverse, {}, "Gives a text backwards."},
    /* 156 */ {"RIGHT", CmdRight, {}, "Gives the right part of a text."},
    /* 157 */ {"RUN RUNWAIT", CmdRun, {}, "Starts a program, with or without waiting for its end."},
    /* 158 */ {"RUNDOS", CmdRunDos, {}, "Runs a command through the command shell."},
    /* 159 */ {"RUNEXIT", CmdRunExit, {N}, "Queues a command for the end of the program."},
    /* 160 */ {"RUNNT RUNNTWAIT RUNADMIN RUNADMINWAIT", CmdRunAccount, {}, "Starts a program under another account."},
    /* 161 */ {"SCREENSAVER", CmdScreenSaver, {}, "Reads or sets the screen saver state (STATUS, ACTIVE, ON, OFF, TIME, STOP)."},
    /* 162 */ {"SEP", CmdSep, {N}, "Sets the argument separator for the next line."},
    /* 163 */ {"SEPALL", CmdSepAll, {N}, "Sets the argument separator for all following lines."},
    /* 164 */ {"DEVICE SERVICE SERVICELIST DEVICELIST", CmdService, {},
              "Lists, creates, configures, starts, stops and deletes services; SERVICE CALLSUB runs a sub as a service."},
    /* 165 */ {"SESSION", CmdSession, {},
              "Works on the desktops of the session: CTRLALTDEL, LOCK, STATUS, SWITCH, NAME."},
    /* 166 */ {"SET SETLOCAL", CmdSet, {K | T, 0}, "Assigns a variable, or a local variable of the current call."},
    /* 167 */ {"SETSHARE", CmdSetShare, {}, "Writes a shared variable (a name beginning with \"!\")."},
    /* 168 */ {"SETCDE LET", CmdLet, {K | T, K | T}, "Runs a command and assigns its value to a variable."},
    /* 169 */ {"SETENV", CmdSetEnv, {}, "Sets a variable of the process environment."},
    /* 170 */ {"SHELL", CmdShell, {}, "Opens a file with its program through a shell verb."},
    /* 171 */ {"SHELLCOPY SHELLDELETE", CmdShellCopy, {}, "Copies or deletes files through the shell."},
    /* 172 */ {"SHOW TYPE", CmdShow, {}, "Shows texts, or a text file, in a box."},
    /* 173 */ {"SHORTNAME", CmdShortName, {}, "Gives the short form of a path."},
    /* 174 */ {"SID", CmdSid, {}, "Gives the security identifier of an account from its profile."},
    /* 175 */ {"SIZE", CmdSize, {}, "Gives the size of files; 53 for a missing file."},
    /* 176 */ {"SLOW", CmdSlow, {N}, "Sets a delay before every line."},
    /* 177 */ {"SOUND SOUNDWAIT", CmdSound, {},
              "Plays a sound file, or plays it to its end; 53 for a missing file."},
    /* 178 */ {"SPELL", CmdSpell, {}, "Puts each character of a text into its own variable."},
    /* 179 */ {"STDINOUT", CmdStdInOut, {N}, "Switches the redirection of standard input and output."},
    /* 180 */ {"STOP", CmdStop, {}, "Ends the program."},
    /* 181 */ {"SWITCH", CmdSwitchBlock, {}, "Chooses among cases: SWITCH ON, CASE, ELSE, BREAK, OFF."},
    /* 182 */ {"SYSTEM", CmdSystem, {},
              "Gives information on the system: BIOS, processor, clock, version, memory, drives and volumes."},
    /* 183 */ {"TASKBAR", CmdTaskbar, {}, "Shows (ON) or hides the task bar."},
    /* 184 */ {"TOP", CmdTop, {N}, "Switches whether the boxes stay on top."},
    /* 185 */ {"TRACE", CmdTrace, {K | T},
                  "Opens or closes the trace window, sets its speed (SLOW, HIGH), opens it at the first error (ERROR), records to a file (FILE)."},
    /* 186 */ {"USERINFO", CmdUserInfo, {}, "Sets the USERINFO variables from an account's details."},
    /* 187 */ {"VARSEP", CmdVarSep, {N}, "Sets the variable delimiter."},
    /* 188 */ {"VERSION", CmdVersion, {}, "Gives the version information, size and times of a file; 53 for a missing file."},
    /* 189 */ {"WAIT", CmdWait, {N | K}, "Waits some seconds while the windows stay responsive."},
    /* 190 */ {"SLEEP", CmdSleep, {N}, "Sleeps some seconds."},
    /* 191 */ {"UNICODEANSI", CmdUnicodeAnsi, {}, "Converts a 16-bit text file to ANSI; 53 for a missing file."},
    /* 192 */ {"WAITCHILD WAITOBJECT", CmdWaitChild, {B, B},
              "Waits for a window by title, or by class and id, and makes it the focus object; 1 after MAXWAIT."},
    /* 193 */ {"WAITWINDOWLIST", CmdWaitWindowList, {}, "Waits for one of a list of windows and gives its place in the list."},
    /* 194 */ {"WAITPARENT WAITEND", CmdWaitParent, {B, B},
              "Waits for a top-level window, or for windows or a process to end; 1 after MAXWAIT."},
    /* 195 */ {"WHERE", CmdWhere, {N}, "Searches a file along a list of folders (ANY: every match)."},
    /* 196 */ {"WINDOW", CmdWindow, {},
              "Works on a window found by title or process: title, show state, z-order, enabling, handle, process."},
    /* 197 */ {"WINDOWSIZE", CmdWindowSize, {}, "Gives, or sets, the position and size of a window."},
    /* 198 */ {"XDIR", CmdXDir, {},
              "Lists the files of a folder tree with their dates and sizes; 53 for a missing folder."},
    /* 199 */ {"XSIZE", CmdXSize, {}, "Gives the size and the counts of the files of a folder tree."},
};
// clang-format on

constexpr size_t kRowCount = sizeof kCommands / sizeof kCommands[0];

// The i-th word of a row's words (i from 0); empty past the last.
constexpr std::string_view NthWord(std::string_view words, int i) {
  for (;;) {
    const size_t sp = words.find(' ');
    if (i == 0) return words.substr(0, sp);
    if (sp == std::string_view::npos) return {};
    words.remove_prefix(sp + 1);
    --i;
  }
}

constexpr int WordCount(std::string_view words) {
  int n = 0;
  while (!NthWord(words, n).empty()) ++n;
  return n;
}

// Position of a word in the first row that lists it; -1 when none does.
constexpr int WordIndex(std::string_view word) {
  for (const CommandRow& row : kCommands)
    for (int i = 0; i < WordCount(row.words); ++i)
      if (NthWord(row.words, i) == word) return i;
  return -1;
}

constexpr bool RowsAreWellFormed() {
  for (const CommandRow& row : kCommands) {
    const int n = WordCount(row.words);
    if (n < 1 || n > static_cast<int>(kMaxRowWords) || row.does.empty()) return false;
    for (size_t i = static_cast<size_t>(n); i < kMaxRowWords; ++i)
      if (row.flags[i]) return false;  // a fact for a word the row does not have
  }
  return true;
}
static_assert(RowsAreWellFormed(), "a row has no word, too many words, no description, or stray word facts");

// The handlers' word enumerations follow the order of their rows.
template <class E>
constexpr bool Is(std::string_view word, E e) {
  return WordIndex(word) == static_cast<int>(e);
}
static_assert(Is("CREATEEXE", CreateExeWord::CreateExe) && Is("CREATEDLL", CreateExeWord::CreateDll) &&
              Is("PLUG", CreateExeWord::Plug));
static_assert(Is("CODE", CodeWord::Code) && Is("CODEFILE", CodeWord::CodeFile) && Is("DECODE", CodeWord::Decode));
static_assert(Is("FTPGET", FtpWord::Get) && Is("FTPPUT", FtpWord::Put) && Is("FTPSERVER", FtpWord::Server) &&
              Is("FTPDIR", FtpWord::Dir) && Is("FTPLIST", FtpWord::List));
static_assert(Is("AFTER", AfterBeforeWord::After) && Is("BEFORE", AfterBeforeWord::Before));
static_assert(Is("ANSWER", AnswerWord::Answer) && Is("BUTTONSELECT", AnswerWord::ButtonSelect));
static_assert(Is("APPEND", AppendWord::Append) && Is("OUTPUT", AppendWord::Output));
static_assert(Is("ASK", AskWord::Ask) && Is("ASKOK", AskWord::AskOk) && Is("ECHO", AskWord::Echo) &&
              Is("ECHOERROR", AskWord::EchoError));
static_assert(Is("ASKDIR", AskDirWord::AskDir) && Is("ASKFILE", AskDirWord::AskFile));
static_assert(Is("ASKLIST", AskListWord::AskList) && Is("ASKFORMAT", AskListWord::AskFormat));
static_assert(Is("CALL", CallWord::Call) && Is("CALLSUB", CallWord::CallSub));
static_assert(Is("CLEAR", ListOpWord::Clear) && Is("SORT", ListOpWord::Sort) && Is("SORTD", ListOpWord::SortD) &&
              Is("TRANSFER", ListOpWord::Transfer) && Is("FLAT", ListOpWord::Flat) && Is("CROP", ListOpWord::Crop));
static_assert(Is("CLIPPASTE", ClipPasteWord::ClipPaste) && Is("CLIPINSERT", ClipPasteWord::ClipInsert));
static_assert(Is("COLORDIALOG", ColorDialogWord::ColorDialog) && Is("FONTDIALOG", ColorDialogWord::FontDialog));
static_assert(Is("COMPRESS", CompressWord::Compress) && Is("UNCOMPRESS", CompressWord::Uncompress));
static_assert(Is("DECR", ValueOpWord::Decr) && Is("FORMAT", ValueOpWord::Format) && Is("INCR", ValueOpWord::Incr) &&
              Is("INT", ValueOpWord::Int) && Is("INV", ValueOpWord::Inv) && Is("LOWER", ValueOpWord::Lower) &&
              Is("LTRIM", ValueOpWord::LTrim) && Is("RTRIM", ValueOpWord::RTrim) && Is("UPPER", ValueOpWord::Upper) &&
              Is("ROUND", ValueOpWord::Round));
static_assert(Is("DELSECTIONENTRY", IniEntryWord::DelSectionEntry) && Is("SECTIONENTRY", IniEntryWord::SectionEntry));
static_assert(Is("DOSANSI", OemAnsiWord::DosAnsi) && Is("DOSANSILINE", OemAnsiWord::DosAnsiLine) &&
              Is("ANSIDOS", OemAnsiWord::AnsiDos) && Is("ANSIDOSLINE", OemAnsiWord::AnsiDosLine));
static_assert(Is("DRIVENAME", PathPartWord::DriveName) && Is("FILENAME", PathPartWord::FileName) &&
              Is("PATHNAME", PathPartWord::PathName) && Is("EXTNAME", PathPartWord::ExtName) &&
              Is("PREFIXNAME", PathPartWord::PrefixName));
static_assert(Is("GAUGE", GaugeWord::Gauge) && Is("POPUP", GaugeWord::Popup));
static_assert(Is("INSERT", InsertTextWord::Insert) && Is("SUBSTITU", InsertTextWord::Substitu));
static_assert(Is("FOCUSCHILD", FocusChildWord::FocusChild) && Is("FOCUSOBJECT", FocusChildWord::FocusObject));
static_assert(Is("GETCAPSLOCK", GetLockWord::GetCapsLock) && Is("GETNUMLOCK", GetLockWord::GetNumLock));
static_assert(Is("IGNOREBOX", OptionalBoxWord::IgnoreBox) && Is("OPTIONALBOX", OptionalBoxWord::OptionalBox));
static_assert(Is("MOUSECLICK", MouseClickWord::Click) && Is("MOUSEDBLCLICK", MouseClickWord::DoubleClick));
static_assert(Is("MOUSEMOVE", MouseMoveWord::Move) && Is("MOUSEGETXY", MouseMoveWord::GetXY));
static_assert(Is("OBJECTLIST", WindowListWord::Objects) && Is("WINDOWLIST", WindowListWord::Windows) &&
              Is("OBJECTXLIST", WindowListWord::Objects) && Is("WINDOWXLIST", WindowListWord::Windows));
static_assert(Is("WAITCHILD", WaitChildWord::WaitChild) && Is("WAITOBJECT", WaitChildWord::WaitObject));
static_assert(Is("WAITPARENT", WaitParentWord::WaitParent) && Is("WAITEND", WaitParentWord::WaitEnd));
static_assert(Is("KILL", TaskWord::Kill) && Is("TASKLIST", TaskWord::TaskList) && Is("WAITTASK", TaskWord::WaitTask) &&
              Is("PREVINSTANCE", TaskWord::PrevInstance));
static_assert(Is("NET", NetWord::Net) && Is("CONNECT", NetWord::Connect));
static_assert(Is("NEXT", NextWord::Next) && Is("ITERATE", NextWord::Iterate));
static_assert(Is("SERVICECONNECT", RegConnectWord::ServiceConnect) && Is("REGCONNECT", RegConnectWord::RegConnect));
static_assert(Is("DEVICE", ServiceWord::Device) && Is("SERVICE", ServiceWord::Service) &&
              Is("SERVICELIST", ServiceWord::ServiceList) && Is("DEVICELIST", ServiceWord::DeviceList));
static_assert(Is("REGKEYSET", RegKeySetWord::RegKeySet) && Is("REGKEYNEW", RegKeySetWord::RegKeyNew));
static_assert(Is("RUN", RunWord::Run) && Is("RUNWAIT", RunWord::RunWait));
static_assert(Is("RUNNT", RunAccountWord::RunNt) && Is("RUNNTWAIT", RunAccountWord::RunNtWait) &&
              Is("RUNADMIN", RunAccountWord::RunAdmin) && Is("RUNADMINWAIT", RunAccountWord::RunAdminWait));
static_assert(Is("SET", SetWord::Set) && Is("SETLOCAL", SetWord::SetLocal));
static_assert(Is("SHELLCOPY", ShellCopyWord::ShellCopy) && Is("SHELLDELETE", ShellCopyWord::ShellDelete));
static_assert(Is("SHOW", ShowWord::Show) && Is("TYPE", ShowWord::Type));
static_assert(Is("DRIVEFREE", DriveSpaceWord::DriveFree) && Is("FREE", DriveSpaceWord::Free) &&
              Is("DRIVESIZE", DriveSpaceWord::DriveSize));
static_assert(Is("CREATESHORTCUT", ShortcutWord::CreateShortcut) && Is("GETSHORTCUT", ShortcutWord::GetShortcut));
static_assert(Is("SOUND", SoundWord::Sound) && Is("SOUNDWAIT", SoundWord::SoundWait));

// Every word mapped to its entry in the first row that lists it.
const std::unordered_map<std::string_view, CommandWord>& Index() {
  static const auto index = [] {
    std::unordered_map<std::string_view, CommandWord> m;
    for (const CommandRow& row : kCommands)
      for (int i = 0; i < WordCount(row.words); ++i)
        m.emplace(NthWord(row.words, i), CommandWord{&row, i, row.flags[i]});
    return m;
  }();
  return index;
}

}  // namespace

const CommandWord* FindCommand(std::string_view word) {
  const auto& m = Index();
  auto it = m.find(word);
  return it == m.end() ? nullptr : &it->second;
}

uint8_t WordFlags(std::string_view word) {
  const CommandWord* w = FindCommand(word);
  return w ? w->flags : 0;
}

const CommandRow* CommandRows(size_t& count) {
  count = kRowCount;
  return kCommands;
}

size_t CommandRowCount() { return kRowCount; }

}  // namespace kes
