#pragma once
// The file dialogs of Import CHIRP CSV and Export CHIRP CSV.

#include "files/file_command_ui.h"

namespace tarnwick {

inline constexpr FileDialogSpec kImportChirpDialog =
    fileDialog(FileDialogKind::Open, "Import CHIRP CSV", "CSV|*.csv|ALL|*.*", "csv");
inline constexpr FileDialogSpec kExportChirpDialog =
    fileDialog(FileDialogKind::Save, "Export CHIRP CSV", "CSV|*.csv|ALL|*.*", "csv");

}  // namespace tarnwick
