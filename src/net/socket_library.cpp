#include "net/socket_library.h"

namespace ws {

int startSocketLibraryOrReport(std::ostream& console, const std::function<bool()>& starter) {
  if (starter()) return 0;
  console << kSocketStartupErrorText << "\r\n";
  console.flush();
  return 1;
}

}  // namespace ws
