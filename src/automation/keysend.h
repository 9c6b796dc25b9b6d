// Typing key strings and bringing windows to the front: the platform side of
// KEY, KEYMENU and every command that aims at the focus target.
#pragma once

#include <windows.h>

#include <string_view>

namespace kes {

// Injects the keys of a key string (automation/keystring.h) into the system
// input queue. Caps Lock, when on, is toggled off around each key so the
// layout's shift state decides the case. Answers false when a "{" has no
// closing "}"; the keys before it have been sent.
bool TypeKeyString(std::string_view text);

// The same walk with the events handed to `press` instead of the system
// input queue, and the Caps Lock state given: the key-event sequence as
// tests see it.
using KeyEventFn = void (*)(unsigned char vk, bool down);
bool TypeKeyStringTo(std::string_view text, bool capsOn, KeyEventFn press);

// One press and release of a virtual key, with its scan code and the
// extended-key flag.
void PressKey(unsigned char vk, bool down);

// The top-level window a window belongs to (itself for a top-level window).
HWND RootWindow(HWND w);

// Brings a window to the front and gives it the keyboard focus. With the
// old-application switch on, a disabled window hands this on to its parent,
// at most three levels up, and pending messages run afterwards.
void BringToFront(HWND w, bool oldApp);

}  // namespace kes
