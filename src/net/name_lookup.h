// Finding the IPv4 address of a host: the look-up seam of the TCP connection.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "net/socket_calls.h"

namespace ws {

// The address of a dotted IPv4 text, read as the C library's inet_pton reads it (and up to the
// first zero byte, as it does): four decimal numbers of at most 255 without leading zeros,
// separated by dots, and nothing else; nullopt for any other text.
std::optional<IPv4Address> parseDottedIPv4(const std::string& text);

// A dotted IPv4 address as it stands; anything else looked up by the system's resolver (its
// first IPv4 address). nullopt when there is none. Blocks as long as the resolver takes.
std::optional<IPv4Address> resolveIPv4(const std::string& name);

using NameResolver = std::function<std::optional<IPv4Address>(const std::string& name)>;

// Like resolveIPv4 (through `resolve`), but gives up with nullopt after `timeout`. A dotted
// address is taken at once; a name is looked up on a thread of its own, which a look-up that
// runs out of time is left to finish alone: it touches nothing but its own copy of `resolve` and
// `name` and a result that nobody reads any more.
// REQUIRES: whatever `resolve` refers to outlives the look-up even after a time-out.
std::optional<IPv4Address> resolveIPv4Within(const std::string& name,
                                             std::chrono::milliseconds timeout,
                                             const NameResolver& resolve = resolveIPv4);

}  // namespace ws
