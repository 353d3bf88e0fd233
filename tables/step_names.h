#pragma once
// The names of the undo steps of the table operations, as the Edit menu
// shows them after "Undo " and "Redo ".

#include <string_view>

namespace tarnwick {

inline constexpr std::string_view kStepEdit = "Edit";
inline constexpr std::string_view kStepSelectBox = "Select Box";
inline constexpr std::string_view kStepChangedBox = "Changed Box";
inline constexpr std::string_view kStepCut = "Cut";
inline constexpr std::string_view kStepPaste = "Paste";
inline constexpr std::string_view kStepInsert = "Insert";
inline constexpr std::string_view kStepDelete = "Delete";
inline constexpr std::string_view kStepDrag = "Drag";
inline constexpr std::string_view kStepSortBy = "Sort by ";  // and the column's header text
inline constexpr std::string_view kStepMarkAll = "Mark All as Changed";
inline constexpr std::string_view kStepMarkNone = "Mark None as Changed";
inline constexpr std::string_view kStepRecomputeTx = "Recompute Tx Frequencies";
inline constexpr std::string_view kStepImportChirp = "Import CHIRP CSV";

}  // namespace tarnwick
