// The system's trusted root certificates where OpenSSL cannot find them by itself: the platform
// seam of the https client's trust store. On Windows they live in the system's "ROOT" certificate
// store (trust_store_windows.cpp); on POSIX systems OpenSSL's default verify paths are the
// system's store, and there is nothing to add (trust_store_posix.cpp).
#pragma once

#include <string>
#include <vector>

namespace ws {

// Each certificate DER-encoded, in the store's order; empty when there is none to add.
std::vector<std::string> systemRootCertificates();

}  // namespace ws
