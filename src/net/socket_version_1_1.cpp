#include "net/socket_version.h"

namespace ws {

uint16_t requestedSocketVersion() {
  return 0x0101;  // 1.1
}

}  // namespace ws
