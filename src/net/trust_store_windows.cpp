// The "ROOT" store of the current user, which Windows keeps filled with the system's and the
// user's trusted root certificates (Wine fills it from the host's CA certificates).
#include <windows.h>
// After windows.h, whose types it uses.
#include <wincrypt.h>

#include "net/trust_store.h"

namespace ws {

std::vector<std::string> systemRootCertificates() {
  std::vector<std::string> certificates;
  const HCERTSTORE store = CertOpenSystemStoreW(0, L"ROOT");
  if (store == nullptr) return certificates;
  for (PCCERT_CONTEXT certificate = CertEnumCertificatesInStore(store, nullptr);
       certificate != nullptr; certificate = CertEnumCertificatesInStore(store, certificate)) {
    if (certificate->dwCertEncodingType & X509_ASN_ENCODING) {
      certificates.emplace_back(reinterpret_cast<const char*>(certificate->pbCertEncoded),
                                certificate->cbCertEncoded);
    }
  }
  CertCloseStore(store, 0);
  return certificates;
}

}  // namespace ws
