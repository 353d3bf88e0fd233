// The main window without a radio: what the menus do to the tables (undo
// and redo, CHIRP CSV import), and the settings it leaves for the next start.

#include <unistd.h>
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QtTest>

#include <csignal>
#include <fstream>
#include <memory>

#include "app/dialog_prompts.h"
#include "app/main_window.h"
#include "app/table_actions.h"
#include "app/table_filter.h"
#include "app/table_view.h"
#include "files/recovery_files.h"
#include "tables/table_ops.h"
#include "tests/support/temp_folder.h"
#include "window_test_util.h"

using namespace tarnwick;

namespace {

QAction* menuAction(QMainWindow& window, const QString& menu, const QString& prefix) {
  for (QAction* top : window.menuBar()->actions()) {
    if (top->text().remove(QLatin1Char('&')) != menu) continue;
    for (QAction* a : top->menu()->actions()) {
      if (a->text().remove(QLatin1Char('&')).startsWith(prefix)) return a;
    }
  }
  return nullptr;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

  testing::TempFolder dir_;
  apptest::ScriptedPrompts prompts_;

  std::unique_ptr<app::MainWindow> startWindow() { return apptest::startWindow(dir_, prompts_); }

 private slots:
  void init() { apptest::freshStartWithoutRadio(dir_, prompts_); }

  void undoAndRedoFollowTheTablesAndNameTheStep() {
    auto window = startWindow();
    ChannelTable& file = window->permanentTable();
    file.assign(std::vector<ChannelRecord>(4), true);
    for (int r = 1; r <= 3; ++r) {
      file.setCell(colFrequency, r, std::to_string(7000 + r));
      // Appended: GCC 12 takes "N" + std::to_string(r) for an overlapping copy (-Wrestrict).
      file.setCell(colName, r, std::string("N").append(std::to_string(r)));
    }
    window->history().clear();
    file.setModified(false);
    QAction* undo = menuAction(*window, QStringLiteral("Edit"), QStringLiteral("Undo"));
    QAction* redo = menuAction(*window, QStringLiteral("Edit"), QStringLiteral("Redo"));
    QVERIFY(undo && redo);
    QVERIFY(!undo->isEnabled());

    // A drag within the permanent file, then Undo, then Redo.
    window->controller().armDrag(file, 1, false);
    QVERIFY(window->controller().drop(file, file, 3));
    QCOMPARE(undo->text(), QStringLiteral("&Undo Drag"));
    QVERIFY(undo->isEnabled());
    undo->trigger();
    QCOMPARE(file.cell(colName, 1), std::string("N1"));
    QVERIFY(!file.modified());  // back at the saved state
    QCOMPARE(redo->text(), QStringLiteral("&Redo Drag"));
    redo->trigger();
    QVERIFY(file.modified());
    QVERIFY(file.cell(colName, 1) != "N1");

    // Without a radio the rig table is the user's to edit.
    QVERIFY(!window->rigTable().inputLocked());
  }

  void aCellTypedAndLeftIsOneStep() {
    auto window = startWindow();
    ChannelTable& file = window->permanentTable();
    file.assign(std::vector<ChannelRecord>(3), true);
    file.setCell(colFrequency, 1, "7050");
    file.setCell(colName, 1, "OLD");
    file.setCell(colChanged, 1, "0");
    window->history().clear();
    file.setModified(false);
    app::ChannelTableView& view = window->fileView();
    QApplication::setActiveWindow(window.get());
    view.setFocus();
    view.setCurrentIndex(view.model()->index(0, colName));
    QTest::keyClick(&view, Qt::Key_F2);
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(edit);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("NEW"));  // each key marks the row
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_COMPARE(file.cell(colName, 1), std::string("NEW"));
    QCOMPARE(file.cell(colChanged, 1), std::string("1"));
    // The marks of the typing and the text it ended with go back together.
    QVERIFY(window->history().undo());
    QCOMPARE(file.cell(colName, 1), std::string("OLD"));
    QCOMPARE(file.cell(colChanged, 1), std::string("0"));
    QVERIFY(!file.modified());
    QVERIFY(!window->history().canUndo());
  }

  void aChirpListImportsIntoThePermanentFileAsOneStep() {
    auto window = startWindow();
    const std::string list = dir_.file("club.csv");
    std::ofstream(list) << "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,Mode\r\n"
                           "1,Club,145.500000,,0.000000,,88.5,88.5,FM\r\n"
                           "2,Net,3.985000,,0.000000,,88.5,88.5,LSB\r\n"
                           "3,Digital,439.000000,,0.000000,,88.5,88.5,DV\r\n";
    prompts_.openPath = list;
    window->fileView().setFocus();
    emit window->fileView().activated(&window->fileView());
    window->link().rigChosen(kModelIc746);
    window->importChirpCsv();
    ChannelTable& file = window->permanentTable();
    QCOMPARE(file.dataRowCount(), 2);
    QCOMPARE(file.cell(colName, 1), std::string("Club"));
    QCOMPARE(file.cell(colChanged, 2), std::string("1"));
    // The row the radio cannot keep is named in the report.
    QTRY_COMPARE(prompts_.boxes.size(), 2);  // the port's box, then the report
    QVERIFY2(prompts_.boxes.last().contains(QStringLiteral("Digital")),
             qPrintable(prompts_.boxes.last()));
    // One step undoes the whole import.
    QAction* undo = menuAction(*window, QStringLiteral("Edit"), QStringLiteral("Undo"));
    QCOMPARE(undo->text(), QStringLiteral("&Undo Import CHIRP CSV"));
    undo->trigger();
    QCOMPARE(file.cell(colName, 1), std::string());
  }

  void aChirpListGoesIntoTheRigTableWhereTheUserPicks() {
    auto window = startWindow();
    const std::string list = dir_.file("two.csv");
    std::ofstream(list) << "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,Mode\r\n"
                           "1,Club,145.500000,,0.000000,,88.5,88.5,FM\r\n"
                           "2,Net,3.985000,,0.000000,,88.5,88.5,LSB\r\n";
    prompts_.openPath = list;
    window->link().rigChosen(kModelIc746);
    ChannelTable& rig = window->rigTable();
    rig.setInputLocked(false);  // as after a read
    app::ChannelTableView& view = window->rigView();
    view.setCurrentIndex(view.model()->index(4, colName));
    emit view.activated(&view);

    // Cancel imports nothing.
    window->importChirpCsv();
    QCOMPARE(prompts_.questions,
             QStringList{QStringLiteral("Where do the channels go in the rig table?")});
    QCOMPARE(rig.cell(colName, 1), std::string());
    QCOMPARE(rig.cell(colName, 5), std::string());

    // The second choice: the list in its order from the current memory on.
    prompts_.picks = {1};
    window->importChirpCsv();
    QCOMPARE(rig.cell(colName, 5), std::string("Club"));
    QCOMPARE(rig.cell(colName, 6), std::string("Net"));
    QCOMPARE(rig.cell(colName, 1), std::string());

    // The first: each channel at its Location.
    prompts_.picks = {0};
    window->importChirpCsv();
    QCOMPARE(rig.cell(colName, 1), std::string("Club"));
    QCOMPARE(rig.cell(colName, 2), std::string("Net"));
  }

  void aLongImportReportShowsItsFirstLinesInTheBox() {
    auto window = startWindow();
    const std::string list = dir_.file("bad.csv");
    {
      std::ofstream out(list);
      out << "Location,Name,Frequency\r\n";
      for (int i = 1; i <= 2000; ++i) out << i << ",X,abc\r\n";
    }
    prompts_.openPath = list;
    window->fileView().setFocus();
    emit window->fileView().activated(&window->fileView());
    window->link().rigChosen(kModelIc746);
    window->importChirpCsv();
    QTRY_COMPARE(prompts_.boxes.size(), 2);  // the port's box, then the report
    const QStringList lines = prompts_.boxes.last().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 51);
    QVERIFY2(lines.last().startsWith(QStringLiteral("... and ")), qPrintable(lines.last()));
    QVERIFY(lines.last().endsWith(QStringLiteral(" more lines: Save Report... keeps them all")));

    // A name of 8 MiB is named cut, at once.
    {
      std::ofstream out(list);
      out << "Location,Name,Frequency\r\n1," << std::string(8 << 20, 'N') << ",abc\r\n";
    }
    QElapsedTimer clock;
    clock.start();
    window->importChirpCsv();
    QTRY_COMPARE(prompts_.boxes.size(), 3);
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    const QString cut = prompts_.boxes.last();
    QVERIFY2(cut.size() < 2000 && cut.contains(QStringLiteral("NNN\u2026")),
             qPrintable(cut.left(500)));

    // The box itself: never past the screen, its buttons in view.
    QString report;
    for (int i = 0; i < 400; ++i) report += QStringLiteral("line %1 of a long report\n").arg(i);
    app::DialogPrompts real(*window);
    int height = -1, room = 0;
    QStringList shown;
    QTimer::singleShot(0, window.get(), [&] {
      auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      height = box->frameGeometry().height();
      room = box->screen()->availableGeometry().height();
      for (QPushButton* b : box->findChildren<QPushButton*>()) {
        const QRect at(b->mapTo(box, QPoint(0, 0)), b->size());
        if (b->isVisible() && box->rect().contains(at)) shown << b->text().remove(QLatin1Char('&'));
      }
      box->reject();
    });
    real.showReport(app::BoxKind::Warning, QStringLiteral("Import CHIRP CSV"), report, report);
    QVERIFY2(height > 0 && height <= room,
             qPrintable(QStringLiteral("%1 %2").arg(height).arg(room)));
    shown.sort();
    QCOMPARE(shown, (QStringList{QStringLiteral("OK"), QStringLiteral("Save Report...")}));
  }

  void aSaveAfterAnOutsideImportKeepsTheImportedRow() {
    auto window = startWindow();
    const std::string path = window->files().currentFile(window->permanentTable());
    window->permanentTable().setCell(colFrequency, 1, "    145,500");
    window->permanentTable().setCell(colName, 1, "MINE");
    window->permanentTable().setModified(true);
    QVERIFY(window->files().save(TableKind::PermanentFile));

    // tarnwick-cli import --permanent, as its file commands do it.
    {
      ChannelTable permanent(TableKind::PermanentFile);
      ChannelTable rig(TableKind::Rig);
      struct Silent : FileCommandUi {
        std::optional<std::string> chooseFile(const FileDialogSpec&, const std::string&,
                                              const std::string&) override {
          return std::nullopt;
        }
        PromptAnswer askYesNoAbort(std::string_view) override { return PromptAnswer::No; }
        void showError(std::string_view text) override { QFAIL(std::string(text).c_str()); }
        void showInformation(std::string_view) override {}
        void fileNamesChanged() override {}
      } ui;
      FileCommands outside(permanent, rig, ui);
      outside.applySettings(dir_.path(), window->files().permanentFileName(), "", "");
      outside.loadPermanentFile();
      const int row = permanent.rowCount();
      permanent.insertRows(row, 1);
      permanent.setCell(colFrequency, row, "    433,500");
      permanent.setCell(colName, row, "IMPORTED");
      permanent.setModified(true);
      QVERIFY(outside.save(TableKind::PermanentFile));
    }

    window->permanentTable().setCell(colName, 1, "MINE2");
    window->permanentTable().setModified(true);
    QVERIFY(window->files().save(TableKind::PermanentFile));
    QTRY_VERIFY(
        prompts_.boxes.contains(QStringLiteral("1 channel added by another program was kept")));
    std::ifstream in(path);
    const std::string text(std::istreambuf_iterator<char>(in), {});
    QVERIFY2(text.find("IMPORTED") != std::string::npos, text.c_str());
    QVERIFY(text.find("MINE2") != std::string::npos);
    QCOMPARE(window->permanentTable().cell(colName, 2), std::string("IMPORTED"));
  }

  void theSettingsOfOneRunAreTheStartOfTheNext() {
    {
      auto window = startWindow();
      QCOMPARE(apptest::captionedText(*window, QStringLiteral("Serial port")),
               QStringLiteral("COM2: 9600"));
      window->link().rigChosen(kModelIc746);
      window->tableActions().horizontalLines->setChecked(false);
      menuAction(*window, QStringLiteral("Options"), QStringLiteral("Hide Empty"))->trigger();
      window->engine().setOffsets({150000, 500000, 600000});
      window->fileView().setColumnWidth(colName, 123);
    }
    QSettings settings;
    QCOMPARE(settings.value(QStringLiteral("model")).toInt(), int(kModelIc746));
    QCOMPARE(settings.value(QStringLiteral("adr")).toInt(), 0x56);
    QCOMPARE(settings.value(QStringLiteral("qdl/hli")).toBool(), false);
    QCOMPARE(settings.value(QStringLiteral("qdl/ofhf")).toInt(), 150000);
    QCOMPARE(settings.value(QStringLiteral("qdl/qdlfilecolwidth/Col2")).toInt(), 123);

    auto again = startWindow();
    QCOMPARE(again->link().modelIndex(), int(kModelIc746));
    QVERIFY(!again->tableActions().horizontalLines->isChecked());
    QVERIFY(!again->fileView().horizontalLines());
    QVERIFY(
        menuAction(*again, QStringLiteral("Options"), QStringLiteral("Hide Empty"))->isChecked());
    QVERIFY(again->rigFilter().rows().hideEmpty());
    QCOMPARE(again->engine().offsets().hf, 150000);
    QCOMPARE(again->fileView().columnWidth(colName), 123);
  }

  void signalsKeepUnsavedTablesAndTheNextStartOffersThemUntilAnswered() {
    // Every question is answered Yes.
    const QStringList& questions = prompts_.questions;
    prompts_.answers = QList<PromptAnswer>(8, PromptAnswer::Yes);
    {
      auto window = apptest::startWindow(dir_, prompts_);
      QVERIFY(questions.isEmpty());
      window->permanentTable().setRowCount(3);
      window->permanentTable().setCell(colName, 1, "UNSAVED");
      window->permanentTable().setModified(true);
      window->rigTable().setCell(colName, 1, "RIG");
      window->rigTable().setModified(true);
      window->tableActions().horizontalLines->setChecked(false);
      // A name typed into a cell whose editor is still open.
      app::ChannelTableView& view = window->fileView();
      view.setCurrentIndex(view.model()->index(1, colName));
      static_cast<QAbstractItemView&>(view).edit(view.currentIndex());
      auto* editor = view.viewport()->findChild<QLineEdit*>();
      QVERIFY(editor != nullptr);
      editor->setText(QStringLiteral("TYPED"));
      ::kill(::getpid(), SIGTERM);
      QTRY_VERIFY(window->isHidden() && QSettings().contains(QStringLiteral("qdl/hli")));
    }
    QCOMPARE(QSettings().value(QStringLiteral("qdl/hli")).toBool(), false);

    auto again = apptest::startWindow(dir_, prompts_);
    QCOMPARE(questions.size(), 1);
    QVERIFY2(questions[0].startsWith(QStringLiteral("The permanent file had changes")),
             qPrintable(questions[0]));
    QCOMPARE(again->permanentTable().cell(colName, 1), std::string("UNSAVED"));
    QCOMPARE(again->permanentTable().cell(colName, 2), std::string("TYPED"));
    QVERIFY(again->files().permanentFileName().ends_with("-offered.txt"));
    // Ended before its box about the rig table came up: offered again.
    const auto rigBoxes = [this] {
      return prompts_.boxes.filter(QStringLiteral("Unsaved rig table: "));
    };
    again.reset();
    QVERIFY(rigBoxes().isEmpty());
    auto third = apptest::startWindow(dir_, prompts_);
    QTRY_COMPARE(rigBoxes().size(), 1);
    const QString named = rigBoxes()[0].section(QLatin1Char('\n'), 1, 1);
    QVERIFY2(QFileInfo::exists(named) && named.endsWith(QStringLiteral("-offered.txt")),
             qPrintable(named));
    // Each offered once.
    third.reset();
    auto fourth = apptest::startWindow(dir_, prompts_);
    QCoreApplication::processEvents();
    QCOMPARE(questions.size(), 1);
    QCOMPARE(rigBoxes().size(), 1);

    // Ctrl+C in the terminal keeps the table as a kill does.
    fourth->permanentTable().setRowCount(4);
    fourth->permanentTable().setCell(colName, 3, "INTERRUPTED");
    fourth->permanentTable().setModified(true);
    ::kill(::getpid(), SIGINT);
    QTRY_COMPARE(RecoveryFolder(defaultRecoveryFolder()).pending().size(), std::size_t{1});
    fourth.reset();
    auto fifth = apptest::startWindow(dir_, prompts_);
    QCOMPARE(questions.size(), 2);
    QCOMPARE(fifth->permanentTable().cell(colName, 3), std::string("INTERRUPTED"));
  }

  void aSecondWindowOnTheSameSettingsMayGoOnReadOnly() {
    auto first = startWindow();
    const QStringList& questions = prompts_.questions;
    prompts_.answers = QList<PromptAnswer>(8, PromptAnswer::Yes);
    auto second = apptest::startWindow(dir_, prompts_);
    QCOMPARE(questions.size(), 1);
    QVERIFY2(questions[0].startsWith(QStringLiteral("Another window of this program runs on these "
                                                    "settings (process %1).")
                                         .arg(::getpid())),
             qPrintable(questions[0]));
    QVERIFY(second->files().fileWarning().ends_with(
        "read-only (another window runs on these settings): Save asks for another name"));
    // The read-only window leaves the settings to the first.
    second->tableActions().horizontalLines->setChecked(false);
    second.reset();
    QVERIFY(!QSettings().contains(QStringLiteral("qdl/hli")));
    first.reset();
    QVERIFY(QSettings().contains(QStringLiteral("qdl/hli")));
    // With the first gone, a window starts without the question.
    auto third = apptest::startWindow(dir_, prompts_);
    QCOMPARE(questions.size(), 1);
    QCOMPARE(third->files().fileWarning(), std::string());
  }

  void settingsThatCannotBeWrittenAreLoggedWhenTheWindowIsGone() {
    const QString file = QSettings().fileName();
    {
      auto window = startWindow();
      // A folder in the settings file's place: the write at the end fails.
      QFile::remove(file);
      QVERIFY(QDir().mkpath(file));
    }
    QDir(file).removeRecursively();
    std::ifstream log(dir_.file("icomdeb.txt"));
    const std::string text(std::istreambuf_iterator<char>(log), {});
    QVERIFY2(text.find("The settings could not be written to " + file.toStdString()) !=
                 std::string::npos,
             text.c_str());
  }
};

int main(int argc, char** argv) {
  return apptest::runWindowTests<WindowTest>(argc, argv);
}

#include "window_test.moc"
