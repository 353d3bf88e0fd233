#include "cli/cli_csv.h"

#include <filesystem>

#include "chirp/chirp_transfer.h"
#include "cli/cli_files.h"
#include "cli/cli_run.h"
#include "files/file_commands.h"
#include "files/file_paths.h"
#include "rig/rig_catalogue.h"
#include "tables/column_layout.h"
#include "tables/table_ops.h"

namespace tarnwick::cli {
namespace {

int badFolderArgument(const CliOptions& o, std::ostream& err) {
  for (const std::string* path : {&o.inFile, &o.outFile, &o.permanentFile}) {
    if (!path->empty() && namesFolder(*path)) {
      err << *path << " is a folder, not a file\n";
      return kExitUsage;
    }
  }
  return kExitOk;
}

// A rig table as a read of a radio whose memories are all blank.
void blankRigTable(ChannelTable& rig, int modelIndex) {
  PrepareRigTable(rig, modelIndex);
  for (int r = 1; r < rig.rowCount(); ++r) rig.setCell(colNumber, r, specialLabel(modelIndex, r));
  AddRowCheckBoxes(rig);
}

ChirpRadio radioOf(const CliOptions& o) {
  ChirpRadio radio;
  radio.modelIndex = o.modelIndex;
  radio.bandText = o.band;
  if (o.offsets) radio.offsets = *o.offsets;
  return radio;
}

}  // namespace

int runImport(const CliOptions& o, std::ostream& out, std::ostream& err) {
  if (const int rc = badFolderArgument(o, err); rc != kExitOk) return rc;
  const TableKind into = o.outFile.empty() ? TableKind::PermanentFile : TableKind::Rig;
  const SplitPath target = absoluteSplit(into == TableKind::Rig ? o.outFile : o.permanentFile);
  const std::string path = target.folder + target.name;
  ChannelTable permanent(TableKind::PermanentFile);
  ChannelTable rig(TableKind::Rig);
  // Open's file dialog is answered with the target file.
  CliFileUi ui(err, path);
  FileCommands files(permanent, rig, ui);
  files.applySettings(target.folder, target.name, target.name, "");
  if (into == TableKind::PermanentFile) {
    files.loadPermanentFile();
  } else if (std::filesystem::exists(path)) {
    // The marks of earlier imports stay for store --changed.
    files.openFile(TableKind::Rig, path, FileCommands::Marks::Keep);
  } else {
    blankRigTable(rig, o.modelIndex);
  }
  if (ui.failed()) return kExitUsage;

  ChirpTransfer chirp(permanent, rig, files);
  const ChirpImportReport report = chirp.importFile(o.inFile, into, o.startRow, radioOf(o));
  err << describeImport(report, o.inFile);
  if (!report.error.empty()) return kExitUsage;
  if (report.imported() > 0) {
    if (!files.save(into)) return kExitUsage;
    out << "Saved " << path << '\n';
  }
  return report.leftOut() > 0 ? kExitRefused : kExitOk;
}

int runExport(const CliOptions& o, std::ostream& out, std::ostream& err) {
  if (const int rc = badFolderArgument(o, err); rc != kExitOk) return rc;
  const SplitPath source = absoluteSplit(o.inFile);
  ChannelTable permanent(TableKind::PermanentFile);
  ChannelTable rig(TableKind::Rig);
  // Open's file dialog is answered with the memory list file to export.
  CliFileUi ui(err, source.folder + source.name);
  FileCommands files(permanent, rig, ui);
  files.applySettings(source.folder, "", source.name, "");
  if (!files.open(TableKind::Rig) || ui.failed()) return kExitUsage;
  for (int r : o.rows) {
    if (r > rig.dataRowCount()) {
      err << "Row " << r << " is not in " << o.inFile << " (it has " << rig.dataRowCount()
          << " rows)\n";
      return kExitUsage;
    }
  }

  ChirpTransfer chirp(permanent, rig, files);
  const ChirpExportReport report =
      chirp.exportFile(o.outFile, TableKind::Rig, {o.rows.begin(), o.rows.end()},
                       o.offsets.value_or(DuplexOffsets{}));
  err << describeExport(report, o.outFile);
  if (!report.error.empty()) return kExitUsage;
  out << "Saved " << o.outFile << '\n';
  return report.leftOut() > 0 ? kExitRefused : kExitOk;
}

}  // namespace tarnwick::cli
