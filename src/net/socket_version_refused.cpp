#include "net/socket_version.h"

namespace ws {

// No socket library offers version 0.0: WSAStartup answers WSAVERNOTSUPPORTED.
uint16_t requestedSocketVersion() {
  return 0x0000;
}

}  // namespace ws
