// Feeds arbitrary bytes to the CHIRP import as a list, for the model the
// first byte picks, into both tables, and exports what went in. Every row of
// the list must be accounted for, as imported or left out, and every
// exported list must read back with a row per channel written.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "chirp/chirp_csv.h"
#include "chirp/csv_text.h"
#include "rig/rig_catalogue.h"
#include "tables/column_layout.h"

namespace {

using namespace tarnwick;

bool blank(const CsvRecord& r) {
  for (const std::string& f : r.fields) {
    if (f.find_first_not_of(" \t") != std::string::npos) return false;
  }
  return true;
}

// Rows of the list after its header, as the import counts them.
int listRows(std::string_view bytes) {
  int rows = -1;
  CsvReader reader(bytes);
  CsvRecord record;
  while (reader.next(record)) {
    if (!blank(record)) ++rows;
  }
  return rows;
}

void exportAndReadBack(const ChannelTable& table) {
  ChirpExportOptions options;
  options.sep = Separators::point();
  const ChirpExportReport report = exportChirpCsv(table, options);
  const CsvDocument doc = parseCsv(report.csv);
  if (static_cast<int>(doc.records.size()) != report.written + 1 || doc.unclosedQuote) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::vector<int> models;
  for (const RigModel& m : supportedModels()) {
    if (m.readable) models.push_back(m.modelIndex);
  }
  const int model = models[data[0] % models.size()];
  const std::string_view list(reinterpret_cast<const char*>(data + 1), size - 1);
  const int rows = listRows(list);

  ChannelTable rig(TableKind::Rig);
  PrepareRigTable(rig, model);
  ChannelTable permanent(TableKind::PermanentFile);
  for (ChannelTable* table : {&rig, &permanent}) {
    ChirpImportOptions options;
    options.modelIndex = model;
    options.bandText = "144 MHz";
    options.sep = Separators::point();
    const ChirpImportReport report = importChirpCsv(list, *table, options);
    if (report.error.empty()) {
      if (report.total() != rows || report.imported() + report.leftOut() != rows) std::abort();
      if (static_cast<int>(report.tableRows.size()) != report.imported()) std::abort();
    }
    (void)describeImport(report, "list.csv");
    exportAndReadBack(*table);
  }
  return 0;
}
