#include "net/article_address.h"

#include <algorithm>
#include <cctype>

namespace ws {
namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char p, char t) {
           return p == std::tolower(static_cast<unsigned char>(t));
         });
}

}  // namespace

ArticleAddress parseArticleAddress(std::string_view address) {
  constexpr std::string_view kHttps = "https://";
  constexpr std::string_view kHttp = "http://";
  if (startsWithNoCase(address, kHttps)) {
    return {Transport::kTls, std::string(address.substr(kHttps.size()))};
  }
  if (startsWithNoCase(address, kHttp)) address.remove_prefix(kHttp.size());
  return {Transport::kPlain, std::string(address)};
}

}  // namespace ws
