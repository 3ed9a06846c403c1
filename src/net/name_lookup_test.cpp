#include "net/name_lookup.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <future>
#include <memory>

namespace ws {
namespace {

using std::chrono::milliseconds;

std::string dotted(const std::optional<in_addr>& address) {
  if (!address) return "none";
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &*address, text, sizeof text);
  return text;
}

TEST(ResolveIPv4Within, ALookUpThatHangsIsGivenUpWhileItStillRuns) {
  // The resolver answers only when the test lets it, after the caller has given up.
  auto gate = std::make_shared<std::promise<void>>();
  std::shared_future<void> open = gate->get_future().share();
  const NameResolver hanging = [open](const std::string&) -> std::optional<in_addr> {
    open.wait();
    return resolveIPv4("127.0.0.2");
  };
  EXPECT_EQ(dotted(resolveIPv4Within("de.example.org", milliseconds(50), hanging)), "none");
  gate->set_value();  // the abandoned look-up ends by itself

  // A dotted address needs no look-up; a name that resolves in time gives its address.
  const NameResolver unused = [](const std::string& name) -> std::optional<in_addr> {
    ADD_FAILURE() << "looked up " << name;
    return std::nullopt;
  };
  EXPECT_EQ(dotted(resolveIPv4Within("10.1.2.3", milliseconds(0), unused)), "10.1.2.3");
  EXPECT_EQ(dotted(resolveIPv4Within("localhost", milliseconds(10000))), "127.0.0.1");
  EXPECT_EQ(dotted(resolveIPv4Within("", milliseconds(10000))), "none");
}

}  // namespace
}  // namespace ws
