#include "driver/statistics_block.h"

#include "screen/canvas.h"
#include "screen/number_format.h"
#include "views/memory_text.h"

namespace ws {

namespace {

std::string labelled(std::string_view label, std::string_view value) {
  std::string row(label);
  row += value;
  return row;
}

}  // namespace

StatisticsRows statisticsRows(const CrawlCounters& counters, CrawlTiming& timing,
                              std::string_view articlePath, double now) {
  if (counters.wordsTotal > 0) {
    timing.averageWordLength =
        static_cast<double>(counters.letterCount) / static_cast<double>(counters.wordsTotal);
  }
  StatisticsRows rows;
  rows[0] = labelled("                       Gesamtzeit: ", elapsedText(now - timing.startTime, 2));
  rows[1] = labelled("Gesamtzeit zum Einlesen der Daten: ", elapsedText(timing.readingTime, 2));
  rows[3] = labelled("                Anzahl der Knoten: ", unsignedText(counters.nodeCount));
  rows[4] = labelled("                Belegter Speicher: ", memoryText(counters.nodeCount));
  rows[6] = labelled("                Woerter insgesamt: ", unsignedText(counters.wordsTotal));
  rows[7] = labelled("         Unterschiedliche Woerter: ", unsignedText(counters.distinctWords));
  rows[8] = labelled("     Durchschnittliche Wortlaenge:",
                     maskedText("##.### ", timing.averageWordLength) + "Buchstaben.");
  rows[10] = "Eingelesene Website (" + unsignedText(counters.pagesRead) + "): ";
  rows[10] += articlePath;
  return rows;
}

void printStatistics(Canvas& screen, const CrawlCounters& counters, CrawlTiming& timing,
                     std::string_view articlePath, double now) {
  const StatisticsRows rows = statisticsRows(counters, timing, articlePath, now);
  for (const std::string& row : rows) {
    if (row.empty()) {
      screen.printLineEnd();
    } else {
      screen.printText(row, true);
    }
  }
}

}  // namespace ws
