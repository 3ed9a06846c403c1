#pragma once
// Article titles in URL paths: blanks become "_", bytes outside a small safe
// set become %XX (upper-case hex), so UTF-8 umlauts travel as %C3%BC and the like.

#include <optional>
#include <string>
#include <string_view>

namespace ws {

// The path segment for a title. The result contains only ASCII letters,
// digits, "-._~()!*,:'" and "%XX"; a "_" of the title itself is encoded as %5F.
std::string encodeTitle(std::string_view title);

// The title a path segment names: "%XX" decoded, "_" read as a blank, other
// bytes taken as they are. nullopt for a "%" not followed by two hex digits.
std::optional<std::string> decodeTitle(std::string_view segment);

}  // namespace ws
