#include <gtest/gtest.h>

#include "net/trust_store.h"

namespace ws {
namespace {

// Each entry is one whole DER certificate: an ASN.1 SEQUENCE whose length fills the entry.
TEST(SystemRootCertificates, AreWholeDerCertificatesOfTheRootStore) {
  const std::vector<std::string> roots = systemRootCertificates();
  ASSERT_FALSE(roots.empty());
  for (const std::string& der : roots) {
    ASSERT_GE(der.size(), 4u);
    EXPECT_EQ(static_cast<unsigned char>(der[0]), 0x30);
    ASSERT_EQ(static_cast<unsigned char>(der[1]), 0x82);  // lengths of 256 to 65535 bytes
    const size_t length = static_cast<size_t>(static_cast<unsigned char>(der[2])) << 8 |
                          static_cast<unsigned char>(der[3]);
    EXPECT_EQ(length + 4, der.size());
  }
}

}  // namespace
}  // namespace ws
