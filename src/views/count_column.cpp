#include "views/count_column.h"

namespace ws {

void addEveryCount(const SampleLog& log, std::size_t begin, std::size_t end, CountSeries series,
                   const CountRow& rowOf, std::vector<SeriesPoint>& points) {
  for (std::size_t i = begin; i < end; ++i) {
    rowOf.addRows(log.countSpan(series, i), [&](int row) {
      points.push_back(SeriesPoint{i, row});
    });
  }
}

}  // namespace ws
