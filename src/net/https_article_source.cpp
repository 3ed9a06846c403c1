#include "net/https_article_source.h"

#include <chrono>
#include <utility>

namespace ws {

HttpsArticleSource::HttpsArticleSource(std::string host, TlsSettings settings,
                                       std::string extraHeaders, FailureReport* report)
    : host_(std::move(host)),
      extraHeaders_(std::move(extraHeaders)),
      client_(std::move(settings)),
      report_(report) {}

std::string HttpsArticleSource::fetchRandomArticle(std::string& articlePath) {
  return ws::fetchRandomArticle(
      host_, Transport::kTls,
      [this](std::string_view path) {
        std::string reply = client_.get(host_, path, extraHeaders_);
        if (report_ != nullptr) {
          using Seconds = std::chrono::duration<double>;
          report_->note(reply,
                        Seconds(std::chrono::steady_clock::now().time_since_epoch()).count());
        }
        return reply;
      },
      articlePath);
}

}  // namespace ws
