// Articles fetched over HTTPS: the https build's article source.
#pragma once

#include <string>

#include "net/article_fetch.h"
#include "net/failure_report.h"
#include "net/https_client.h"

namespace ws {

// Both requests of a fetch go over TLS to one host with one extra header (the User-Agent
// line); the redirect is cut in the TLS Location form. Every reply is noted in the failure
// report. LIFETIME: `report` (may be null: no report) must outlive the source.
class HttpsArticleSource : public ArticleSource {
 public:
  HttpsArticleSource(std::string host, TlsSettings settings, std::string extraHeaders,
                     FailureReport* report);
  std::string fetchRandomArticle(std::string& articlePath) override;

 private:
  std::string host_;
  std::string extraHeaders_;
  HttpsClient client_;
  FailureReport* report_;
};

}  // namespace ws
