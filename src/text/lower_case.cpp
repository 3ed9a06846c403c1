#include "text/lower_case.h"

namespace ws {

void lowerCaseInPlace(std::string& text) {
  for (char& c : text) c = static_cast<char>(lowerByte(static_cast<unsigned char>(c)));
}

std::string lowerCased(std::string_view text) {
  std::string result(text);
  lowerCaseInPlace(result);
  return result;
}

}  // namespace ws
