// The https build's client against the stand-in's TLS side: whole replies over many TLS records,
// the servers it must refuse, streams cut off or gone silent, and no leak over many requests.
// The certificates are made for this run with the openssl command.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "article_site.h"
#include "corpus.h"
#include "net/article_fetch.h"
#include "net/failure_report.h"
#include "net/get_request.h"
#include "net/https_article_source.h"
#include "net/https_client.h"
#include "net/paragraph_text.h"
#include "net/reply_block.h"
#include "percent_coding.h"
#include "testkit/server_process.h"

namespace ws {
namespace {

using std::chrono::milliseconds;
using testkit::ServerProcess;
namespace fs = std::filesystem;

// The directory of this run's certificates (see make_test_certificates.sh), made once and
// removed when the test program ends.
const std::string& certificates() {
  struct Directory {
    Directory() {
      std::string pattern = (fs::temp_directory_path() / "ws-tls-XXXXXX").string();
      if (mkdtemp(pattern.data()) == nullptr) return;
      made = pattern;
      const std::string command = std::string(WS_TEST_CERTIFICATE_SCRIPT) + " " + pattern;
      if (std::system(command.c_str()) == 0) path = pattern;
    }
    ~Directory() {
      std::error_code ignored;
      if (!made.empty()) fs::remove_all(made, ignored);
    }
    std::string made;
    std::string path;  // empty unless the certificates are there
  };
  static const Directory directory;
  return directory.path;
}

std::string certificate(const std::string& name) {
  return certificates() + "/" + name;
}

std::vector<std::string> tlsArguments(const std::string& leaf) {
  return {"--tls", certificate(leaf + ".pem"), certificate(leaf + ".key")};
}

TlsSettings trustingTheTestCa() {
  return {.caFile = certificate("ca.pem"),
          .connectTimeout = milliseconds(5000),
          .receiveTimeout = milliseconds(5000)};
}

size_t openDescriptors() {
  return static_cast<size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}

// The lines the stand-in's --log-tls writes, without its other messages.
std::string connectionLines(const std::string& log) {
  std::istringstream in(log);
  std::string out;
  for (std::string line; std::getline(in, line);) {
    if (line.find(": TLS connection ") != std::string::npos) out += line + "\n";
  }
  return out;
}

class TlsStandIn : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(certificates().empty()) << "no test certificates"; }
};

TEST_F(TlsStandIn, ImitatedServerDeliversEveryReplyWholeToTheHttpsSource) {
  std::string error;
  const auto corpus = Corpus::load(WS_TEST_ARTICLE_CORPUS, &error);
  ASSERT_TRUE(corpus) << error;
  const SiteStyle style{
      .lowerCaseHeaderNames = true, .requireUserAgent = true, .httpsLocations = true};
  std::vector<std::string> arguments = tlsArguments("server");
  arguments.insert(arguments.end(), {"--seed", "7", "--header-case", "lower",
                                     "--require-user-agent", "--location-scheme", "https"});
  ServerProcess server(arguments);
  ASSERT_TRUE(server.ok()) << server.startError();
  const std::string host = server.hostAndPort();
  const std::string agent = userAgentHeader("wortsammler/test (integration test)");
  HttpsArticleSource source(host, trustingTheTestCa(), agent, nullptr);

  size_t largest = 0;
  for (int i = 0; i < 25; ++i) {
    std::string articlePath;
    const std::string reply = source.fetchRandomArticle(articlePath);
    ASSERT_EQ(articlePath.rfind("wiki/", 0), 0u) << articlePath;
    // The exact bytes the server's site gives that request.
    ArticleSite site(*corpus, 0, style);
    const HttpRequest request{"GET", "/" + articlePath, "HTTP/1.0", host, 1};
    ASSERT_EQ(reply, site.answer(request, host, FaultMode::kNone).flatten()) << articlePath;
    std::string text = reply;
    extractParagraphText(text);
    EXPECT_FALSE(text.empty()) << articlePath;
    largest = std::max(largest, reply.size());
  }
  EXPECT_GT(largest, 2 * kReceiveBlockSize) << "no reply needed three TLS records";

  // Without its User-Agent line the same request is refused.
  HttpsClient bare(trustingTheTestCa());
  EXPECT_EQ(bare.get(host, kRandomPagePath, "").rfind("HTTP/1.0 403 Forbidden\r\n", 0), 0u);
}

TEST_F(TlsStandIn, ServersThatCannotBeTrustedGetNoRequest) {
  HttpsClient client(trustingTheTestCa());
  {
    ServerProcess untrusted(tlsArguments("untrusted"));
    ASSERT_TRUE(untrusted.ok()) << untrusted.startError();
    EXPECT_EQ(client.get(untrusted.hostAndPort(), "", ""), kCertificateErrorText);
    HttpsClient noStore({.caFile = certificate("missing.pem")});
    EXPECT_EQ(noStore.get(untrusted.hostAndPort(), "", ""), kCertificateErrorText);
  }
  {
    ServerProcess wrongName(tlsArguments("wrong-name"));
    ASSERT_TRUE(wrongName.ok()) << wrongName.startError();
    EXPECT_EQ(client.get(wrongName.hostAndPort(), "", ""), kCertificateErrorText);
    EXPECT_EQ(client.get("localhost:" + std::to_string(wrongName.port()), "", ""),
              kCertificateErrorText);
  }
  {
    ServerProcess plain({});
    ASSERT_TRUE(plain.ok()) << plain.startError();
    EXPECT_EQ(client.get(plain.hostAndPort(), "", ""), kHandshakeErrorText);
  }
  ServerProcess trusted(tlsArguments("server"));
  ASSERT_TRUE(trusted.ok()) << trusted.startError();
  // By name the certificate matches too (the name is sent as SNI).
  EXPECT_EQ(client.get("localhost:" + std::to_string(trusted.port()), "", "")
                .rfind("HTTP/1.0 404 Not Found\r\n", 0),
            0u);
}

TEST_F(TlsStandIn, CutOffOrSilentStreamsEndTheRequest) {
  HttpsClient client(trustingTheTestCa());
  std::vector<std::string> arguments = tlsArguments("server");
  ServerProcess whole(arguments);
  arguments.insert(arguments.end(), {"--fault", "reset"});
  ServerProcess reset(arguments);
  ASSERT_TRUE(whole.ok() && reset.ok());
  const std::string path = "wiki/Disketten-Ger%C3%A4te";
  const std::string full = client.get(whole.hostAndPort(), path, "");
  const std::string cut = client.get(reset.hostAndPort(), path, "");
  ASSERT_GT(full.size(), 1000u);
  EXPECT_FALSE(cut.empty());
  EXPECT_LT(cut.size(), full.size());
  EXPECT_EQ(full.substr(0, cut.size()), cut);  // what arrived, and nothing else

  arguments = tlsArguments("server");
  arguments.insert(arguments.end(), {"--fault", "hold"});
  ServerProcess hold(arguments);
  ASSERT_TRUE(hold.ok()) << hold.startError();
  HttpsClient impatient({.caFile = certificate("ca.pem"), .receiveTimeout = milliseconds(300)});
  EXPECT_EQ(impatient.get(hold.hostAndPort(), path, ""), kTimeoutErrorText);
}

// The imitated server's refusals: a 429 page full of paragraphs counts nothing and asks for its
// Retry-After; a client without a User-Agent gets 403, said once with what to do about it.
TEST_F(TlsStandIn, RefusedRepliesCountNothingAreReportedAndAskForTheirWait) {
  std::vector<std::string> arguments = tlsArguments("server");
  arguments.insert(arguments.end(), {"--header-case", "lower", "--require-user-agent",
                                     "--location-scheme", "https", "--throttle", "1:2"});
  ServerProcess server(arguments);
  ASSERT_TRUE(server.ok()) << server.startError();
  const std::string host = server.hostAndPort();
  std::ostringstream lines;
  FailureReport report(lines, host);
  HttpsArticleSource source(host, trustingTheTestCa(), userAgentHeader("wortsammler/test"),
                            &report);
  std::vector<std::string> texts;
  std::vector<long long> pauses;
  for (int i = 0; i < 4; ++i) {
    std::string articlePath;
    std::string text = source.fetchRandomArticle(articlePath);
    extractParagraphText(text);
    texts.push_back(text);
    pauses.push_back(source.requestedPause().count());
  }
  EXPECT_FALSE(texts[0].empty());
  EXPECT_EQ(texts[1], "");  // the throttle's page
  EXPECT_FALSE(texts[2].empty());
  EXPECT_EQ(texts[3], "");
  EXPECT_EQ(pauses, (std::vector<long long>{0, 2000, 0, 2000}));
  EXPECT_EQ(lines.str(), "wortsammler: HTTP 429 Too many requests from " + host +
                             "; waiting 2 s (Retry-After)\n");

  std::ostringstream refusals;
  FailureReport bareReport(refusals, host);
  HttpsArticleSource bare(host, trustingTheTestCa(), "", &bareReport);
  for (int i = 0; i < 3; ++i) {
    std::string articlePath;
    EXPECT_EQ(bare.fetchRandomArticle(articlePath), "");
    EXPECT_EQ(bare.requestedPause().count(), 0);
  }
  EXPECT_EQ(refusals.str(), "wortsammler: HTTP 403 Forbidden from " + host +
                                "; the server refuses this client: ARTICLE_USER_AGENT must name "
                                "a contact (a web page or an e-mail address); backing off\n");
}

// One full handshake, then resumed sessions; a server behind the same address that cannot take
// the session up must show a trusted certificate again, and one that cannot is refused.
TEST_F(TlsStandIn, SessionsAreResumedAndAResumptionNeverSkipsTheCertificateCheck) {
  const std::string logFile = certificate("resumption.log");
  std::vector<std::string> arguments = tlsArguments("server");
  arguments.push_back("--log-tls");
  HttpsClient client(trustingTheTestCa());
  std::string host;
  {
    ServerProcess server(arguments, logFile);
    ASSERT_TRUE(server.ok()) << server.startError();
    host = server.hostAndPort();
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(client.get(host, kRandomPagePath, "").rfind("HTTP/1.0 302", 0), 0u);
    }
    // Another name of the same server is offered no session: a full handshake of its own.
    const std::string byName = "localhost:" + std::to_string(server.port());
    EXPECT_EQ(client.get(byName, kRandomPagePath, "").rfind("HTTP/1.0 302", 0), 0u);
    EXPECT_EQ(client.get(byName, kRandomPagePath, "").rfind("HTTP/1.0 302", 0), 0u);
    server.stop();
    EXPECT_EQ(connectionLines(server.log()),
              "article-server: TLS connection 1: full handshake\n"
              "article-server: TLS connection 2: resumed\n"
              "article-server: TLS connection 3: resumed\n"
              "article-server: TLS connection 4: resumed\n"
              "article-server: TLS connection 5: resumed\n"
              "article-server: TLS connection 6: full handshake\n"
              "article-server: TLS connection 7: resumed\n");
  }
  // The client still holds its session for host; the new server on that port holds another
  // certificate and does not know the session.
  const std::string port = host.substr(host.find(':') + 1);
  for (const char* leaf : {"untrusted", "wrong-name"}) {
    ServerProcess impostor({"--tls", certificate(std::string(leaf) + ".pem"),
                            certificate(std::string(leaf) + ".key"), "--port", port});
    ASSERT_TRUE(impostor.ok()) << impostor.startError();
    EXPECT_EQ(client.get(host, kRandomPagePath, ""), kCertificateErrorText) << leaf;
  }
}

// A server that sends a byte every 10 ms never falls silent; the reply deadline ends it.
TEST_F(TlsStandIn, ADribblingServerIsGivenUpAtTheReplyDeadline) {
  std::vector<std::string> arguments = tlsArguments("server");
  arguments.insert(arguments.end(), {"--fault", "drip"});
  ServerProcess drip(arguments);
  ASSERT_TRUE(drip.ok()) << drip.startError();
  HttpsClient client({.caFile = certificate("ca.pem"),
                      .connectTimeout = milliseconds(5000),
                      .receiveTimeout = milliseconds(5000),
                      .replyDeadline = milliseconds(1500)});
  const auto start = std::chrono::steady_clock::now();
  const std::string reply = client.get(drip.hostAndPort(), "wiki/Disketten-Ger%C3%A4te", "");
  const auto took = std::chrono::steady_clock::now() - start;
  RecordProperty("gave_up_after_ms",
                 static_cast<int>(std::chrono::duration_cast<milliseconds>(took).count()));
  // The whole page would take minutes at that pace; what came in time is the reply.
  EXPECT_EQ(reply.rfind("HTTP/1.0 200 OK\r\n", 0), 0u) << reply;
  EXPECT_LT(reply.size(), 1000u);
  EXPECT_GE(took, milliseconds(1500));
  EXPECT_LT(took, milliseconds(15000));
}

// Run under the sanitizer build, this also shows that no TLS object is leaked.
TEST_F(TlsStandIn, TwoThousandRequestsLeaveNoDescriptorOpen) {
  ServerProcess server(tlsArguments("server"));
  ASSERT_TRUE(server.ok()) << server.startError();
  HttpsClient client(trustingTheTestCa());
  const size_t before = openDescriptors();
  int failures = 0;
  for (int i = 0; i < 2000; ++i) {
    failures += client.get(server.hostAndPort(), kRandomPagePath, "").rfind("HTTP/1.0 302", 0) != 0;
  }
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(openDescriptors(), before);
}

}  // namespace
}  // namespace ws
