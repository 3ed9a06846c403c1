#include "net/socket_library.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ws {
namespace {

TEST(SocketLibrary, FailedStartPrintsTheMessageAndGivesExitStatusOne) {
  std::ostringstream console;
  EXPECT_EQ(startSocketLibraryOrReport(console, [] { return false; }), 1);
  EXPECT_EQ(console.str(), "Error: WSAStartup failed\r\n");
}

TEST(SocketLibrary, SuccessfulStartIsSilent) {
  std::ostringstream console;
  EXPECT_EQ(startSocketLibraryOrReport(console, [] { return true; }), 0);
  EXPECT_EQ(console.str(), "");
}

}  // namespace
}  // namespace ws
