// The client on Windows, where no signal interrupts a blocking call: an ending program is noticed
// between the slices of its waits.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "net/http_client.h"
#include "net/interrupted_calls.h"
#include "net/test_server.h"

namespace ws {
namespace {

using testing::LoopbackServer;
using namespace std::chrono_literals;

std::atomic<bool> programEnding{false};
bool isProgramEnding() {
  return programEnding;
}

// The server holds back the rest of its reply far longer than a wait slice; the program ends
// meanwhile, and the request ends with what arrived instead of waiting for the rest.
TEST(HttpGet, AWaitingReceiveGivesUpWithWhatArrivedOnceTheProgramEnds) {
  giveUpInterruptedCallsWhen(isProgramEnding);
  LoopbackServer server({{.chunks = {"HTTP/1.0 200 OK\r\n\r\nerst", "spaeter"}, .pause = 2s}});
  std::thread ender([&] {
    while (server.requests().empty()) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(50ms);
    programEnding = true;
  });
  const std::string reply = httpGet(server.host(), "", "");
  ender.join();
  EXPECT_EQ(reply, "HTTP/1.0 200 OK\r\n\r\nerst");
  // Once the end has come, a new request gives up before it connects.
  EXPECT_EQ(httpGet(server.host(), "", ""), kConnectErrorText);
  giveUpInterruptedCallsWhen(nullptr);
  programEnding = false;
}

}  // namespace
}  // namespace ws
