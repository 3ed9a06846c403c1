// The version of Windows Sockets that the program asks for when it starts the socket library on
// Windows (socket_library_windows.cpp), fixed when an executable is built: a Windows executable
// links exactly one definition, ws_socket_version (1.1, the version the program is written for)
// or, for the end-to-end test of a refused start, ws_socket_version_refused (0.0, which no
// socket library offers, so that WSAStartup itself fails). POSIX builds start no socket library
// and link neither.
#pragma once

#include <cstdint>

namespace ws {

// The version asked for: the major number in the low byte, the minor in the high byte (the
// layout of Winsock's MAKEWORD).
uint16_t requestedSocketVersion();

}  // namespace ws
