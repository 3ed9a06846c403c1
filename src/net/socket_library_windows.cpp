// The socket library on Windows: Winsock, started and stopped around the whole crawl.
#include <winsock2.h>

#include "net/socket_library.h"
#include "net/socket_version.h"

namespace ws {

bool startSocketLibrary() {
  WSADATA data;
  if (WSAStartup(requestedSocketVersion(), &data) != 0) return false;
  // A library that can only offer an older version than the one asked for still starts; the
  // caller is to check the version it got and give the library back when it will not do.
  if (data.wVersion != requestedSocketVersion()) {
    WSACleanup();
    return false;
  }
  return true;
}

void stopSocketLibrary() {
  WSACleanup();
}

}  // namespace ws
