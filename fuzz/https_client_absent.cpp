// Stands in for the TLS client in the fuzz targets: they drive the https article source through
// its getter seam only, so no socket and no TLS library is linked. Nothing here is ever called.
#include <cstdlib>
#include <utility>

#include "net/https_client.h"

namespace ws {

struct HttpsClient::Context {};

HttpsClient::HttpsClient(TlsSettings settings) : settings_(std::move(settings)) {
  std::abort();
}

HttpsClient::~HttpsClient() = default;

std::string HttpsClient::get(std::string_view, std::string_view, std::string_view) {
  std::abort();
}

}  // namespace ws
