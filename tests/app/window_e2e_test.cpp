// The whole program against the radio simulator: the main window, its engine
// over the Qt event loop, the real serial component on a pseudo-terminal.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "app/main_window.h"
#include "app/offsets_dialog.h"
#include "app/port_dialog.h"
#include "app/qt_text.h"
#include "app/round_led.h"
#include "app/table_model.h"
#include "app/table_view.h"
#include "rig/rig_catalogue.h"
#include "sim/memory_file.h"
#include "sim/radio_model.h"
#include "sim/simulator.h"
#include "tables/table_ops.h"
#include "tests/support/temp_folder.h"
#include "window_test_util.h"

using namespace tarnwick;
using namespace std::chrono_literals;

namespace {

constexpr int kReadTimeoutMs = 20000;

QString cell(const ChannelTable& t, int col, int row) {
  return QString::fromLatin1(t.cell(col, row).c_str());
}

}  // namespace

class WindowEndToEnd : public QObject {
  Q_OBJECT

 private:
  testing::TempFolder dir_;
  apptest::ScriptedPrompts prompts_;  // answers the window, so outlives it
  std::unique_ptr<sim::Simulator> radio_;
  std::unique_ptr<app::MainWindow> window_;

  void startRadio(const char* model, sim::SimulatorOptions options = {}) {
    const sim::RadioModel* m = sim::findRadioModel(model);
    QVERIFY(m != nullptr);
    radio_ = std::make_unique<sim::Simulator>(
        *m, sim::parseMemoryFile(sim::defaultMemoryText(*m), *m), options);
    radio_->start();
  }

  // A fresh start whose settings assign COM2 to the simulator (or to
  // `device`), started as at a first activation.
  void startWindow(const std::string& device = {}) {
    apptest::freshSettingsWithCom2(device.empty() ? radio_->devicePath() : device);
    window_ = apptest::startWindow(dir_, prompts_);
  }

  QString engineState() { return apptest::captionedText(*window_, QStringLiteral("Engine state")); }
  QString engineDetail() {
    return apptest::captionedText(*window_, QStringLiteral("Engine detail"));
  }
  QString portLabel() { return apptest::captionedText(*window_, QStringLiteral("Serial port")); }
  unsigned ledColour() { return window_->findChild<app::RoundLed*>()->colour(); }

  bool waitForReady() {
    const bool ready = QTest::qWaitFor([this] { return engineState() == QStringLiteral("Ready"); },
                                       kReadTimeoutMs);
    if (!ready) qWarning() << "status:" << engineState() << engineDetail();
    return ready;
  }

  QToolButton* button(const QString& accessibleName) {
    for (auto* b : window_->findChildren<QToolButton*>()) {
      if (b->accessibleName() == accessibleName) return b;
    }
    return nullptr;
  }

  // Types the radio's device into the Device dialog, presses Find Radio and
  // waits for the search to end; the dialog's report.
  QString findRadioIn(app::PortDialog& dialog) {
    dialog.findChild<QLineEdit*>(QStringLiteral("devicePath"))
        ->setText(QString::fromStdString(radio_->devicePath()));
    dialog.findChild<QPushButton*>(QStringLiteral("findRadio"))->click();
    if (!QTest::qWaitFor([&] { return !dialog.searching(); }, 12000))
      return QStringLiteral("<running>");
    return dialog.findChild<QLabel*>(QStringLiteral("searchStatus"))->text();
  }

  // How often the first memory request of a read went out: one per read.
  int readsStarted() {
    std::optional<sim::Bytes> first;
    int n = 0;
    for (const sim::LogEntry& e : radio_->frameLog()) {
      if (e.direction != sim::LogDirection::In || e.bytes.size() < 6 || e.bytes[4] != 0x1A ||
          e.bytes[5] != 0x00) {
        continue;
      }
      if (!first) first = e.bytes;
      if (e.bytes == *first) ++n;
    }
    return n;
  }

  QAction* baudAction(int rate) {
    for (QAction* top : window_->menuBar()->actions()) {
      if (top->text().remove(QLatin1Char('&')) != QStringLiteral("Baudrate")) continue;
      for (QAction* a : top->menu()->actions()) {
        if (a->data().toInt() == rate) return a;
      }
    }
    return nullptr;
  }

  // A read that starts locks the rig table; it ends unlocked and Ready.
  bool waitForReadEnd() {
    return QTest::qWaitFor(
        [this] {
          return !window_->rigTable().inputLocked() && engineState() == QStringLiteral("Ready");
        },
        kReadTimeoutMs);
  }

  static QByteArray fileBytes(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  int framesWithCommand(std::uint8_t command) {
    int n = 0;
    for (const sim::LogEntry& e : radio_->frameLog()) {
      if (e.direction == sim::LogDirection::In && e.bytes.size() > 4 && e.bytes[4] == command) ++n;
    }
    return n;
  }

 private slots:
  void cleanup() {
    // Questions still queued are not for the closing: it hears No.
    prompts_.answers.clear();
    if (window_) window_->close();
    window_.reset();
    radio_.reset();
    prompts_.boxes.clear();
    prompts_.questions.clear();
    prompts_.savePath.reset();
    prompts_.openPath.reset();
  }

  void aFreshStartReadsTheBankThenStoresAnEditedRow() {
    startRadio("IC-756Pro");
    startWindow();
    QVERIFY(waitForReady());
    QCOMPARE(ledColour(), 0x00FF00u);
    QCOMPARE(portLabel(), QStringLiteral("COM2: 9600"));
    ChannelTable& rig = window_->rigTable();
    QCOMPARE(rig.dataRowCount(), 101);
    QCOMPARE(cell(rig, colNumber, 101), QStringLiteral("P2"));
    QVERIFY(!rig.inputLocked());
    QVERIFY(prompts_.boxes.isEmpty());

    // An edit through the view's model, keys typed at once after a click on
    // the current cell (all of them land), then "Store to Rig".
    auto& model = window_->rigView().channelModel();
    QVERIFY(model.setData(model.index(6, colName), QStringLiteral("NEWNAME")));
    QCOMPARE(cell(rig, colChanged, 7), QStringLiteral("1"));
    window_->show();
    QApplication::setActiveWindow(window_.get());
    app::ChannelTableView& view = window_->rigView();
    view.setFocus();
    view.setCurrentIndex(model.index(6, colFrequency));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                      view.visualRect(model.index(6, colFrequency)).center());
    for (const char c : std::string_view("7074k")) QTest::keyClick(QApplication::focusWidget(), c);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(cell(rig, colFrequency, 7), QStringLiteral("   7,074.00"));
    QToolButton* store = button(QStringLiteral("Store to Rig"));
    store->setFocus();
    store->click();
    QVERIFY(rig.inputLocked());
    // The focus leaves the button for the rig table, not the address field.
    QCOMPARE(QApplication::focusWidget(), &window_->rigView());
    QVERIFY(waitForReady());
    QCOMPARE(cell(rig, colChanged, 7), QStringLiteral("0"));
    QCOMPARE(QString::fromStdString(radio_->state().memory({0, 7}).name),
             QStringLiteral("NEWNAME   "));
    QCOMPARE(radio_->state().memory({0, 7}).rx.hz, 7074000);

    // A double click on a Frequency cell tunes: frequency, then mode.
    const int setFrequency = framesWithCommand(0x05);
    emit window_->rigView().frequencyDoubleClicked(7);
    QTRY_COMPARE(framesWithCommand(0x06), 1);
    QCOMPARE(framesWithCommand(0x05), setFrequency + 1);
    // The radio has heard the mode; the tune ends with its OK. A tune asked
    // for before that is not taken, so the next waits for it.
    QTRY_COMPARE(window_->engine().engineState(), smIdle);
    // Ctrl+T tunes to the rig table's current row the same way.
    window_->rigView().setFocus();
    window_->rigView().setCurrentIndex(model.index(7, colName));
    QTest::keyClick(window_.get(), Qt::Key_T, Qt::ControlModifier);
    QTRY_COMPARE(framesWithCommand(0x06), 2);
    QCOMPARE(framesWithCommand(0x05), setFrequency + 2);
  }

  void aRefusedRowStaysTicked() {
    sim::SimulatorOptions options;
    options.faults.ngWrite = {3};
    startRadio("IC-756Pro", options);
    startWindow();
    QVERIFY(waitForReady());
    window_->controller().markAllChanged();
    window_->controller().markNoneChanged();
    ChannelTable& rig = window_->rigTable();
    rig.setCell(colChanged, 3, "1");
    rig.setCell(colChanged, 4, "1");
    button(QStringLiteral("Store to Rig"))->click();
    QVERIFY(waitForReady());
    QCOMPARE(cell(rig, colChanged, 3), QStringLiteral("1"));
    QCOMPARE(cell(rig, colChanged, 4), QStringLiteral("0"));
    // One box names what was not stored.
    QTRY_COMPARE(prompts_.boxes.size(), 1);
    QVERIFY(prompts_.boxes.first().contains(QStringLiteral("Memory 3 refused by the radio")));
  }

  void anIc746ReadLearnsTheOffsetsTheDialogShows() {
    startRadio("IC-746");
    startWindow();
    window_->link().rigChosen(kModelIc746);
    QVERIFY(waitForReady());
    // The simulator's offsets are deliberately not the usual ones.
    QCOMPARE(window_->engine().offsets(), (DuplexOffsets{120000, 1000000, 700000}));
    QStringList shown;
    auto* dialog = window_->findChild<app::OffsetsDialog*>();
    QVERIFY(dialog);
    QTimer::singleShot(0, window_.get(), [&] {
      for (auto* edit : dialog->findChildren<QLineEdit*>()) shown << edit->text();
      dialog->reject();
    });
    window_->editOffsets();
    QCOMPARE(shown,
             (QStringList{QStringLiteral("120"), QStringLiteral("1000"), QStringLiteral("700")}));
  }

  void aSilentRadioEndsInOneTimeoutBoxAndIsNoticedWhenSwitchedOn() {
    sim::SimulatorOptions options;
    options.faults.silent = true;
    startRadio("IC-756Pro", options);
    startWindow();
    QTRY_COMPARE_WITH_TIMEOUT(engineState(), QStringLiteral("Timeout (15)"), 8000);
    QCOMPARE(engineDetail(), QStringLiteral("Check COM setup and rig"));
    QTRY_COMPARE(prompts_.boxes.size(), 1);
    QTest::qWait(1500);
    QCOMPARE(prompts_.boxes.size(), 1);
    QVERIFY2(prompts_.boxes.first().startsWith(
                 QStringLiteral("Error: Rig is not responding.\nCheck the model (IC-756Pro) and "
                                "CI-V address (5C) in use, the speed (9600 baud)")),
             qPrintable(prompts_.boxes.first()));
    QCOMPARE(ledColour(), 0x0000FFu);
    // The table is the user's again; storing waits for the radio and says so.
    QVERIFY(!window_->rigTable().inputLocked());
    QToolButton* store = button(QStringLiteral("Store to Rig"));
    QVERIFY(!store->isEnabled());
    QVERIFY(store->toolTip().contains(QStringLiteral("No radio link")));

    // Meanwhile the user edits; the radio is switched on. It is noticed by
    // itself, the question comes, and No keeps the edit for a store.
    auto& model = window_->rigView().channelModel();
    QVERIFY(model.setData(model.index(3, colName), QStringLiteral("KEPT")));
    const int memoryRequests = framesWithCommand(0x1A);
    prompts_.answers = {PromptAnswer::No};
    radio_->setSilent(false);
    QTRY_COMPARE_WITH_TIMEOUT(prompts_.questions.size(), 1, 8000);
    QCOMPARE(prompts_.questions.first(),
             QStringLiteral("Rig table has changed: 1 ticked row not yet stored. Save before "
                            "reading the radio again?"));
    QVERIFY(waitForReadEnd());
    QCOMPARE(ledColour(), 0x00FF00u);
    QVERIFY(store->isEnabled());
    QCOMPARE(framesWithCommand(0x1A), memoryRequests);
    QCOMPARE(cell(window_->rigTable(), colName, 4), QStringLiteral("KEPT"));
  }

  void theIc910ReadsTheChosenBand() {
    startRadio("IC-910");
    startWindow();
    window_->link().rigChosen(kModelIc910);
    auto* band = window_->findChild<QComboBox*>();
    QVERIFY(band);
    QVERIFY(waitForReady());
    QVERIFY(band->isEnabled());
    band->setCurrentIndex(1);
    emit band->activated(1);
    QVERIFY(window_->rigTable().inputLocked());
    // Every memory of the new read is asked for in band 2.
    const auto band2Requests = [this] {
      int n = 0;
      for (const sim::LogEntry& e : radio_->frameLog()) {
        n += e.direction == sim::LogDirection::In && e.bytes.size() > 7 && e.bytes[4] == 0x1A &&
             e.bytes[5] == 0x00 && e.bytes[6] == 0x02;
      }
      return n;
    };
    QTRY_COMPARE_WITH_TIMEOUT(band2Requests(), 106, kReadTimeoutMs);
    QVERIFY(waitForReady());
    QCOMPARE(window_->rigTable().dataRowCount(), 106);
    QCOMPARE(cell(window_->rigTable(), colNumber, 106), QStringLiteral("Call"));
  }

  // An IC-7300 memory keeps a repeater tone or a tone squelch. A second tone
  // is refused where it is picked; a row that holds two anyway is reported
  // by the store, never sent as if it read back the same.
  void aSecondToneOnAnIc7300IsRefusedAndNeverStoredAsTheSame() {
    startRadio("IC-7300");
    startWindow();
    window_->link().rigChosen(kModelIc7300);
    QVERIFY(waitForReady());
    QVERIFY(waitForReadEnd());
    ChannelTable& rig = window_->rigTable();
    QCOMPARE(cell(rig, colRepeaterTone, 10), QStringLiteral("88.5"));
    auto& model = window_->rigView().channelModel();
    model.setData(model.index(9, colToneSquelch), QStringLiteral("100.0"));
    QCOMPARE(cell(rig, colToneSquelch, 10), QString());
    QVERIFY2(window_->statusBar()->currentMessage().contains(
                 QStringLiteral("keeps a repeater tone or a tone squelch, not both")),
             qPrintable(window_->statusBar()->currentMessage()));

    // Both tones in the row all the same (an older table), and another row.
    rig.setCell(colToneSquelch, 10, "100.0");
    rig.setCell(colChanged, 10, "1");
    QVERIFY(model.setData(model.index(10, colName), QStringLiteral("6M SSB X")));
    button(QStringLiteral("Store to Rig"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(prompts_.boxes.size(), 1, kReadTimeoutMs);
    QVERIFY2(prompts_.boxes.first().contains(
                 QStringLiteral("Memory 10 not stored: Repeater Tone and Tone Squelch")),
             qPrintable(prompts_.boxes.first()));
    QVERIFY(!engineDetail().contains(QStringLiteral("read back the same")));
    const sim::Memory held = radio_->state().memory({0, 10});
    QVERIFY(held.rx.toneOn && !held.rx.toneSquelchOn);  // the radio still sends its 88.5
    QCOMPARE(QString::fromStdString(radio_->state().memory({0, 11}).name),
             QStringLiteral("6M SSB X  "));
  }

  void aPortThatCannotBeOpenedKeepsTheTableAndSaysWhy() {
    startRadio("IC-756Pro");
    startWindow();
    QVERIFY(waitForReady());
    const ChannelRecord row7 = window_->rigTable().record(7);
    window_->serial().setDeviceForPort(5, dir_.file("no-such-device"));
    window_->link().portChosen(5);
    QTRY_COMPARE(prompts_.boxes.size(), 1);
    QVERIFY(prompts_.boxes.first().startsWith(
        QStringLiteral("COM-Port not valid or in use.\n"
                       "Check hardware or select other COM-Port.\n")));
    QVERIFY2(prompts_.boxes.first().contains(QStringLiteral("no such device")),
             qPrintable(prompts_.boxes.first()));
    QCOMPARE(portLabel(), QStringLiteral("COM5: 9600"));
    QTest::qWait(1500);
    QCOMPARE(engineState(), QStringLiteral("No init"));
    QCOMPARE(window_->rigTable().record(7), row7);
    QCOMPARE(prompts_.boxes.size(), 1);
  }

  void findRadioSetsDeviceSpeedRigAndAddressWithOneRead() {
    // An IC-910 that only understands 19200 baud; the window's COM2 points
    // at a device that is not there.
    sim::SimulatorOptions options;
    options.baud = 19200;
    options.strictSpeed = true;
    startRadio("IC-910", options);
    startWindow(dir_.file("no-such-device"));
    QTRY_COMPARE(prompts_.boxes.size(), 1);  // not a first start: the port's box
    window_->chooseDevice();
    auto* dialog = window_->findChild<app::PortDialog*>();
    QVERIFY(dialog);
    const QString path = QString::fromStdString(radio_->devicePath());
    QCOMPARE(findRadioIn(*dialog), QStringLiteral("IC-910 (60h) at 19200 baud on ") + path);
    QCOMPARE(radio_->requestCount(), 1);  // the ID request at 19200
    dialog->accept();
    QVERIFY(waitForReady());
    QCOMPARE(portLabel(), QStringLiteral("COM2: 19200"));
    QCOMPARE(window_->link().modelIndex(), int(kModelIc910));
    QCOMPARE(window_->serial().DevicePath(), radio_->devicePath());
    for (auto* edit : window_->findChildren<QLineEdit*>()) {
      if (edit->accessibleName() == QStringLiteral("CI-V Adress")) {
        QCOMPARE(edit->text(), QStringLiteral("60"));
      }
    }
    QCOMPARE(readsStarted(), 1);
    QCOMPARE(prompts_.boxes.size(), 1);
  }

  void aFirstStartOffersTheDeviceDialogAndFindsAnOlderRadio() {
    // An IC-746 at 9600 that does not know the ID request: found by its
    // frequency at its catalogue address.
    sim::SimulatorOptions options;
    options.baud = 9600;
    options.strictSpeed = true;
    options.faults.noId = true;
    startRadio("IC-746", options);
    QSettings().clear();
    window_ = apptest::startWindow(dir_, prompts_);
    QTRY_VERIFY(window_->findChild<app::PortDialog*>() != nullptr);
    auto* dialog = window_->findChild<app::PortDialog*>();
    QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("findRadio"))->isVisible());
    QVERIFY(prompts_.boxes.isEmpty());  // no box about a port that is not there
    const QString path = QString::fromStdString(radio_->devicePath());
    QCOMPARE(findRadioIn(*dialog), QStringLiteral("IC-746 (56h) at 9600 baud on ") + path);
    // Closed without OK: nothing changes, and the device is free again.
    dialog->reject();
    QCoreApplication::processEvents();
    QCOMPARE(window_->link().baudRate(), 9600);
    QVERIFY(window_->link().modelIndex() != int(kModelIc746));
    QVERIFY(prompts_.boxes.isEmpty());
    // Without a radio the window still works: the file table takes an edit.
    auto& model = window_->fileView().channelModel();
    QVERIFY(model.setData(model.index(0, colName), QStringLiteral("LOCAL")));
  }

  // The number of the memory being read, 0 when no read runs.
  int memoryBeingRead() {
    const QString s = engineState();
    return s.startsWith(QStringLiteral("Reading #")) ? s.mid(9).toInt() : 0;
  }

  void aRadioLostMidReadIsWaitedForAndReadAgain() {
    sim::SimulatorOptions options;
    options.baud = 9600;
    options.linkPath = dir_.file("radio");  // a stable path, like /dev/serial/by-id
    startRadio("IC-756Pro", options);
    startWindow(options.linkPath);
    QTRY_VERIFY_WITH_TIMEOUT(memoryBeingRead() >= 20, kReadTimeoutMs);
    radio_->stop();  // unplugged: the device and its path go away

    QTRY_COMPARE_WITH_TIMEOUT(engineState(), QStringLiteral("Lost connection"), 5000);
    QCOMPARE(ledColour(), 0x0000FFu);
    QTRY_COMPARE(prompts_.boxes.size(), 1);
    QCOMPARE(prompts_.boxes.first(),
             QStringLiteral("Lost connection to COM2 (%1).").arg(app::toQt(options.linkPath)));
    ChannelTable& rig = window_->rigTable();
    QVERIFY(!rig.inputLocked());  // free for work without the radio
    // The read did not complete: the table is as before it, not half a bank.
    QVERIFY(IsNeverReadRow(rig, 7));
    const ChannelRecord row7 = rig.record(7);
    QVERIFY(IsNeverReadRow(rig, 90));
    // Waiting, nothing else happens: no time-out box, no read.
    QTest::qWait(2500);
    QCOMPARE(engineState(), QStringLiteral("Lost connection"));
    QCOMPARE(prompts_.boxes.size(), 1);
    QCOMPARE(rig.record(7), row7);

    // Plugged in again at the same path: reopened and read afresh.
    startRadio("IC-756Pro", options);
    QTRY_VERIFY_WITH_TIMEOUT(framesWithCommand(0x1A) > 0, 5000);
    QVERIFY(waitForReady());
    QCOMPARE(ledColour(), 0x00FF00u);
    QCOMPARE(portLabel(), QStringLiteral("COM2: 9600"));
    QVERIFY(!IsNeverReadRow(rig, 90));
    QCOMPARE(prompts_.boxes.size(), 1);
  }

  // A store and then a read cut off by the adapter pulled out.
  void aStoreOrReadCutShortSaysWhatIsLeftAndKeepsTheTable() {
    sim::SimulatorOptions options;
    options.baud = 9600;
    options.linkPath = dir_.file("radio");
    startRadio("IC-756Pro", options);
    startWindow(options.linkPath);
    QVERIFY(waitForReady());
    window_->controller().markAllChanged();
    button(QStringLiteral("Store to Rig"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(engineState().startsWith(QStringLiteral("Writing #9")),
                             kReadTimeoutMs);
    radio_->stop();
    QTRY_COMPARE(prompts_.boxes.size(), 1);
    const int ticked = window_->engine().markedRows();
    QVERIFY2(prompts_.boxes.first().endsWith(
                 QStringLiteral("\n%1 of 101 stored; %2 still ticked for the next Store to Rig.")
                     .arg(101 - ticked)
                     .arg(ticked)),
             qPrintable(prompts_.boxes.first()));

    // Back (No keeps it); a read lost half way gives back table, edit and undo.
    startRadio("IC-756Pro", options);
    QTRY_COMPARE_WITH_TIMEOUT(prompts_.questions.size(), 1, 5000);
    QVERIFY(waitForReadEnd());
    auto& model = window_->rigView().channelModel();
    QVERIFY(model.setData(model.index(6, colName), QStringLiteral("EDITED")));
    const ChannelRecord row7 = window_->rigTable().record(7);
    window_->link().readBank();
    QTRY_VERIFY_WITH_TIMEOUT(memoryBeingRead() >= 20, kReadTimeoutMs);
    radio_->stop();
    QTRY_COMPARE_WITH_TIMEOUT(engineState(), QStringLiteral("Lost connection"), 5000);
    QCOMPARE(window_->rigTable().record(7), row7);
    QCOMPARE(window_->engine().markedRows(), ticked + 1);
    QVERIFY(window_->history().canUndo());
  }

  void escapeStopsAReadAt9600() {
    sim::SimulatorOptions options;
    options.baud = 9600;
    startRadio("IC-756Pro", options);
    startWindow();
    window_->show();
    QApplication::setActiveWindow(window_.get());
    QTRY_VERIFY_WITH_TIMEOUT(memoryBeingRead() >= 10, kReadTimeoutMs);
    // Escape in a cell editor of the file table only closes the editor.
    app::ChannelTableView& file = window_->fileView();
    file.setFocus();
    static_cast<QAbstractItemView&>(file).edit(file.model()->index(0, colName));
    QTRY_VERIFY(QApplication::focusWidget() != &file);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTRY_COMPARE(QApplication::focusWidget(), &file);
    QTest::qWait(300);
    QVERIFY(memoryBeingRead() > 0);
    QTest::keyClick(window_.get(), Qt::Key_Escape);
    QTRY_COMPARE_WITH_TIMEOUT(engineState(), QStringLiteral("Stopped"), 3000);
    QVERIFY2(engineDetail().startsWith(QStringLiteral("Read ")) &&
                 engineDetail().endsWith(QStringLiteral(" of 101 memories")),
             qPrintable(engineDetail()));
    QVERIFY(!window_->rigTable().inputLocked());
    QVERIFY(button(QStringLiteral("Store to Rig"))->isEnabled());
    QVERIFY(!button(QStringLiteral("Stop"))->isEnabled());
    const int requests = framesWithCommand(0x1A);
    QVERIFY(requests < 60);
    QTest::qWait(1500);
    QCOMPARE(framesWithCommand(0x1A), requests);
    QVERIFY(prompts_.boxes.isEmpty());

    // Read again and stop with a click on Stop: the button goes off with the
    // focus, which goes to the rig table, not to the address field, where a
    // key typed next would replace the address.
    const std::string saved = dir_.file("bank.txt");
    prompts_.savePath = saved;
    QVERIFY(window_->files().saveAs(TableKind::Rig));
    QTest::keyClick(window_.get(), Qt::Key_F5);
    QTRY_VERIFY_WITH_TIMEOUT(memoryBeingRead() >= 3, kReadTimeoutMs);
    QToolButton* stop = button(QStringLiteral("Stop"));
    stop->setFocus();
    QTest::mouseClick(stop, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(engineState(), QStringLiteral("Stopped"), 3000);
    QCOMPARE(QApplication::focusWidget(), &window_->rigView());
    // The memories the stopped read did not reach are not saved over the file unasked.
    const QByteArray before = fileBytes(saved);
    QVERIFY(!window_->files().save(TableKind::Rig));
    QCOMPARE(prompts_.questions,
             QStringList{QStringLiteral("The read of the IC-756Pro was stopped: the memories it "
                                        "did not reach are empty in the table. Save it over "
                                        "bank.txt?")});
    QCOMPARE(fileBytes(saved), before);
  }

  void aSpeedPickAsksBeforeReadingOverEdits() {
    startRadio("IC-756Pro");
    startWindow();
    QVERIFY(waitForReady());
    ChannelTable& rig = window_->rigTable();
    auto& model = window_->rigView().channelModel();
    const QString radioName = cell(rig, colName, 7);
    const auto edit = [&] {
      QVERIFY(model.setData(model.index(6, colName), QStringLiteral("EDITED")));
    };
    const QString question = QStringLiteral(
        "Rig table has changed: 1 ticked row not yet stored. Save before reading the radio again?");
    // A table without edits is read again without a question.
    baudAction(9600)->trigger();
    QVERIFY(rig.inputLocked());
    QVERIFY(waitForReadEnd());
    QVERIFY(prompts_.questions.isEmpty());
    edit();
    const int memoryRequests = framesWithCommand(0x1A);

    // Abort on another speed: the edit, its undo and the old tick stay.
    prompts_.answers = {PromptAnswer::Abort};
    baudAction(19200)->trigger();
    QCOMPARE(prompts_.questions, QStringList{question});
    QVERIFY(baudAction(9600)->isChecked());
    QCOMPARE(window_->link().baudRate(), 9600);
    QCOMPARE(portLabel(), QStringLiteral("COM2: 9600"));
    QVERIFY(!rig.inputLocked());
    QTest::qWait(1500);
    QCOMPARE(framesWithCommand(0x1A), memoryRequests);
    QCOMPARE(cell(rig, colName, 7), QStringLiteral("EDITED"));
    QVERIFY(window_->history().canUndo());

    // Yes on the ticked speed: saved under the name given, then read.
    const std::string saved = dir_.file("before-read.txt");
    prompts_.savePath = saved;
    prompts_.answers = {PromptAnswer::Yes};
    baudAction(9600)->trigger();
    QVERIFY(rig.inputLocked());
    QVERIFY(waitForReadEnd());
    QVERIFY(fileBytes(saved).contains("EDITED"));
    QCOMPARE(cell(rig, colName, 7), radioName);

    // No reads at once: the user asked for the link anew.
    edit();
    prompts_.answers = {PromptAnswer::No};
    baudAction(9600)->trigger();
    QVERIFY(rig.inputLocked());
    QVERIFY(waitForReadEnd());
    QCOMPARE(cell(rig, colName, 7), radioName);
    QCOMPARE(prompts_.questions.size(), 3);

    // Radio, Read Bank asks the same: Abort keeps the edit, No reads.
    edit();
    QAction* readBank = nullptr;
    for (QAction* a : window_->findChildren<QAction*>()) {
      if (a->text() == QStringLiteral("&Read Bank")) readBank = a;
    }
    QVERIFY(readBank != nullptr);
    prompts_.answers = {PromptAnswer::Abort, PromptAnswer::No};
    readBank->trigger();
    QVERIFY(!rig.inputLocked());
    QCOMPARE(cell(rig, colName, 7), QStringLiteral("EDITED"));
    readBank->trigger();
    QVERIFY(!readBank->isEnabled());  // not twice at once
    QVERIFY(waitForReadEnd());
    QCOMPARE(cell(rig, colName, 7), radioName);
  }

  void aBankPreparedWithoutTheRadioIsStoredWhenItAppears() {
    // A bank saved from the radio earlier.
    startRadio("IC-756Pro");
    startWindow();
    QVERIFY(waitForReady());
    const std::string bank = dir_.file("bank.txt");
    prompts_.savePath = bank;
    QVERIFY(window_->files().saveAs(TableKind::Rig));
    window_->close();
    window_.reset();

    // At home: COM2's device is not there.
    startWindow(dir_.file("adapter-not-plugged-in"));
    QTRY_COMPARE(engineState(), QStringLiteral("No init"));
    ChannelTable& rig = window_->rigTable();
    QVERIFY(!rig.inputLocked());
    QToolButton* store = button(QStringLiteral("Store to Rig"));
    QVERIFY(!store->isEnabled());
    QVERIFY(store->toolTip().contains(QStringLiteral("No radio link")));
    prompts_.openPath = bank;
    QVERIFY(button(QStringLiteral("Open rig table"))->isEnabled());
    QVERIFY(window_->files().open(TableKind::Rig));
    auto& model = window_->rigView().channelModel();
    QVERIFY(model.setData(model.index(6, colName), QStringLiteral("HOME")));
    QTRY_VERIFY(window_->controller().canSort(rig));
    const std::string prepared = dir_.file("prepared.txt");
    prompts_.savePath = prepared;
    QVERIFY(window_->files().saveAs(TableKind::Rig));
    QVERIFY(fileBytes(prepared).contains("HOME"));
    // Saving cleared the marks: the user ticks what is to go to the radio.
    QCOMPARE(cell(rig, colChanged, 7), QStringLiteral("0"));
    window_->controller().toggleCheckBox(rig, colChanged, 7);
    prompts_.questions.clear();

    // The adapter is plugged in and the port comes back: No keeps the table.
    const int memoryRequests = framesWithCommand(0x1A);
    window_->serial().setDeviceForPort(2, radio_->devicePath());
    prompts_.answers = {PromptAnswer::No};
    QTRY_COMPARE_WITH_TIMEOUT(prompts_.questions.size(), 1, 5000);
    QVERIFY(waitForReadEnd());
    QCOMPARE(ledColour(), 0x00FF00u);
    QCOMPARE(framesWithCommand(0x1A), memoryRequests);
    QCOMPARE(cell(rig, colName, 7), QStringLiteral("HOME"));
    QCOMPARE(cell(rig, colChanged, 7), QStringLiteral("1"));
    QVERIFY(store->isEnabled());

    // Stored: the memory it overwrites is backed up first, and nothing else read.
    store->click();
    QTRY_COMPARE_WITH_TIMEOUT(cell(rig, colChanged, 7), QStringLiteral("0"), kReadTimeoutMs);
    QVERIFY(waitForReadEnd());
    QCOMPARE(QString::fromStdString(radio_->state().memory({0, 7}).name),
             QStringLiteral("HOME      "));
    QVERIFY(window_->engine().lastBackup().ok());
    // The backup read, the write and its read-back: three memory commands.
    QCOMPARE(framesWithCommand(0x1A), memoryRequests + 3);
    QCOMPARE(cell(rig, colName, 7), QStringLiteral("HOME"));
  }

  // Save of another radio's bank over a file, and Store with nothing marked.
  void aBankOfAnotherRadioIsNotSavedOverAFileInSilence() {
    startRadio("IC-7300");
    startWindow();
    window_->link().rigChosen(kModelIc7300);
    QVERIFY(waitForReadEnd());
    const std::string evening = dir_.file("ic7300-evening.txt");
    prompts_.savePath = evening;
    QVERIFY(window_->files().saveAs(TableKind::Rig));
    const QByteArray saved = fileBytes(evening);
    QVERIFY(window_->files().save(TableKind::Rig));  // unchanged: the same bytes
    QCOMPARE(fileBytes(evening), saved);
    button(QStringLiteral("Store to Rig"))->click();
    QTRY_COMPARE(engineState() + QLatin1Char(' ') + engineDetail(),
                 QStringLiteral("Nothing to store: no row is marked Changed. Mark All as Changed "
                                "stores the whole table."));

    // Edits saved: the marks go, and the box says they never reached the radio.
    auto& model = window_->rigView().channelModel();
    QVERIFY(model.setData(model.index(2, colName), QStringLiteral("A")));
    QVERIFY(window_->files().save(TableKind::Rig));
    QTRY_COMPARE(prompts_.boxes,
                 QStringList{QStringLiteral(
                     "Save Rig Table: Saved ic7300-evening.txt. 1 row marked Changed was not "
                     "stored to the radio; its mark is cleared.")});

    // The IC-746 found on the port: its bank is not written over the file.
    startRadio("IC-746");
    window_->serial().setDeviceForPort(2, radio_->devicePath());
    window_->link().radioFound(9600, kModelIc746);
    QVERIFY(waitForReadEnd());
    const QByteArray ic7300 = fileBytes(evening);
    QVERIFY(!window_->files().save(TableKind::Rig));
    QCOMPARE(prompts_.questions,
             QStringList{QStringLiteral("ic7300-evening.txt holds an IC-7300's memories. Save the "
                                        "IC-746's memories over it?")});
    QCOMPARE(fileBytes(evening), ic7300);
    prompts_.picks = {1};  // Yes
    QVERIFY(window_->files().save(TableKind::Rig));
    QVERIFY(fileBytes(evening).startsWith("# IC-746;"));

    // An IC-7300 file opened into the IC-746 table is fitted to it; its rows
    // as fitted are not saved back over the file without a question.
    const std::string other = dir_.file("other.txt");
    QFile out(QString::fromStdString(other));
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(ic7300) == ic7300.size());
    out.close();
    prompts_.openPath = other;
    prompts_.questions.clear();
    QVERIFY(window_->openTable(TableKind::Rig));
    QVERIFY(!window_->files().save(TableKind::Rig));
    QCOMPARE(prompts_.questions.size(), 1);
    QVERIFY2(prompts_.questions.first().contains(
                 QStringLiteral(" to fit the IC-746 when the file was opened. Save the table over "
                                "other.txt?")),
             qPrintable(prompts_.questions.first()));
    QCOMPARE(fileBytes(other), ic7300);
  }

  void closingAsksForEachChangedTable() {
    startRadio("IC-756Pro");
    startWindow();
    QVERIFY(waitForReady());
    window_->permanentTable().setModified(true);
    window_->rigTable().setModified(true);
    window_->show();
    // Abort on the first question keeps the window; the second is still asked.
    prompts_.answers = {PromptAnswer::Abort, PromptAnswer::No};
    QVERIFY(!window_->close());
    QCOMPARE(prompts_.questions,
             (QStringList{QStringLiteral("Permanent File has changed. Save before exiting?"),
                          QStringLiteral("Rig table has changed. Save before exiting?")}));
    // Yes saves the permanent file under the name the dialog gives.
    const std::string saved = dir_.file("mine.txt");
    prompts_.savePath = saved;
    prompts_.answers = {PromptAnswer::Yes, PromptAnswer::No};
    QVERIFY(window_->close());
    QVERIFY(QFile::exists(QString::fromStdString(saved)));
  }
};

int main(int argc, char** argv) {
  return apptest::runWindowTests<WindowEndToEnd>(argc, argv);
}

#include "window_e2e_test.moc"
