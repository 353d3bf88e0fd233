#pragma once
// The columns of CHIRP's channel lists, found by header name in any order,
// and the three of our own that we add so that a list comes back with the
// cells CHIRP has no column for (CHIRP ignores columns it does not know).

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

enum class ChirpColumn {
  Location,
  Name,
  Frequency,
  Duplex,
  Offset,
  Tone,
  RToneFreq,
  CToneFreq,
  DtcsCode,
  DtcsPolarity,
  RxDtcsCode,
  CrossMode,
  Mode,
  TStep,
  Skip,
  Power,
  Comment,
  UrCall,
  Rpt1Call,
  Rpt2Call,
  DvCode,
  Filter,  // ours: the Filter cell
  Select,  // ours: the Select cell
  Data,    // ours: "1" for the data variant of the mode
};

inline constexpr int kChirpColumnCount = static_cast<int>(ChirpColumn::Data) + 1;

// Header texts, by ChirpColumn.
inline constexpr std::array<std::string_view, kChirpColumnCount> kChirpColumnNames{
    "Location",  "Name",      "Frequency", "Duplex",       "Offset",     "Tone",
    "rToneFreq", "cToneFreq", "DtcsCode",  "DtcsPolarity", "RxDtcsCode", "CrossMode",
    "Mode",      "TStep",     "Skip",      "Power",        "Comment",    "URCALL",
    "RPT1CALL",  "RPT2CALL",  "DVCODE",    "Filter",       "Select",     "Data"};

// The columns we write, in CHIRP's own order followed by ours.
inline constexpr std::array<ChirpColumn, 21> kChirpExportColumns{
    ChirpColumn::Location,     ChirpColumn::Name,      ChirpColumn::Frequency,
    ChirpColumn::Duplex,       ChirpColumn::Offset,    ChirpColumn::Tone,
    ChirpColumn::RToneFreq,    ChirpColumn::CToneFreq, ChirpColumn::DtcsCode,
    ChirpColumn::DtcsPolarity, ChirpColumn::Mode,      ChirpColumn::TStep,
    ChirpColumn::Skip,         ChirpColumn::Comment,   ChirpColumn::UrCall,
    ChirpColumn::Rpt1Call,     ChirpColumn::Rpt2Call,  ChirpColumn::DvCode,
    ChirpColumn::Filter,       ChirpColumn::Select,    ChirpColumn::Data};

// One row's fields by column. A column the list lacks reads as empty text.
class ChirpRow {
 public:
  const std::string& operator[](ChirpColumn c) const { return values_[index(c)]; }
  std::string& operator[](ChirpColumn c) { return values_[index(c)]; }
  bool has(ChirpColumn c) const { return present_[index(c)]; }
  void setPresent(ChirpColumn c) { present_[index(c)] = true; }

 private:
  static std::size_t index(ChirpColumn c) { return static_cast<std::size_t>(c); }
  std::array<std::string, kChirpColumnCount> values_{};
  std::array<bool, kChirpColumnCount> present_{};
};

// Where each column stands in a list: the header's field index, -1 when the
// header lacks it. Names match ignoring case and surrounding spaces; the
// first of two equal names counts.
class ChirpHeader {
 public:
  explicit ChirpHeader(std::span<const std::string> names);
  bool has(ChirpColumn c) const { return position(c) >= 0; }
  int position(ChirpColumn c) const { return positions_[static_cast<std::size_t>(c)]; }
  int fieldCount() const { return fieldCount_; }
  // The record's fields by column; missing fields read as empty text.
  ChirpRow row(std::span<const std::string> fields) const;

 private:
  std::array<int, kChirpColumnCount> positions_{};
  int fieldCount_ = 0;
};

}  // namespace tarnwick
