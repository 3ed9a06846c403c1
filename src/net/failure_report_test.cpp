#include "net/failure_report.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ws {
namespace {

TEST(FailureReport, EachKindIsWrittenWhenItFirstAppearsThenAtMostOnceAMinute) {
  std::ostringstream out;
  FailureReport report(out, "de.example.org:443");
  const std::string refused = "Error: Couldn't connect to host";
  const std::string handshake = "Error: TLS handshake failed";
  report.note(refused, 100.0);
  report.note(refused, 101.0);
  report.note("HTTP/1.0 200 OK\r\n\r\n<p>x</p>", 102.0);  // a reply is no failure
  report.note("", 102.5);                                 // nor is an empty one
  report.note(handshake, 103.0);
  report.note(refused, 159.9);
  report.note(refused, 160.0);
  report.note(handshake, 104.0);
  EXPECT_EQ(out.str(),
            "wortsammler: Error: Couldn't connect to host (de.example.org:443); retrying\n"
            "wortsammler: Error: TLS handshake failed (de.example.org:443); retrying\n"
            "wortsammler: Error: Couldn't connect to host (de.example.org:443); retrying\n");
}

}  // namespace
}  // namespace ws
