#include "net/trust_store.h"

namespace ws {

std::vector<std::string> systemRootCertificates() {
  return {};  // OpenSSL's default verify paths hold them
}

}  // namespace ws
