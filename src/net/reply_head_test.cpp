#include "net/reply_head.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ws {
namespace {

TEST(ParseStatusLine, ReadsCodeAndReasonOfEitherVersionAndEitherLineEnd) {
  const auto status = parseStatusLine("HTTP/1.1 429 Too many requests\r\nretry-after: 5\r\n\r\n");
  ASSERT_TRUE(status);
  EXPECT_EQ(status->code, 429);
  EXPECT_EQ(status->reason, "Too many requests");

  const auto bare = parseStatusLine("HTTP/1.0 302 Found\nLocation: x\n\n<p>y</p>");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->code, 302);
  EXPECT_EQ(bare->reason, "Found");

  const auto noReason = parseStatusLine("HTTP/1.0 503\r\n\r\n");
  ASSERT_TRUE(noReason);
  EXPECT_EQ(noReason->code, 503);
  EXPECT_EQ(noReason->reason, "");
}

TEST(ParseStatusLine, ErrorTextsEmptyCutAndGarbageRepliesHaveNone) {
  for (const std::string& reply : std::vector<std::string>{
           "", "Error: Couldn't connect to host", "HTTP/1.0 200 OK",  // cut before its line end
           "HTTP/1.0 20 OK\r\n", "HTTP/1.0 2000 OK\r\n", "HTTP/1.0 099 x\r\n", "HTTP/1 200 OK\r\n",
           "http/1.0 200 OK\r\n", " HTTP/1.0 200 OK\r\n", "HTTP/1.0  200 OK\r\n",
           "<p>HTTP/1.0 200 OK</p>\r\n", "\r\nHTTP/1.0 200 OK\r\n",
           std::string("HTTP/1.0 2\0\0 x\r\n", 17)}) {
    EXPECT_FALSE(parseStatusLine(reply)) << reply;
  }
}

TEST(HeaderValue, FindsTheFirstFieldOfTheHeadInAnyCaseOnly) {
  const std::string reply =
      "HTTP/1.1 429 Too many requests\r\n"
      "Content-Type: text/html\r\n"
      "RETRY-AFTER: \t 120 \r\n"
      "retry-after: 7\r\n"
      "X-Retry-After-Not: 1\r\n"
      "\r\n"
      "Date: Sun, 06 Nov 1994 08:49:37 GMT\r\n";
  EXPECT_EQ(headerValue(reply, "Retry-After"), "120");
  EXPECT_EQ(headerValue(reply, "content-type"), "text/html");
  EXPECT_FALSE(headerValue(reply, "Date"));  // in the body, not the head
  EXPECT_FALSE(headerValue(reply, "Retry"));
  EXPECT_FALSE(headerValue("Retry-After: 5\r\n\r\n", "Retry-After"));           // no status line
  EXPECT_EQ(headerValue("HTTP/1.0 503 x\nRetry-After:9", "retry-after"), "9");  // cut head
  EXPECT_EQ(headerValue("HTTP/1.0 503 x\r\nRetry-After:\r\n\r\n", "Retry-After"), "");
}

}  // namespace
}  // namespace ws
