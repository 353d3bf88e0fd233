#pragma once
// The file dialogs of Import CHIRP CSV and Export CHIRP CSV.

#include "files/file_command_ui.h"

namespace tarnwick {

inline constexpr FileDialogSpec kImportChirpDialog{
    .kind = FileDialogKind::Open,
    .title = "Import CHIRP CSV",
    .filter = "CSV|*.csv|ALL|*.*",
    .defaultExtension = "csv",
    .promptOverwrite = false,
    .hideReadOnly = false,
    .pathMustExist = true,
    .fileMustExist = true,
};

inline constexpr FileDialogSpec kExportChirpDialog{
    .kind = FileDialogKind::Save,
    .title = "Export CHIRP CSV",
    .filter = "CSV|*.csv|ALL|*.*",
    .defaultExtension = "csv",
    .promptOverwrite = true,
    .hideReadOnly = true,
    .pathMustExist = true,
    .fileMustExist = false,
};

}  // namespace tarnwick
