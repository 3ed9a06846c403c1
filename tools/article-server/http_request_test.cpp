#include "http_request.h"

#include <gtest/gtest.h>

#include <string>

namespace ws {
namespace {

TEST(HttpRequest, WaitsForTheEmptyLine) {
  HttpRequest r;
  EXPECT_EQ(parseRequestHead("", r), RequestStatus::kIncomplete);
  EXPECT_EQ(parseRequestHead("GET /wiki/A HTTP/1.0\r\nHost: x\r\n", r), RequestStatus::kIncomplete);
  EXPECT_EQ(parseRequestHead("GET /wiki/A HTTP/1.0\r\nHost: x\r\n\r", r),
            RequestStatus::kIncomplete);
}

TEST(HttpRequest, ReadsTheClientsRequest) {
  HttpRequest r;
  ASSERT_EQ(parseRequestHead("GET /wiki/Spezial:Zuf%C3%A4llige_Seite HTTP/1.0\r\n"
                             "Host: 127.0.0.1:8080\r\nConnection: close\r\n\r\n",
                             r),
            RequestStatus::kComplete);
  EXPECT_EQ(r.method, "GET");
  EXPECT_EQ(r.target, "/wiki/Spezial:Zuf%C3%A4llige_Seite");
  EXPECT_EQ(r.version, "HTTP/1.0");
  EXPECT_EQ(r.host, "127.0.0.1:8080");
  EXPECT_EQ(r.userAgents, 0);
  ASSERT_EQ(parseRequestHead("GET / HTTP/1.0\r\nuser-agent: a\r\nUser-Agent: b\r\n\r\n", r),
            RequestStatus::kComplete);
  EXPECT_EQ(r.userAgents, 2);
}

TEST(HttpRequest, AcceptsBareLineEndsAnyHeaderCaseAndNoVersion) {
  HttpRequest r;
  ASSERT_EQ(parseRequestHead("GET /x\nhOsT:   lexikon.test  \n\n", r), RequestStatus::kComplete);
  EXPECT_EQ(r.target, "/x");
  EXPECT_EQ(r.version, "");
  EXPECT_EQ(r.host, "lexikon.test");
}

TEST(HttpRequest, DropsHostsThatCouldBreakAHeaderLine) {
  HttpRequest r;
  ASSERT_EQ(parseRequestHead("GET / HTTP/1.0\r\nHost: a b\r\n\r\n", r), RequestStatus::kComplete);
  EXPECT_EQ(r.host, "");
  ASSERT_EQ(parseRequestHead("GET / HTTP/1.0\r\nHost: a\rLocation: x\r\n\r\n", r),
            RequestStatus::kComplete);
  EXPECT_EQ(r.host, "");
  ASSERT_EQ(parseRequestHead("GET / HTTP/1.0\r\nHost: evil/<p>\r\n\r\n", r),
            RequestStatus::kComplete);
  EXPECT_EQ(r.host, "");
  EXPECT_TRUE(isUsableHost("[::1]:80"));
  EXPECT_FALSE(isUsableHost(""));
}

TEST(HttpRequest, RefusesMalformedHeads) {
  HttpRequest r;
  EXPECT_EQ(parseRequestHead("GET\r\n\r\n", r), RequestStatus::kMalformed);
  EXPECT_EQ(parseRequestHead(" /x HTTP/1.0\r\n\r\n", r), RequestStatus::kMalformed);
  EXPECT_EQ(parseRequestHead("GET /x FTP/1.0\r\n\r\n", r), RequestStatus::kMalformed);
  EXPECT_EQ(parseRequestHead(std::string("GET /\0 HTTP/1.0\r\n\r\n", 19), r),
            RequestStatus::kMalformed);
  // A head that never ends is cut off at the limit instead of growing without bound.
  const std::string endless = "GET /" + std::string(kMaxRequestHeadBytes, 'a');
  EXPECT_EQ(parseRequestHead(endless, r), RequestStatus::kMalformed);
}

}  // namespace
}  // namespace ws
