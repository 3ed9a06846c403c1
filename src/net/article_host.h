// The ArticleServer the program was built for, with the settings of its build.
#pragma once

#include <string_view>

namespace ws {

struct BuiltArticleServer {
  // CMake's ARTICLE_HOST as given: "HOST[:PORT]", "http://HOST[:PORT]" or "https://HOST[:PORT]"
  // (see parseArticleAddress).
  std::string_view address;
  // The rest apply to an https address only.
  std::string_view userAgent;  // ARTICLE_USER_AGENT, the User-Agent header's value
  std::string_view caFile;     // ARTICLE_CA_FILE; empty: the system's trust store
  int minIntervalMs;           // ARTICLE_MIN_INTERVAL_MS
  int connectTimeoutMs;        // ARTICLE_CONNECT_TIMEOUT_MS
  int receiveTimeoutMs;        // ARTICLE_RECEIVE_TIMEOUT_MS
  int replyDeadlineMs;         // ARTICLE_REPLY_DEADLINE_MS
};

// The values fixed at build time. They live in a library of their own (made by the CMake
// function wortsammler_article_host), so that a build for another server (the end-to-end
// tests' crawlers) links its own definition instead.
const BuiltArticleServer& builtArticleServer();

}  // namespace ws
