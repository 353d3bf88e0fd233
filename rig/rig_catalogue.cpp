#include "rig/rig_catalogue.h"

#include <array>

namespace tarnwick {
namespace {

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
// The IC-910 keeps its offset in the memory but no transmit frequency of its own.
constexpr std::array<std::string_view, 3> kNoSplit{duplexChoices[0], duplexChoices[1],
                                                   duplexChoices[2]};

// No split and no offset: the duplex columns have nothing to show.
constexpr RigModel kIc7610{.modelIndex = kModelIc7610,
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
                           .duplexChoices = kSimplexOnly,
                           .usualBaud = 115200};

// A radio that keeps another's memories exactly, under its own name and address.
constexpr RigModel twinOf(RigModel model, std::uint8_t modelIndex, std::string_view caption,
                          char accessKey) {
  model.modelIndex = modelIndex;
  model.menuCaption = caption;
  model.menuAccessKey = accessKey;
  return model;
}

// The radios this program reads and writes, in Rig menu order.
constexpr RigModel kModels[] = {
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
     .receiveRanges = kIc910,
     .duplexChoices = kNoSplit},
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
     .duplexChoices = kSimplexOrSplit,
     .usualBaud = 115200},
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
     .duplexChoices = kSimplexOrSplit,
     .usualBaud = 115200},
    kIc7610,
    // The IC-7610's memories exactly.
    twinOf(kIc7610, catalogueIndex("IC-7760"), "IC-7760", '7'),
    twinOf(kIc7610, catalogueIndex("IC-785x"), "IC-785x", '8'),
};

// The Rig menu's radios keep their places in the catalogue.
static_assert(kModelIc746 == catalogueIndex("IC-746") &&
              kModelIc746Pro == catalogueIndex("IC-746Pro") &&
              kModelIc756Pro == catalogueIndex("IC-756Pro") &&
              kModelIc756ProII == catalogueIndex("IC-756ProII") &&
              kModelIc910 == catalogueIndex("IC-910") && kModelIcR75 == catalogueIndex("R-75") &&
              kModelIc7300 == catalogueIndex("IC-7300") &&
              kModelIc7300Mk2 == catalogueIndex("IC-7300MK2") &&
              kModelIc7610 == catalogueIndex("IC-7610"));

}  // namespace

std::span<const RigCatalogueEntry, kCatalogueSize> RigCatalogue() {
  return std::span<const RigCatalogueEntry, kCatalogueSize>(kRigCatalogue);
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
  return kRigCatalogue[modelIndex].name;
}

std::uint8_t defaultAddress(int modelIndex) {
  if (modelIndex < 0 || modelIndex >= kCatalogueSize) return 0;
  return kRigCatalogue[modelIndex].defaultAddress;
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
