// The client's tests that only POSIX systems can make: a process without descriptors left, and
// signals that interrupt its blocking calls.
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>

#include <atomic>
#include <csignal>
#include <thread>

#include "net/http_client.h"
#include "net/interrupted_calls.h"
#include "net/test_server.h"

namespace ws {
namespace {

using testing::LoopbackServer;
using testing::patternBytes;
using namespace std::chrono_literals;

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

}  // namespace
}  // namespace ws
