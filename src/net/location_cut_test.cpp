#include "net/location_cut.h"

#include <gtest/gtest.h>

namespace ws {
namespace {

const std::string kHost = "de.example.org";  // 14 characters

std::string redirectTo(const std::string& header, const std::string& location) {
  return "HTTP/1.0 302 Found\r\nserver: stand-in\r\n" + header + ": " + location +
         "\r\ncontent-length: 0\r\n\r\n";
}

TEST(CutArticlePath, TakesThePathFromTheFirstMarker) {
  EXPECT_EQ(cutArticlePath(redirectTo("Location", "http://de.example.org/wiki/Heidelberg"), kHost),
            "wiki/Heidelberg");
  EXPECT_EQ(cutArticlePath("Location: http://de.example.org/wiki/A\r\n"
                           "Location: http://de.example.org/wiki/B\r\n",
                           kHost),
            "wiki/A");
  // Without a line end after the marker the path runs to the end of the reply.
  EXPECT_EQ(cutArticlePath("x Location: http://de.example.org/wiki/Ende", kHost), "wiki/Ende");
  EXPECT_EQ(cutArticlePath("Location: http://de.example.org/wiki/\r\n", kHost), "wiki/");
}

TEST(CutArticlePath, PlainFormTakesOnlyTheExactMarker) {
  EXPECT_EQ(cutArticlePath(redirectTo("Location", "https://de.example.org/wiki/A"), kHost), "");
  EXPECT_EQ(cutArticlePath(redirectTo("Location", "http://en.example.org/wiki/A"), kHost), "");
  EXPECT_EQ(cutArticlePath(redirectTo("location", "http://de.example.org/wiki/A"), kHost), "");
  EXPECT_EQ(cutArticlePath(redirectTo("LOCATION", "http://de.example.org/wiki/A"), kHost), "");
  EXPECT_EQ(cutArticlePath("Location:  http://de.example.org/wiki/A\r\n", kHost), "");
  EXPECT_EQ(cutArticlePath("Error: Couldn't connect to host", kHost), "");
}

TEST(CutArticlePath, TlsFormTakesHttpsLocationsWithTheHeaderNameInAnyCase) {
  const Transport tls = Transport::kTls;
  EXPECT_EQ(locationMarker(kHost, tls), "location: https://de.example.org/wiki/");
  for (const char* name : {"location", "Location", "LOCATION", "lOcAtIoN"}) {
    EXPECT_EQ(
        cutArticlePath(redirectTo(name, "https://de.example.org/wiki/M%C3%BCnchen"), kHost, tls),
        "wiki/M%C3%BCnchen")
        << name;
  }
  // Everything after the header name is exact: scheme, host, one blank; the first marker wins,
  // even when an earlier near-miss shares its tail.
  EXPECT_EQ(cutArticlePath(redirectTo("location", "http://de.example.org/wiki/A"), kHost, tls), "");
  EXPECT_EQ(cutArticlePath(redirectTo("location", "https://DE.example.org/wiki/A"), kHost, tls),
            "");
  EXPECT_EQ(cutArticlePath("location:  https://de.example.org/wiki/A\r\n", kHost, tls), "");
  EXPECT_EQ(cutArticlePath("xlocatio: https://de.example.org/wiki/A\r\n"
                           "Location: https://de.example.org/wiki/B\r\n"
                           "location: https://de.example.org/wiki/C\r\n",
                           kHost, tls),
            "wiki/B");
  EXPECT_EQ(cutArticlePath(": https://de.example.org/wiki/A", kHost, tls), "");
  EXPECT_EQ(cutArticlePath("location: https://de.example.org/wiki/Ende", kHost, tls), "wiki/Ende");
  // The host is cut by its own length, a port included.
  EXPECT_EQ(cutArticlePath("location: https://127.0.0.1:8443/wiki/X\r\n", "127.0.0.1:8443", tls),
            "wiki/X");
}

}  // namespace
}  // namespace ws
