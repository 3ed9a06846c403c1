#include "net/http_client.h"

#include <gtest/gtest.h>

#include "net/test_server.h"

namespace ws {
namespace {

using testing::LoopbackServer;
using testing::patternBytes;
using testing::ScriptedReply;
using namespace std::chrono_literals;

TEST(HttpGet, SendsTheExactRequestAndReturnsTheWholeReply) {
  LoopbackServer server({{.chunks = {"HTTP/1.0 200 OK\r\n\r\n<p>Hallo</p>"}}});
  EXPECT_EQ(httpGet(server.host(), "wiki/Heidelberg", ""), "HTTP/1.0 200 OK\r\n\r\n<p>Hallo</p>");
  EXPECT_EQ(httpGet(server.host(), "", "X-Extra: 1\r\n"), "HTTP/1.0 200 OK\r\n\r\n<p>Hallo</p>");
  const std::string host = server.host();
  ASSERT_EQ(server.requests().size(), 2u);
  EXPECT_EQ(server.requests()[0],
            "GET /wiki/Heidelberg HTTP/1.0\r\nHost: " + host + "\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(server.requests()[1],
            "GET / HTTP/1.0\r\nHost: " + host + "\r\nConnection: close\r\nX-Extra: 1\r\n\r\n");
}

TEST(HttpGet, LooksUpHostNamesAndKeepsTheHostTextInTheHeader) {
  LoopbackServer server({{.chunks = {"ok"}}});
  const std::string host = "localhost:" + std::to_string(server.port());
  EXPECT_EQ(httpGet(host, "x", ""), "ok");
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0],
            "GET /x HTTP/1.0\r\nHost: " + host + "\r\nConnection: close\r\n\r\n");
}

TEST(HttpGet, ReplyOverManyBlocksArrivesWholeAndInOrder) {
  const std::string body = patternBytes(5 * kReceiveBlockSize + 123);
  LoopbackServer server({{.chunks = {body.substr(0, 20000), body.substr(20000)}, .pause = 20ms}});
  EXPECT_EQ(httpGet(server.host(), "big", ""), body);
}

TEST(HttpGet, ZeroByteCutsOnlyItsOwnBlock) {
  LoopbackServer server({{.chunks = {std::string("abc\0def", 7), "ghi"}, .pause = 200ms}});
  EXPECT_EQ(httpGet(server.host(), "", ""), "abcghi");
}

TEST(HttpGet, ServerClosingWithoutReplyGivesTheEmptyText) {
  LoopbackServer server;
  EXPECT_EQ(httpGet(server.host(), "", ""), "");
  EXPECT_EQ(server.connectionCount(), 1u);
}

TEST(HttpGet, FailuresBeforeTheReplyGiveTheirTexts) {
  EXPECT_EQ(httpGet("nonexistent.invalid", "", ""), "Error: IP couldn't be resolved!");
  EXPECT_EQ(httpGet("127.0.0.1:http", "", ""), "Error: IP couldn't be resolved!");
  EXPECT_EQ(httpGet("127.0.0.1:70000", "", ""), "Error: IP couldn't be resolved!");
  const std::string closed = "127.0.0.1:" + std::to_string(testing::closedLoopbackPort());
  EXPECT_EQ(httpGet(closed, "", ""), "Error: Couldn't connect to host");
}

// A request far larger than the socket buffers, to a server that resets the connection,
// fails in send; the process must survive the write to the dead connection.
TEST(HttpGet, ConnectionResetDuringSendGivesTheSendText) {
  LoopbackServer server(std::vector<ScriptedReply>{{.chunks = {}, .resetAtOnce = true}});
  const std::string filler = "X-Fill: " + patternBytes(64 << 20) + "\r\n";
  EXPECT_EQ(httpGet(server.host(), "", filler), "Error: Couldn't send request");
}

TEST(HttpGet, EveryPathClosesItsSocket) {
  LoopbackServer server({{.chunks = {"HTTP/1.0 200 OK\r\n\r\nx"}}});
  const std::string closed = "127.0.0.1:" + std::to_string(testing::closedLoopbackPort());
  const size_t before = testing::openDescriptorCount();
  size_t failures = 0;
  for (int i = 0; i < 10000; ++i) {
    failures += httpGet(server.host(), "", "") != "HTTP/1.0 200 OK\r\n\r\nx";
    if (i % 50 == 0) failures += httpGet(closed, "", "") != kConnectErrorText;
  }
  EXPECT_EQ(failures, 0u);
  EXPECT_EQ(testing::openDescriptorCount(), before);
}

}  // namespace
}  // namespace ws
