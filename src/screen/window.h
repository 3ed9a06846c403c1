#pragma once
// The program's window: shows a ScreenService's frame buffer in a window of the platform's window
// system and feeds the window's key presses into a key buffer. One binding implements it: SDL2
// (sdl_window.cpp) on Linux, Win32 and GDI (win32_window.cpp) on Windows.
//
// Threads: the calling (main) thread runs the window system and the window's event loop; the
// program's work runs on a working thread of its own and draws through the ScreenService. They
// share only the frame lock (the window presents while holding it) and the key buffer.

#include <functional>

#include "screen/key_ring.h"
#include "screen/screen_service.h"

namespace ws {

// Exit code when no window can be opened (no display, or the display refuses the window).
inline constexpr int kNoWindowExitCode = 2;

// Opens the window system, creates a ScreenService bound to it and the key buffer its key presses
// go into, runs work(screen, keys) on a working
// thread and runs the event loop until work returns; then closes the window and returns work's
// result (an exception thrown by work is rethrown here, after the window is closed).
// The window itself appears with the first screen.openWindow; its title is programName().
// When the window system cannot be started, prints "<program>: cannot open a window: <reason>"
// naming the display to stderr and returns kNoWindowExitCode without running work.
// If a window cannot be created later, the message is the same and the process ends at once
// with kNoWindowExitCode.
// REQUIRES: called on the main thread, at most once at a time.
int runWithWindow(const std::function<int(ScreenService&, KeyRing&)>& work);

}  // namespace ws
