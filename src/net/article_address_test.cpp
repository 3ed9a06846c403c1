#include "net/article_address.h"

#include <gtest/gtest.h>

namespace ws {
namespace {

TEST(ParseArticleAddress, HttpsSchemeSelectsTlsAndEverythingElseThePlainProgram) {
  struct Case {
    const char* address;
    Transport transport;
    const char* host;
  };
  for (const Case& c : {Case{"127.0.0.1:8080", Transport::kPlain, "127.0.0.1:8080"},
                        Case{"de.example.org", Transport::kPlain, "de.example.org"},
                        Case{"http://de.example.org", Transport::kPlain, "de.example.org"},
                        Case{"HTTP://127.0.0.1:80", Transport::kPlain, "127.0.0.1:80"},
                        Case{"https://de.example.org", Transport::kTls, "de.example.org"},
                        Case{"HTTPS://127.0.0.1:8443", Transport::kTls, "127.0.0.1:8443"},
                        Case{"httpsx://a", Transport::kPlain, "httpsx://a"},
                        Case{"https:/a", Transport::kPlain, "https:/a"}}) {
    const ArticleAddress parsed = parseArticleAddress(c.address);
    EXPECT_EQ(parsed.transport, c.transport) << c.address;
    EXPECT_EQ(parsed.host, c.host) << c.address;
  }
}

}  // namespace
}  // namespace ws
