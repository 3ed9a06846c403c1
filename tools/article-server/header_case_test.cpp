#include "header_case.h"

#include <gtest/gtest.h>

namespace ws {
namespace {

TEST(LowerCaseHeaderNames, ChangesOnlyTheNamesOfTheHeaderLines) {
  std::string reply =
      "HTTP/1.0 302 Found\r\nLocation: https://X/wiki/A\r\nContent-Type: text/HTML\r\n"
      "X-Ohne-Wert\r\n\r\nBody: Bleibt\r\n";
  lowerCaseHeaderNames(reply);
  EXPECT_EQ(reply,
            "HTTP/1.0 302 Found\r\nlocation: https://X/wiki/A\r\ncontent-type: text/HTML\r\n"
            "x-ohne-wert\r\n\r\nBody: Bleibt\r\n");
  std::string unfinished = "HTTP/1.0 200 OK\r\nServer: A";
  lowerCaseHeaderNames(unfinished);
  EXPECT_EQ(unfinished, "HTTP/1.0 200 OK\r\nserver: A");
  std::string statusOnly = "HTTP/1.0 200 OK";
  lowerCaseHeaderNames(statusOnly);
  EXPECT_EQ(statusOnly, "HTTP/1.0 200 OK");
}

}  // namespace
}  // namespace ws
