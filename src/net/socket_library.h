// Start-up and clean-up of the platform's socket library.
//
// On Windows starting is WSAStartup, asking for the version socket_version.h names, and
// stopping WSACleanup (socket_library_windows.cpp). On POSIX systems there is no library to
// start; starting only makes the process immune to SIGPIPE, so a server that closes its end early
// can never end the program while it sends (socket_library_posix.cpp).
#pragma once

#include <functional>
#include <ostream>

namespace ws {

// Text written to the console when the socket library cannot be started.
inline constexpr char kSocketStartupErrorText[] = "Error: WSAStartup failed";

// Prepares the process for blocking socket calls. Returns false if the library is unusable.
bool startSocketLibrary();

// Releases what startSocketLibrary acquired. Safe to call after a failed start.
void stopSocketLibrary();

// The start-up step of the program: runs `starter`; when it fails, writes the start-up error
// text and a line end (CR LF) to `console` and returns exit status 1, otherwise returns 0.
// The caller must end the process with that status before opening any window.
int startSocketLibraryOrReport(std::ostream& console,
                               const std::function<bool()>& starter = startSocketLibrary);

}  // namespace ws
