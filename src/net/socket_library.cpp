#include "net/socket_library.h"

#include <csignal>

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

int startSocketLibraryOrReport(std::ostream& console, const std::function<bool()>& starter) {
  if (starter()) return 0;
  console << kSocketStartupErrorText << "\r\n";
  console.flush();
  return 1;
}

}  // namespace ws
