#include "driver/counter_start.h"

namespace ws {

const CounterStart& builtCounterStart() {
  static const CounterStart start;
  return start;
}

}  // namespace ws
