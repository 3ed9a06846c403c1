// The server executable on loopback, driven over raw sockets.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "percent_coding.h"
#include "test_pages.h"
#include "testkit/raw_client.h"
#include "testkit/server_process.h"

namespace ws {
namespace {

using namespace std::chrono_literals;
using testkit::exchange;
using testkit::getRequest;
using testkit::ServerProcess;

constexpr std::string_view kRandom = "/wiki/Spezial:Zuf%C3%A4llige_Seite";

std::string locationLine(const std::string& reply) {
  const std::size_t at = reply.find("\r\nLocation: ");
  if (at == std::string::npos) return "";
  return reply.substr(at + 2, reply.find("\r\n", at + 2) - at - 2);
}

// The path of the redirect's target, e.g. "/wiki/M%C3%BCnchen".
std::string redirectPath(const std::string& reply, const std::string& host) {
  const std::string prefix = "Location: http://" + host;
  const std::string line = locationLine(reply);
  return line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : "";
}

class ArticleServer : public ::testing::Test {
 protected:
  void start(std::vector<std::string> args) {
    server_ = std::make_unique<ServerProcess>(args);
    ASSERT_TRUE(server_->ok()) << server_->startError();
  }
  testkit::Exchange get(std::string_view target, std::chrono::milliseconds timeout = 10s) {
    return exchange(server_->port(), getRequest(target, server_->hostAndPort()), timeout);
  }
  std::unique_ptr<ServerProcess> server_;
};

TEST_F(ArticleServer, RedirectEchoesTheHostAndLeadsToAnArticle) {
  start({"--seed", "3"});
  const auto redirect = exchange(server_->port(), getRequest(kRandom, "lexikon.test:8080"));
  ASSERT_EQ(redirect.data.rfind("HTTP/1.0 302 Found\r\n", 0), 0u) << redirect.data;
  const std::string path = redirectPath(redirect.data, "lexikon.test:8080");
  ASSERT_EQ(path.rfind("/wiki/", 0), 0u) << locationLine(redirect.data);
  EXPECT_TRUE(decodeTitle(path.substr(6)).has_value());

  const auto page = get(path);
  EXPECT_EQ(page.data.rfind("HTTP/1.0 200 OK\r\n", 0), 0u);
  EXPECT_FALSE(testing::paragraphsOf(page.data).empty());
  EXPECT_FALSE(page.reset);
}

TEST_F(ArticleServer, UnknownAddressesGetNotFoundWithoutParagraphs) {
  start({});
  for (const char* target : {"/", "/wiki/Gibt_es_nicht", "/favicon.ico"}) {
    const auto reply = get(target);
    EXPECT_EQ(reply.data.rfind("HTTP/1.0 404 Not Found\r\n", 0), 0u) << target;
    EXPECT_EQ(reply.data.find("<p>"), std::string::npos) << target;
  }
}

std::vector<std::string> redirectSequence(const std::string& seed, int n) {
  ServerProcess server({"--seed", seed});
  std::vector<std::string> paths;
  for (int i = 0; i < n && server.ok(); ++i) {
    paths.push_back(locationLine(exchange(server.port(), getRequest(kRandom, "h")).data));
  }
  return paths;
}

TEST_F(ArticleServer, SeedGivesTheSameArticlesInEveryRun) {
  const auto first = redirectSequence("11", 8);
  ASSERT_EQ(first.size(), 8u);
  EXPECT_EQ(first, redirectSequence("11", 8));
  EXPECT_NE(first, redirectSequence("12", 8));
}

TEST_F(ArticleServer, SurvivesMalformedAndVanishingClients) {
  start({});
  // Malformed request lines get a 400.
  const auto bad = exchange(server_->port(), "\x01\x02 nonsense\r\n\r\n");
  EXPECT_EQ(bad.data.rfind("HTTP/1.0 400", 0), 0u);
  // An endless head is cut off rather than buffered without bound.
  const auto endless = exchange(server_->port(), "GET /" + std::string(40000, 'a'), 5s);
  EXPECT_FALSE(endless.timedOut);
  // Clients that leave half-way, with or without a reset.
  for (int i = 0; i < 20; ++i) {
    const int fd = testkit::connectLoopback(server_->port());
    ASSERT_GE(fd, 0);
    ::send(fd, "GET /wiki/", 10, MSG_NOSIGNAL);
    if (i % 2 == 0) {
      const linger hard{1, 0};
      ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    ::close(fd);
  }
  // A client that asks for a huge page and goes away after the first bytes.
  {
    ServerProcess huge({"--fault", "huge"});
    const int fd = testkit::connectLoopback(huge.port());
    const std::string r = getRequest("/wiki/Platte", huge.hostAndPort());
    ::send(fd, r.data(), r.size(), MSG_NOSIGNAL);
    char b[100];
    EXPECT_GT(::recv(fd, b, sizeof b, 0), 0);
    ::close(fd);
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(huge.running());
  }
  EXPECT_TRUE(server_->running());
  EXPECT_EQ(get("/").data.rfind("HTTP/1.0 404", 0), 0u);
  EXPECT_EQ(server_->stop(), 0);  // an orderly end, also under the sanitizers
}

TEST_F(ArticleServer, ServesManyClientsAtOnce) {
  start({"--seed", "5"});
  std::atomic<int> good{0};
  std::vector<std::thread> clients;
  for (int t = 0; t < 8; ++t) {
    clients.emplace_back([&] {
      for (int i = 0; i < 40; ++i) {
        const auto r = exchange(server_->port(), getRequest(kRandom, server_->hostAndPort()));
        const std::string path = redirectPath(r.data, server_->hostAndPort());
        const auto page = exchange(server_->port(), getRequest(path, server_->hostAndPort()));
        const std::size_t bodyAt = page.data.find("\r\n\r\n") + 4;
        const std::string length = "Content-Length: " + std::to_string(page.data.size() - bodyAt);
        if (page.data.rfind("HTTP/1.0 200 OK", 0) == 0 && page.data.find(length) < bodyAt) ++good;
      }
    });
  }
  for (auto& c : clients) c.join();
  EXPECT_EQ(good.load(), 8 * 40);
}

TEST_F(ArticleServer, LatencyDelaysEveryReply) {
  start({"--latency-ms", "150"});
  const auto t0 = std::chrono::steady_clock::now();
  const auto reply = get("/");
  EXPECT_GE(std::chrono::steady_clock::now() - t0, 150ms);
  EXPECT_EQ(reply.data.rfind("HTTP/1.0 404", 0), 0u);
}

// The printing options let scripts know in advance what a seeded server sends.
std::string runAndRead(const std::string& arguments) {
  std::string output;
  FILE* pipe = ::popen((testkit::articleServerPath() + " " + arguments).c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  ::pclose(pipe);
  return output;
}

TEST_F(ArticleServer, PrintedSequenceAndReplyAreWhatItServes) {
  start({"--seed", "77"});
  const std::string sequence = runAndRead("--seed 77 --print-sequence 4");
  std::string served;
  std::string firstPath;
  for (int i = 0; i < 4; ++i) {
    const std::string path = redirectPath(get(kRandom).data, server_->hostAndPort());
    if (i == 0) firstPath = path;
    served += path.substr(1) + "\n";
  }
  EXPECT_EQ(sequence, served);
  EXPECT_EQ(runAndRead("--print-reply " + firstPath.substr(1)), get(firstPath).data);
}

// --- fault modes --------------------------------------------------------------

TEST_F(ArticleServer, RefuseClosesThePort) {
  start({"--fault", "refuse"});
  EXPECT_FALSE(get("/").connected);
}

TEST_F(ArticleServer, RefuseEveryKthClosesThePortForAWhile) {
  // A slow first reply: the closed spell must still follow it, not start with it.
  start({"--fault", "refuse:2", "--latency-ms", "300"});
  EXPECT_TRUE(get("/").connected);   // 1
  EXPECT_FALSE(get("/").connected);  // 2: refused at once
  std::this_thread::sleep_for(400ms);
  EXPECT_TRUE(get("/").connected);  // 3
}

TEST_F(ArticleServer, CloseSendsNothing) {
  start({"--fault", "close"});
  const auto reply = get("/wiki/Platte");
  EXPECT_TRUE(reply.connected);
  EXPECT_EQ(reply.bytes, 0u);
  EXPECT_FALSE(reply.timedOut);
}

TEST_F(ArticleServer, ResetBreaksOffInTheMiddle) {
  start({"--fault", "reset"});
  // The size of the whole page comes from a server without faults.
  ServerProcess clean({});
  const auto redirect = exchange(clean.port(), getRequest(kRandom, "h"));
  const std::string cleanPath = redirectPath(redirect.data, "h");
  const auto whole = exchange(clean.port(), getRequest(cleanPath, "h"));
  const auto cut = get(cleanPath);
  EXPECT_TRUE(cut.reset);
  EXPECT_GT(cut.bytes, 0u);
  EXPECT_LT(cut.bytes, whole.bytes);
}

TEST_F(ArticleServer, ZeroByteArrivesInsideTheReply) {
  start({"--fault", "zero"});
  const auto reply = get("/wiki/Gibt_es_nicht");
  const std::size_t zero = reply.data.find('\0');
  ASSERT_NE(zero, std::string::npos);
  EXPECT_GT(zero, reply.data.find("\r\n\r\n"));
  EXPECT_EQ(reply.data.find("</html>") != std::string::npos, true);
}

TEST_F(ArticleServer, LocationFaultsEveryKth) {
  start({"--fault", "lowercase:2", "--fault", "https:3", "--fault", "otherhost:5"});
  std::vector<std::string> replies;
  for (int i = 0; i < 5; ++i) replies.push_back(get(kRandom).data);
  const std::string plain = "Location: http://" + server_->hostAndPort() + "/wiki/";
  EXPECT_NE(replies[0].find("\r\n" + plain), std::string::npos);
  EXPECT_NE(replies[1].find("\r\nlocation: http://" + server_->hostAndPort() + "/wiki/"),
            std::string::npos);
  EXPECT_NE(replies[2].find("\r\nLocation: https://" + server_->hostAndPort() + "/wiki/"),
            std::string::npos);
  EXPECT_NE(replies[3].find("\r\nlocation: "), std::string::npos);
  EXPECT_NE(replies[4].find("\r\nLocation: http://anderer-server.invalid/wiki/"),
            std::string::npos);
}

TEST_F(ArticleServer, HoldKeepsTheConnectionOpenWithoutAnswer) {
  start({"--fault", "hold"});
  const auto reply = get("/wiki/Platte", 300ms);
  EXPECT_TRUE(reply.timedOut);
  EXPECT_EQ(reply.bytes, 0u);
  EXPECT_TRUE(server_->running());
  EXPECT_EQ(server_->stop(), 0);
}

TEST_F(ArticleServer, DripSendsOneByteAtATime) {
  start({"--fault", "drip"});
  const auto reply = get("/", 300ms);
  EXPECT_TRUE(reply.timedOut);
  EXPECT_GE(reply.bytes, 5u);
  EXPECT_LE(reply.bytes, 40u);
  const std::string start = "HTTP/1.0 404 Not Found\r\nContent-Type: text/html; charset=UTF-8\r\n";
  EXPECT_EQ(reply.data, start.substr(0, reply.data.size()));
}

TEST_F(ArticleServer, HugeSendsFiftyMegabytes) {
  start({"--seed", "1"});
  const std::string path = redirectPath(get(kRandom).data, server_->hostAndPort());
  ServerProcess huge({"--fault", "huge"});
  const auto reply = exchange(huge.port(), getRequest(path, huge.hostAndPort()), 60s, false);
  EXPECT_FALSE(reply.timedOut);
  EXPECT_FALSE(reply.reset);
  EXPECT_GE(reply.bytes, 50ull * 1024 * 1024);
}

TEST_F(ArticleServer, NoParagraphPageAndGarbage) {
  start({"--fault", "nopara:2", "--fault", "garbage:3"});
  const std::string path = redirectPath(get(kRandom).data, server_->hostAndPort());  // 1
  const auto page = get(path);                                                       // 2
  EXPECT_EQ(page.data.rfind("HTTP/1.0 200 OK", 0), 0u);
  EXPECT_EQ(page.data.find("<p>"), std::string::npos);
  const auto garbage = get(path);  // 3
  EXPECT_GT(garbage.bytes, 0u);
  EXPECT_NE(garbage.data.rfind("HTTP/", 0), 0u);
}

}  // namespace
}  // namespace ws
