#include "net/http_client.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "net/interrupted_calls.h"
#include "net/test_server.h"

namespace ws {
namespace {

using testing::LoopbackServer;
using testing::ScriptedReply;
using namespace std::chrono_literals;

std::string patternBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
  return bytes;
}

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

TEST(HttpGet, NoDescriptorLeftForTheSocketGivesTheSocketText) {
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit none = saved;
  none.rlim_cur = 0;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
  std::string reply = httpGet("127.0.0.1:9", "", "");
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
  EXPECT_EQ(reply, "Error: Socket couldn't be opened.");
}

// A request far larger than the socket buffers, to a server that resets the connection,
// fails in send; the process must survive the write to the dead connection.
TEST(HttpGet, ConnectionResetDuringSendGivesTheSendText) {
  LoopbackServer server(std::vector<ScriptedReply>{{.chunks = {}, .resetAtOnce = true}});
  const std::string filler = "X-Fill: " + patternBytes(64 << 20) + "\r\n";
  EXPECT_EQ(httpGet(server.host(), "", filler), "Error: Couldn't send request");
}

void ignoreSignal(int) {}

// Signals that interrupt the client while a slow server reads make send return short counts
// and fail with EINTR; the whole request must still arrive and the reply be read.
TEST(HttpGet, InterruptedSendsToASlowReaderStillDeliverTheWholeRequest) {
  struct sigaction handler {};
  struct sigaction saved {};
  handler.sa_handler = ignoreSignal;  // no SA_RESTART: blocking calls return early
  sigemptyset(&handler.sa_mask);
  ASSERT_EQ(sigaction(SIGUSR1, &handler, &saved), 0);

  const std::string body = patternBytes(100000);
  LoopbackServer server({{.chunks = {body}, .readSize = 16384, .readPause = 100us}});
  std::string filler;
  for (int i = 0; i < 200; ++i)
    filler += "X-Fill-" + std::to_string(i) + ": " + patternBytes(40000) + "\r\n";

  std::atomic<bool> done{false};
  pthread_t client = pthread_self();
  std::thread interrupter([&] {
    while (!done) {
      pthread_kill(client, SIGUSR1);
      std::this_thread::sleep_for(200us);
    }
  });
  std::string reply = httpGet(server.host(), "slow", filler);
  done = true;
  interrupter.join();
  sigaction(SIGUSR1, &saved, nullptr);

  EXPECT_EQ(reply, body);
  ASSERT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0], buildGetRequest(server.host(), "slow", filler));
}

std::atomic<bool> programEnding{false};
bool isProgramEnding() {
  return programEnding;
}

// The program is ending while the server holds back the rest of its reply: the signal that
// interrupts the receive ends the request with what arrived, without waiting for the rest.
TEST(HttpGet, ReceiveInterruptedWhileTheProgramEndsGivesUpWithWhatArrived) {
  struct sigaction handler {};
  struct sigaction saved {};
  handler.sa_handler = ignoreSignal;
  sigemptyset(&handler.sa_mask);
  ASSERT_EQ(sigaction(SIGUSR1, &handler, &saved), 0);
  giveUpInterruptedCallsWhen(isProgramEnding);

  LoopbackServer server({{.chunks = {"HTTP/1.0 200 OK\r\n\r\nerst", "spaeter"}, .pause = 600ms}});
  std::atomic<bool> done{false};
  pthread_t client = pthread_self();
  std::thread interrupter([&] {
    while (server.requests().empty()) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(50ms);
    programEnding = true;
    while (!done) {
      pthread_kill(client, SIGUSR1);
      std::this_thread::sleep_for(1ms);
    }
  });
  const std::string reply = httpGet(server.host(), "", "");
  done = true;
  interrupter.join();
  EXPECT_EQ(reply, "HTTP/1.0 200 OK\r\n\r\nerst");
  // Once the end has come, a new request gives up before it connects.
  EXPECT_EQ(httpGet(server.host(), "", ""), kConnectErrorText);

  giveUpInterruptedCallsWhen(nullptr);
  programEnding = false;
  sigaction(SIGUSR1, &saved, nullptr);
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
