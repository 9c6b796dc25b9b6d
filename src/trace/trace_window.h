// The trace window and the pieces of the trace module the windows share.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "interp/interp.h"

namespace kes {

// Control identifiers of the trace window.
enum TraceId : WORD {
  kTrExit = 2,
  kTrStatus = 100,
  kTrStep = 201,
  kTrSlow = 202,
  kTrHigh = 203,
  kTrForceWait = 204,
  kTrOff = 205,
  kTrVariablesButton = 300,
  kTrTranslate = 301,
  kTrTitles = 302,
  kTrBoxLines = 303,
  kTrObjects = 304,
  kTrMenus = 305,
  kTrStack = 400,
  kTrRaw = 500,
  kTrSubst = 501,
  kTrNext = 600,
  kTrVariables = 601,
  kTrCommand = 700,
  kTrFullView = 800,
};

// Seconds a traced line waits at each speed.
inline constexpr double kStepDelay = 65000, kSlowDelay = 0.4, kHighDelay = 0.015;

// ---- the trace window (trace_window.cpp)
HWND CreateTraceWindow(Interp& in);
void DestroyTraceWindow(Interp& in);
// Checks the radio button of a speed (0 clears both).
void ShowTraceSpeed(Interp& in, int speed);
// Adds a line (as written and substituted) or a record to lists 500/501,
// clearing them first when they hold more than 256 entries.
void TraceListAdd(Interp& in, const std::string& raw, const std::string& substituted);
void TraceSetText(Interp& in, int id, const std::string& text);
void TraceSetList(Interp& in, int id, const std::vector<std::string>& items);
// Runs the messages of the program's windows, the dialog keys of the trace
// and immediate windows included.
void PumpTraceMessages();

// ---- shared by the trace and the immediate window (trace.cpp)
// A button of the trace window pressed (or the window closed: "Trace off").
void TraceCommand(Interp& in, int id);
// The values that must never be shown: those of the secret names and the
// stop password.
std::vector<std::string> SecretValues(Interp& in);
// A line as the trace shows it, masked.
std::string MaskedLine(Interp& in, std::string_view line);
// The line substituted for display: secret references masked, "@" values
// shown as @NAME@, the error state untouched.
std::string DisplaySubstituted(Interp& in, std::string_view line);
// The variables list: WHERE, EXTRACT, every variable, the locals of the
// current call.
std::vector<std::string> VariableEntries(Interp& in);

// ---- the browsers (trace_browser.cpp)
enum class BrowserKind { Titles, Objects, Menus, BoxLines };
void RunBrowser(Interp& in, HWND owner, BrowserKind kind);

// ---- the immediate window (immediate_window.cpp)
// Its "Trace" check box follows the trace window.
void ImmediateTraceClosed(Interp& in);
// Runs the line typed during a trace pause.
void ImmediateRunQueued(Interp& in);
// Closes the immediate window (the trace's "Exit").
void ImmediateClose(Interp& in);
HWND ImmediateWindow(Interp& in);

}  // namespace kes
