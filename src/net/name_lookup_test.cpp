#include "net/name_lookup.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <sstream>

namespace ws {
namespace {

using std::chrono::milliseconds;

std::string dotted(const std::optional<IPv4Address>& address) {
  if (!address) return "none";
  std::ostringstream text;
  text << +(*address)[0] << '.' << +(*address)[1] << '.' << +(*address)[2] << '.' << +(*address)[3];
  return text.str();
}

// The texts where readers of dotted addresses differ: what the C library's inet_pton takes,
// and nothing more.
TEST(ParseDottedIPv4, TakesWhatInetPtonTakes) {
  EXPECT_EQ(dotted(parseDottedIPv4("0.10.200.255")), "0.10.200.255");
  EXPECT_EQ(dotted(parseDottedIPv4(std::string("1.2.3.4\0.5", 10))), "1.2.3.4");
  for (const char* text : {"", "1.2.3", "1.2.3.4.", "1.2.3.4.5", "01.2.3.4", "1.2.3.00",
                           "256.1.1.1", "1.2.3.1000", "1..2.3", ".1.2.3", "1.2.3.4 ", " 1.2.3.4",
                           "0x1.2.3.4", "1.2.3.-4", "16909060", "localhost"}) {
    EXPECT_EQ(dotted(parseDottedIPv4(text)), "none") << text;
  }
}

TEST(ResolveIPv4Within, ALookUpThatHangsIsGivenUpWhileItStillRuns) {
  // The resolver answers only when the test lets it, after the caller has given up.
  auto gate = std::make_shared<std::promise<void>>();
  std::shared_future<void> open = gate->get_future().share();
  const NameResolver hanging = [open](const std::string&) -> std::optional<IPv4Address> {
    open.wait();
    return resolveIPv4("127.0.0.2");
  };
  EXPECT_EQ(dotted(resolveIPv4Within("de.example.org", milliseconds(50), hanging)), "none");
  gate->set_value();  // the abandoned look-up ends by itself

  // A dotted address needs no look-up; a name that resolves in time gives its address.
  const NameResolver unused = [](const std::string& name) -> std::optional<IPv4Address> {
    ADD_FAILURE() << "looked up " << name;
    return std::nullopt;
  };
  EXPECT_EQ(dotted(resolveIPv4Within("10.1.2.3", milliseconds(0), unused)), "10.1.2.3");
  EXPECT_EQ(dotted(resolveIPv4Within("localhost", milliseconds(10000))), "127.0.0.1");
  EXPECT_EQ(dotted(resolveIPv4Within("", milliseconds(10000))), "none");
}

}  // namespace
}  // namespace ws
