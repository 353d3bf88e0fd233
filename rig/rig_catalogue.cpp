#include "rig/rig_catalogue.h"

#include <array>

namespace tarnwick {
namespace {

constexpr std::array<RigCatalogueEntry, kCatalogueSize> kCatalogue{{
    {"IC-271", 0x20},       {"IC-275", 0x10},     {"IC-375", 0x12},  {"IC-471", 0x22},
    {"IC-475", 0x14},       {"IC-575", 0x16},     {"IC-706", 0x48},  {"IC-706MkII", 0x4E},
    {"IC-706MkII-G", 0x58}, {"IC-707", 0x3E},     {"IC-718", 0x5E},  {"IC-725", 0x28},
    {"IC-726", 0x30},       {"IC-728", 0x38},     {"IC-729", 0x3A},  {"IC-735", 0x04},
    {"IC-736", 0x40},       {"IC-737", 0x3C},     {"IC-738", 0x44},  {"IC-746", 0x56},
    {"IC-746Pro", 0x66},    {"IC-751", 0x1C},     {"IC-756", 0x50},  {"IC-756Pro", 0x5C},
    {"IC-756ProII", 0x64},  {"IC-761", 0x1E},     {"IC-765", 0x2C},  {"IC-775", 0x46},
    {"IC-78", 0x62},        {"IC-781", 0x26},     {"IC-820", 0x42},  {"IC-821", 0x4C},
    {"IC-910", 0x60},       {"IC-970", 0x2E},     {"IC-1271", 0x24}, {"IC-1275", 0x18},
    {"R-10", 0x52},         {"R-71", 0x1A},       {"R-72", 0x32},    {"R-75", 0x5A},
    {"R-7000", 0x08},       {"R-7100", 0x34},     {"R-8500", 0x4A},  {"R-9000", 0x2A},
    {"IC-7300", 0x94},      {"IC-7300MK2", 0xB6}, {"IC-7610", 0x98},
}};

constexpr std::array<FrequencyRange, 2> kHfVhf{{{30000, 60000000}, {108000000, 174000000}}};
constexpr std::array<FrequencyRange, 1> kHf{{{30000, 60000000}}};
constexpr std::array<FrequencyRange, 1> kHfTo4m{{{30000, 74800000}}};
// One range per band, in band code order (1 = 144 MHz, 2 = 430 MHz, 3 = 1240 MHz),
// as a band-addressed rig table picks them; the widest of the radio's versions.
constexpr std::array<FrequencyRange, 3> kIc910{
    {{136000000, 174000000}, {420000000, 480000000}, {1240000000, 1320000000}}};

// A memory without a duplex offset keeps simplex and, with a transmit
// block, split.
constexpr std::array<std::string_view, 2> kSimplexOrSplit{duplexChoices[0], duplexChoices[3]};
constexpr std::array<std::string_view, 1> kSimplexOnly{duplexChoices[0]};

constexpr std::array<RigModel, 9> kModels{{
    {.modelIndex = kModelIc746,
     .menuCaption = "IC-746",
     .menuAccessKey = '4',
     .memoryCount = 102,
     .readable = true,
     .bottomRows = 3,
     .lastStoredRow = 102,
     .nameLength = 9,
     .hiddenColumns = {},
     .readLayout = MemoryLayout::LongLayout,
     .writeLayout = MemoryLayout::LongLayout,
     .usesBand = false,
     .hasOffsetSequence = true,
     .receiveRanges = kHfVhf},
    {.modelIndex = kModelIc746Pro,
     .menuCaption = "IC-746Pro",
     .menuAccessKey = 'P',
     .memoryCount = 102,
     .readable = true,
     .bottomRows = 3,
     .lastStoredRow = 102,
     .nameLength = 9,
     .hiddenColumns = {},
     .readLayout = MemoryLayout::ProLayout,
     .writeLayout = MemoryLayout::ProLayout,
     .usesBand = false,
     .hasOffsetSequence = true,
     .receiveRanges = kHfVhf},
    {.modelIndex = kModelIc756Pro,
     .menuCaption = "IC-756Pro",
     .menuAccessKey = '5',
     .memoryCount = 101,
     .readable = true,
     .bottomRows = 2,
     .lastStoredRow = 101,
     .nameLength = 10,
     .hiddenColumns = {colDuplex, colTxFrequency},
     .readLayout = MemoryLayout::ShortLayout,
     .writeLayout = MemoryLayout::ShortLayout,
     .usesBand = false,
     .hasOffsetSequence = false,
     .receiveRanges = kHf},
    {.modelIndex = kModelIc756ProII,
     .menuCaption = "IC-756Pro2",
     .menuAccessKey = '2',
     .memoryCount = 101,
     .readable = true,
     .bottomRows = 2,
     .lastStoredRow = 101,
     .nameLength = 10,
     .hiddenColumns = {colDuplex, colTxFrequency},
     .readLayout = MemoryLayout::ShortLayout,
     .writeLayout = MemoryLayout::ShortLayout,
     .usesBand = false,
     .hasOffsetSequence = false,
     .receiveRanges = kHf},
    {.modelIndex = kModelIcR75,
     .menuCaption = "IC-R75",
     .menuAccessKey = 'R',
     .memoryCount = 101,  // 99 memories declared; rows 100 and 101 exist but are never read
     .readable = false,
     .bottomRows = 2,
     .lastStoredRow = 101,
     .nameLength = 10,
     .hiddenColumns = {},
     .readLayout = MemoryLayout::None,
     .writeLayout = MemoryLayout::None,
     .usesBand = false,
     .hasOffsetSequence = false,
     .receiveRanges = kHf},
    {.modelIndex = kModelIc910,
     .menuCaption = "IC-910",
     .menuAccessKey = '9',
     .memoryCount = 106,
     .readable = true,
     .bottomRows = 7,
     .lastStoredRow = 101,
     .nameLength = 0,
     .hiddenColumns = {colName, colSelect},
     .readLayout = MemoryLayout::BandLayout,
     .writeLayout = MemoryLayout::BandLayout,
     .usesBand = true,
     .hasOffsetSequence = false,
     .receiveRanges = kIc910},
    {.modelIndex = kModelIc7300,
     .menuCaption = "IC-7300",
     .menuAccessKey = '3',
     .memoryCount = 101,
     .readable = true,
     .bottomRows = 2,
     .lastStoredRow = 101,
     .nameLength = 10,
     .hiddenColumns = {},
     .readLayout = MemoryLayout::Ic7300Layout,
     .writeLayout = MemoryLayout::Ic7300Layout,
     .usesBand = false,
     .hasOffsetSequence = false,
     .tunesDataMode = true,
     .receiveRanges = kHfTo4m,
     .duplexChoices = kSimplexOrSplit},
    {.modelIndex = kModelIc7300Mk2,
     .menuCaption = "IC-7300MK2",
     .menuAccessKey = 'M',
     .memoryCount = 101,
     .readable = true,
     .bottomRows = 2,
     .lastStoredRow = 101,
     .nameLength = 16,
     .hiddenColumns = {},
     .readLayout = MemoryLayout::Ic7300Mk2Layout,
     .writeLayout = MemoryLayout::Ic7300Mk2Layout,
     .usesBand = false,
     .hasOffsetSequence = false,
     .tunesDataMode = true,
     .receiveRanges = kHfTo4m,
     .duplexChoices = kSimplexOrSplit},
    // No split and no offset: the duplex columns have nothing to show.
    {.modelIndex = kModelIc7610,
     .menuCaption = "IC-7610",
     .menuAccessKey = '1',
     .memoryCount = 101,
     .readable = true,
     .bottomRows = 2,
     .lastStoredRow = 101,
     .nameLength = 10,
     .hiddenColumns = {colDuplex, colTxFrequency},
     .readLayout = MemoryLayout::Ic7610Layout,
     .writeLayout = MemoryLayout::Ic7610Layout,
     .usesBand = false,
     .hasOffsetSequence = false,
     .tunesDataMode = true,
     .receiveRanges = kHf,
     .duplexChoices = kSimplexOnly},
}};

}  // namespace

std::span<const RigCatalogueEntry, kCatalogueSize> RigCatalogue() {
  return kCatalogue;
}

std::span<const RigModel> supportedModels() {
  return kModels;
}

const RigModel* findRigModel(int modelIndex) {
  for (const RigModel& m : kModels) {
    if (m.modelIndex == modelIndex) return &m;
  }
  return nullptr;
}

std::string_view modelName(int modelIndex) {
  if (modelIndex < 0 || modelIndex >= kCatalogueSize) return {};
  return kCatalogue[static_cast<std::size_t>(modelIndex)].name;
}

std::uint8_t defaultAddress(int modelIndex) {
  if (modelIndex < 0 || modelIndex >= kCatalogueSize) return 0;
  return kCatalogue[static_cast<std::size_t>(modelIndex)].defaultAddress;
}

std::string specialLabel(int modelIndex, int memoryNumber) {
  if (memoryNumber >= 1 && memoryNumber <= 99) return std::to_string(memoryNumber);
  const bool ic910 = modelIndex == kModelIc910;
  switch (memoryNumber) {
    case 100:
      return ic910 ? "1A" : "P1";
    case 101:
      return ic910 ? "1b" : "P2";
    case 102:
      return ic910 ? "2A" : "Call";
    case 103:
      return "2b";
    case 104:
      return "3A";
    case 105:
      return "3b";
    case 106:
      return "Call";
    default:
      return "?";
  }
}

ColumnSet hiddenColumns(int modelIndex) {
  const RigModel* m = findRigModel(modelIndex);
  return m ? m->hiddenColumns : ColumnSet{};
}

}  // namespace tarnwick
