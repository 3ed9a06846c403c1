// The socket library on POSIX systems: there is none to start.
#include <csignal>

#include "net/socket_library.h"

namespace ws {

bool startSocketLibrary() {
  // A send to a peer that has already closed raises SIGPIPE, whose default action ends the
  // process; the client wants the failed send reported as an error return instead.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  return sigaction(SIGPIPE, &ignore, nullptr) == 0;
}

void stopSocketLibrary() {}

}  // namespace ws
