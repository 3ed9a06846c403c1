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

// A server's page that begins like an error text reaches the terminal as one short printable
// line, and is remembered no longer than that.
TEST(FailureReport, ServerBytesThatLookLikeAnErrorTextAreCutToOnePrintableLine) {
  std::ostringstream out;
  FailureReport report(out, "de.example.org:443");
  const std::string page = "Error: \x1b[2J" + std::string(5000, 'x') + "\r\nSecond line";
  report.note(page, 100.0);
  report.note(page + "more", 101.0);  // the same first line: the same kind
  const std::string shown = "Error: ?[2J" + std::string(FailureReport::kErrorLength - 11, 'x');
  EXPECT_EQ(out.str(), "wortsammler: " + shown + " (de.example.org:443); retrying\n");
}

TEST(FailureReport, RefusalsNameStatusReasonAndWaitAndThe403OnceNamesTheUserAgent) {
  std::ostringstream out;
  FailureReport report(out, "de.example.org:443");
  using std::chrono::seconds;
  report.noteRefusal({429, "Too many requests"}, seconds(120), 10.0);
  report.noteRefusal({429, "Too many requests"}, seconds(5), 20.0);  // within the minute
  report.noteRefusal({403, "Forbidden"}, std::nullopt, 21.0);
  report.noteRefusal({503, "\x1b]0;owned\x07Service Unavailable"}, std::nullopt, 22.0);
  report.noteRefusal({429, "Too many requests"}, seconds(3600), 70.0);
  report.noteRefusal({403, "Forbidden"}, std::nullopt, 81.0);
  report.note("Error: TLS handshake failed", 82.0);  // its own kind
  report.noteRefusal({404, ""}, std::nullopt, 83.0);
  EXPECT_EQ(out.str(),
            "wortsammler: HTTP 429 Too many requests from de.example.org:443; waiting 120 s "
            "(Retry-After)\n"
            "wortsammler: HTTP 403 Forbidden from de.example.org:443; the server refuses this "
            "client: ARTICLE_USER_AGENT must name a contact (a web page or an e-mail address); "
            "backing off\n"
            "wortsammler: HTTP 503 ?]0;owned?Service Unavailable from de.example.org:443; "
            "backing off\n"
            "wortsammler: HTTP 429 Too many requests from de.example.org:443; waiting 3600 s "
            "(Retry-After)\n"
            "wortsammler: HTTP 403 Forbidden from de.example.org:443; backing off\n"
            "wortsammler: Error: TLS handshake failed (de.example.org:443); retrying\n"
            "wortsammler: HTTP 404 from de.example.org:443; backing off\n");
}

}  // namespace
}  // namespace ws
