#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "table_test_util.h"
#include "tables/cell_editing.h"
#include "tables/column_layout.h"
#include "tables/tables_controller.h"
#include "tests/support/locales.h"

namespace tarnwick {
namespace {

using testing::putChannel;
using testing::RecordingMessages;

TEST(ColumnLayout, HintsAndWidthsOutsideTheColumns) {
  EXPECT_EQ(columnHint(colFrequency), "Frequency (Double click to tune)");
  EXPECT_EQ(columnHint(-1), "unassigned");
  EXPECT_EQ(columnHint(11), "unassigned");
  // The two tables differ in their last widths only.
  EXPECT_EQ(defaultColumnWidth(TableKind::PermanentFile, colTxFrequency), 40);
  EXPECT_EQ(defaultColumnWidth(TableKind::Rig, colTxFrequency), 41);
  EXPECT_EQ(defaultColumnWidth(TableKind::Rig, 11), kUnstoredColumnWidth);
}

TEST(ColumnLayout, RealColumnSkipsTheModelsHiddenColumns) {
  // IC-756Pro hides Duplex (5) and Tx Frequency (6).
  EXPECT_EQ(RealColumn(kModelIc756Pro, 4), colFilter);
  EXPECT_EQ(RealColumn(kModelIc756Pro, 5), colRepeaterTone);
  EXPECT_EQ(RealColumn(kModelIc756Pro, 8), colChanged);
  EXPECT_EQ(RealColumn(kModelIc756Pro, 9), -1);
  // IC-910 hides Name (2) and Select (9).
  EXPECT_EQ(RealColumn(kModelIc910, 1), colFrequency);
  EXPECT_EQ(RealColumn(kModelIc910, 2), colMode);
  EXPECT_EQ(RealColumn(kModelIc910, 8), colChanged);
  EXPECT_EQ(RealColumn(kModelIc746, 10), colChanged);
  EXPECT_EQ(RealColumn(kModelIc746, -1), -1);

  for (const RigModel& m : supportedModels()) {
    const int shown = shownColumnCount(m.hiddenColumns);
    for (int p = 0; p < shown; ++p) {
      EXPECT_EQ(displayedPosition(m.hiddenColumns, RealColumn(m.hiddenColumns, p)), p);
    }
  }
  EXPECT_EQ(displayedPosition(hiddenColumns(kModelIc910), colName), -1);
}

TEST(ColumnLayout, RigTableGeometryPerModel) {
  ChannelTable rig(TableKind::Rig);
  const std::pair<int, int> rows[] = {{kModelIc746, 102},    {kModelIc746Pro, 102},
                                      {kModelIc756Pro, 101}, {kModelIc756ProII, 101},
                                      {kModelIc910, 106},    {kModelIcR75, 101}};
  for (auto [model, data] : rows) {
    EXPECT_EQ(rigDataRows(model), data) << model;
    PrepareRigTable(rig, model);
    EXPECT_EQ(rig.dataRowCount(), data);
    EXPECT_EQ(rig.cell(colName, 1), "");
    rig.setCell(colName, 1, "left over");
    EXPECT_EQ(rig.cell(colTxFrequency, 0), "Tx Frequency");
  }
  EXPECT_EQ(rigDataRows(0), kStartupRigRows);
}

TEST(CellEditing, NameLimitFollowsTheModel) {
  EXPECT_EQ(columnEditorType(kModelIc746Pro, colName), (EditorType{EditorKind::Text, 9}));
  EXPECT_EQ(columnEditorType(kModelIc756Pro, colName), (EditorType{EditorKind::Text, 10}));
  EXPECT_EQ(columnEditorType(kModelIc910, colName).maxLength, 10);  // no name in memory
  EXPECT_EQ(columnEditorType(kModelIc746, colNumber).kind, EditorKind::None);
}

TEST(CellEditing, RigNamesTakeNoMoreThanTheRadioKeeps) {
  testing::ControlledTables t;
  t.ctl_.setModelIndex(kModelIc7300Mk2);
  PrepareRigTable(t.rig_, kModelIc7300Mk2);
  PrepareRigTable(t.file_, kModelIc7300Mk2);
  EXPECT_EQ(t.ctl_.textLimit(t.rig_, colName, 1), 16);  // nothing heard yet
  // This radio answers memory 1 in 10 characters, memory 2 in 16.
  t.ctl_.setRigNameLength([](int memory) { return memory == 1 ? 10 : 16; });
  EXPECT_EQ(t.ctl_.textLimit(t.rig_, colName, 1), 10);
  EXPECT_EQ(t.ctl_.textLimit(t.rig_, colName, 2), 16);
  // The permanent file keeps channels for any radio.
  EXPECT_EQ(t.ctl_.textLimit(t.file_, colName, 1), 16);
  EXPECT_EQ(t.ctl_.textLimit(t.rig_, colTxFrequency, 1), 11);
}

TEST(CellEditing, ChoiceListsFollowModelAndLocale) {
  const auto ic746 = editorChoices(kModelIc746, colMode);
  ASSERT_EQ(ic746.size(), 8u);
  EXPECT_EQ(ic746.front(), "AM");
  EXPECT_EQ(std::count(ic746.begin(), ic746.end(), "USB-D"), 0);
  const auto pro = editorChoices(kModelIc746Pro, colMode);
  ASSERT_EQ(pro.size(), 12u);
  EXPECT_EQ(pro[1], "AM-D");
  // The IC-910's memories keep no data mode either: its bit 4 is a tone.
  EXPECT_EQ(editorChoices(kModelIc910, colMode), ic746);
  EXPECT_EQ(editorChoices(kModelIc756ProII, colMode), pro);
  EXPECT_EQ(editorChoices(kModelIc746, colFilter),
            (std::vector<std::string>{"Narrow", "Normal", "Wide"}));
  EXPECT_EQ(editorChoices(kModelIc746, colDuplex),
            (std::vector<std::string>{"Simplex", "DUP-", "DUP+", "Split"}));

  const auto pointTones = editorChoices(kModelIc746, colToneSquelch, Separators::point());
  const auto commaTones = editorChoices(kModelIc746, colRepeaterTone, Separators::comma());
  ASSERT_EQ(pointTones.size(), 51u);
  EXPECT_EQ(pointTones[0], "");
  EXPECT_EQ(pointTones[9], "88.5");
  EXPECT_EQ(commaTones[9], "88,5");
  EXPECT_EQ(commaTones[50], "254,1");
  EXPECT_TRUE(editorChoices(kModelIc746, colName).empty());
}

TEST(CellEditing, PreselectsTheCellTextOrTheFirstItem) {
  const auto ic746 = editorChoices(kModelIc746, colMode);
  EXPECT_EQ(preselectedChoice(ic746, "USB-D"), 0);  // read with another model
  EXPECT_EQ(preselectedChoice(ic746, "CW-r"), 5);
  EXPECT_EQ(preselectedChoice(ic746, ""), 0);
  const auto duplex = editorChoices(kModelIc746, colDuplex);
  EXPECT_EQ(preselectedChoice(duplex, "Simp"), 0);
  EXPECT_EQ(preselectedChoice(duplex, "DUP+"), 2);
  const auto tones = editorChoices(kModelIc746, colRepeaterTone, Separators::comma());
  EXPECT_EQ(preselectedChoice(tones, "100,0"), 13);
  EXPECT_EQ(preselectedChoice(tones, "100.0"), 0);  // the empty item
  EXPECT_EQ(preselectedChoice(std::vector<std::string>{}, "x"), -1);
}

TEST(CellEditing, TxFrequencyOfTheRigTableOnlyInSplitRows) {
  ChannelTable rig(TableKind::Rig);
  ChannelTable file(TableKind::PermanentFile);
  rig.setRowCount(3);
  file.setRowCount(3);
  rig.setCell(colDuplex, 1, "DUP+");
  file.setCell(colDuplex, 1, "DUP+");
  EXPECT_FALSE(isCellEditable(rig, colTxFrequency, 1));
  EXPECT_TRUE(isCellEditable(file, colTxFrequency, 1));
  EXPECT_TRUE(isCellEditable(rig, colName, 1));
  rig.setCell(colDuplex, 1, "Split");
  EXPECT_TRUE(isCellEditable(rig, colTxFrequency, 1));
  rig.setCell(colDuplex, 1, "split");
  EXPECT_FALSE(isCellEditable(rig, colTxFrequency, 1));
  // Fixed cells never.
  EXPECT_FALSE(isCellEditable(file, colNumber, 1));
  EXPECT_FALSE(isCellEditable(file, colName, 0));
  EXPECT_FALSE(isCellEditable(file, colName, 3));
}

// The editing hooks, run under a point and a comma locale.
class EditingHooks : public ::testing::TestWithParam<Separators> {
 protected:
  EditingHooks() : scoped_(GetParam()), ctl_(file_, rig_, messages_) {
    ctl_.setModelIndex(kModelIc746Pro);
    rig_.setRowCount(4);
    file_.setRowCount(4);
    putChannel(rig_, 1, 14074, "FT8");
    putChannel(file_, 1, 14074, "FT8");
  }
  // "," thousands and "." decimals written as the locale has them.
  std::string local(std::string_view english) const {
    std::string s(english);
    for (char& c : s) c = c == ',' ? GetParam().thousands : c == '.' ? GetParam().decimal : c;
    return s;
  }

  ScopedSeparators scoped_;
  ChannelTable file_{TableKind::PermanentFile};
  ChannelTable rig_{TableKind::Rig};
  RecordingMessages messages_;
  TablesController ctl_;
};

TEST_P(EditingHooks, FrequencyEditorStartsWithoutSeparators) {
  ASSERT_EQ(rig_.cell(colFrequency, 1), local("  14,074.00"));
  EXPECT_EQ(ctl_.startEdit(rig_, colFrequency, 1), local("14074.00"));
  EXPECT_EQ(ctl_.editStartText(), local("  14,074.00"));
  EXPECT_EQ(ctl_.startEdit(rig_, colName, 1), "FT8");
  rig_.setCell(colTxFrequency, 1, local("  14,074.00"));
  EXPECT_EQ(ctl_.startEdit(rig_, colTxFrequency, 1), local("  14,074.00"));
}

TEST_P(EditingHooks, FrequencyChangesCountByValue) {
  ctl_.startEdit(rig_, colFrequency, 1);
  ctl_.editTextChanged(rig_, colFrequency, 1, local("14074.0"));
  EXPECT_EQ(rig_.cell(colChanged, 1), "0");
  EXPECT_FALSE(rig_.modified());
  ctl_.editTextChanged(rig_, colFrequency, 1, "14075");
  EXPECT_EQ(rig_.cell(colChanged, 1), "1");
  EXPECT_TRUE(rig_.modified());
  EXPECT_FALSE(file_.modified());
  // Going back does not undo the mark.
  ctl_.editTextChanged(rig_, colFrequency, 1, local("14074.00"));
  EXPECT_EQ(rig_.cell(colChanged, 1), "1");
}

TEST_P(EditingHooks, LeavingTheFrequencyRewritesItForTheMode) {
  putChannel(rig_, 2, 0, "");
  rig_.setCell(colMode, 2, "CW");
  ctl_.startEdit(rig_, colFrequency, 2);
  EXPECT_EQ(ctl_.commitEdit(rig_, colFrequency, 2, "7050"), local("   7,050.00"));
  EXPECT_EQ(rig_.cell(colFrequency, 2), local("   7,050.00"));
  EXPECT_EQ(rig_.cell(colChanged, 2), "1");

  rig_.setCell(colMode, 2, "FM");
  ctl_.startEdit(rig_, colFrequency, 2);
  EXPECT_EQ(ctl_.commitEdit(rig_, colFrequency, 2, "145500"), local("    145,500"));
  EXPECT_EQ(ctl_.commitEdit(rig_, colFrequency, 2, local("145.5")), local("     145.50"));
}

TEST_P(EditingHooks, LeavingWithoutTypingKeepsTheDisplayAndMarksNothing) {
  const std::string before = rig_.cell(colFrequency, 1);
  const std::string start = ctl_.startEdit(rig_, colFrequency, 1);
  EXPECT_EQ(ctl_.commitEdit(rig_, colFrequency, 1, start), before);
  EXPECT_EQ(rig_.cell(colChanged, 1), "0");
  EXPECT_FALSE(rig_.modified());
}

TEST_P(EditingHooks, MistypedFrequencyIsRefusedAndOnlyAnEmptyTextEmptiesTheCell) {
  const std::string before = rig_.cell(colFrequency, 1);
  for (const std::string& typed : std::vector<std::string>{"-5", "abc", "1e3", local("1,23,456"),
                                                           "999999999", local("14.195")}) {
    ctl_.startEdit(rig_, colFrequency, 1);
    ctl_.editTextChanged(rig_, colFrequency, 1, "7");  // a valid value half-way marks the row
    EXPECT_EQ(ctl_.commitEdit(rig_, colFrequency, 1, typed), before) << typed;
    EXPECT_EQ(rig_.cell(colFrequency, 1), before) << typed;
    EXPECT_EQ(rig_.cell(colChanged, 1), "0") << typed;
    EXPECT_FALSE(rig_.modified()) << typed;
  }
  ASSERT_EQ(messages_.errors.size(), 6u);
  EXPECT_NE(messages_.errors[0].find("negative"), std::string::npos) << messages_.errors[0];
  EXPECT_NE(messages_.errors[3].find("groups of three"), std::string::npos);
  // 14.195 typed meaning MHz is 14.195 kHz, below the radio's ranges, which are named.
  EXPECT_NE(messages_.errors[5].find("30 kHz-60 MHz, 108-174 MHz"), std::string::npos)
      << messages_.errors[5];

  // A unit says what the number means.
  ctl_.startEdit(rig_, colFrequency, 1);
  EXPECT_EQ(ctl_.commitEdit(rig_, colFrequency, 1, local("14.195 MHz")), local("  14,195.00"));
  EXPECT_EQ(ctl_.commitEdit(rig_, colFrequency, 1, local("145.5m")), local(" 145,500.00"));

  ctl_.startEdit(rig_, colFrequency, 1);
  EXPECT_EQ(ctl_.commitEdit(rig_, colFrequency, 1, ""), "");
  EXPECT_EQ(rig_.cell(colChanged, 1), "1");
  ctl_.startEdit(file_, colFrequency, 1);
  EXPECT_EQ(ctl_.commitEdit(file_, colFrequency, 1, ""), "");
  EXPECT_TRUE(file_.modified());
}

TEST_P(EditingHooks, OtherTextsAreStoredAsTypedAndCompareExactly) {
  rig_.setCell(colDuplex, 1, "Split");
  ctl_.startEdit(rig_, colTxFrequency, 1);
  EXPECT_EQ(ctl_.commitEdit(rig_, colTxFrequency, 1, "7050"), local("   7,050.00"));
  ctl_.startEdit(file_, colName, 1);
  ctl_.editTextChanged(file_, colName, 1, "FT8");
  EXPECT_EQ(file_.cell(colChanged, 1), "0");
  EXPECT_EQ(ctl_.commitEdit(file_, colName, 1, "ft8"), "ft8");
  EXPECT_EQ(file_.cell(colChanged, 1), "1");
  EXPECT_TRUE(file_.modified());
}

TEST_P(EditingHooks, LockedTxFrequencyIgnoresEdits) {
  rig_.setCell(colDuplex, 1, "DUP+");
  ctl_.startEdit(rig_, colTxFrequency, 1);
  ctl_.commitEdit(rig_, colTxFrequency, 1, "7050");
  EXPECT_EQ(rig_.cell(colTxFrequency, 1), "");
  EXPECT_FALSE(rig_.modified());
}

TEST_P(EditingHooks, ListPicksMarkTheRowEvenWhenUnchanged) {
  ctl_.pickListItem(rig_, colMode, 1, "USB");
  EXPECT_EQ(rig_.cell(colChanged, 1), "1");
  EXPECT_TRUE(rig_.modified());

  file_.setCell(colRepeaterTone, 1, local("88.5"));
  const auto items = ctl_.choices(colRepeaterTone);
  EXPECT_EQ(ctl_.preselected(file_, colRepeaterTone, 1), 9);
  ctl_.pickListItem(file_, colRepeaterTone, 1, items[0]);
  EXPECT_EQ(file_.cell(colRepeaterTone, 1), "");
  EXPECT_EQ(file_.cell(colChanged, 1), "1");
}

TEST_P(EditingHooks, SelectClicksAreEditsChangedClicksAreNot) {
  ctl_.toggleCheckBox(file_, colChanged, 1);
  EXPECT_EQ(file_.cell(colChanged, 1), "1");
  ctl_.toggleCheckBox(file_, colChanged, 1);
  EXPECT_EQ(file_.cell(colChanged, 1), "0");
  EXPECT_FALSE(file_.modified());

  ctl_.toggleCheckBox(file_, colSelect, 1);
  EXPECT_EQ(file_.cell(colSelect, 1), "1");
  EXPECT_EQ(file_.cell(colChanged, 1), "1");
  EXPECT_TRUE(file_.modified());
  ctl_.toggleCheckBox(file_, colSelect, 1);
  EXPECT_EQ(file_.cell(colSelect, 1), "0");

  // A refused row shows unchecked: a click ticks it.
  rig_.setCell(colChanged, 1, std::string(kRefused));
  ctl_.toggleCheckBox(rig_, colChanged, 1);
  EXPECT_EQ(rig_.cell(colChanged, 1), "1");
  ctl_.toggleCheckBox(rig_, colName, 1);
  EXPECT_EQ(rig_.cell(colName, 1), "FT8");
}

TEST_P(EditingHooks, FinishedTextsCompleteLaterTyping) {
  ctl_.startEdit(file_, colName, 2);
  ctl_.commitEdit(file_, colName, 2, "Beacon");
  ctl_.startEdit(file_, colName, 3);
  ctl_.commitEdit(file_, colName, 3, "BEACON");
  EXPECT_EQ(ctl_.completions(file_, "bea"), std::vector<std::string>{"Beacon"});
  EXPECT_TRUE(ctl_.completions(rig_, "bea").empty());
}

INSTANTIATE_TEST_SUITE_P(Locales, EditingHooks, testing::bothLocales(), testing::localeName);

TEST(NameList, IgnoresCaseForDuplicatesAndMatches) {
  NameList names;
  names.add("Relais");
  names.add("RELAIS");
  names.add("");
  names.add("\xC4rmelkanal");  // A umlaut
  names.add("\xE4RMELKANAL");
  names.add("Rundspruch");
  EXPECT_EQ(names.items(), (std::vector<std::string>{"Relais", "\xC4rmelkanal", "Rundspruch"}));
  EXPECT_TRUE(names.contains("relais"));
  EXPECT_EQ(names.completions("r"), (std::vector<std::string>{"Relais", "Rundspruch"}));
  EXPECT_EQ(names.completions("\xE4r"), std::vector<std::string>{"\xC4rmelkanal"});
  // The multiplication and division signs are not letters of one another.
  names.add("\xD7");
  names.add("\xF7");
  EXPECT_EQ(names.size(), 5u);
}

}  // namespace
}  // namespace tarnwick
