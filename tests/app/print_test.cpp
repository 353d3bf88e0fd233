// A bank read from the radio simulator, exported as a PDF and read back with
// pdftotext: one page holds every shown cell of its channels, and nothing of
// its empty memories or the Changed marks.

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <memory>

#include "app/main_window.h"
#include "app/table_actions.h"
#include "app/table_model.h"
#include "app/table_view.h"
#include "sim/memory_file.h"
#include "sim/radio_model.h"
#include "sim/simulator.h"
#include "tables/table_ops.h"
#include "tests/support/temp_folder.h"
#include "window_test_util.h"

using namespace tarnwick;

namespace {

QString simplified(const std::string& latin1) {
  return QString::fromLatin1(latin1.c_str()).simplified();
}

}  // namespace

class PrintTest : public QObject {
  Q_OBJECT

 private slots:
  void aReadBankPrintsEveryShownCellOfItsFirstPage() {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");

    testing::TempFolder dir;
    apptest::ScriptedPrompts prompts;
    const sim::RadioModel* m = sim::findRadioModel("IC-756Pro");
    QVERIFY(m != nullptr);
    sim::Simulator radio(*m, sim::parseMemoryFile(sim::defaultMemoryText(*m), *m));
    radio.start();
    apptest::freshSettingsWithCom2(radio.devicePath());
    auto window = apptest::startWindow(dir, prompts);
    QVERIFY(QTest::qWaitFor(
        [&] {
          return apptest::captionedText(*window, QStringLiteral("Engine state")) ==
                 QStringLiteral("Ready");
        },
        20000));

    // A ticked Changed box, and the rig table as the table in use.
    ChannelTable& rig = window->rigTable();
    auto& model = window->rigView().channelModel();
    QVERIFY(model.setData(model.index(1, colName), QStringLiteral("TICKED")));
    QCOMPARE(rig.cell(colChanged, 2), std::string("1"));
    emit window->rigView().activated(&window->rigView());
    const ColumnSet hidden = window->rigView().hiddenColumns();
    QVERIFY(!hidden.empty());

    const std::string pdf = dir.path() + "/bank.pdf";
    prompts.savePath = pdf;
    window->exportPdf();
    QVERIFY(prompts.boxes.isEmpty());

    QProcess run;
    run.start(pdftotext,
              {QStringLiteral("-layout"), QString::fromStdString(pdf), QStringLiteral("-")});
    QVERIFY(run.waitForFinished(30000));
    const QStringList pages = QString::fromUtf8(run.readAllStandardOutput()).split(QChar(0x0C));
    QVERIFY(pages.size() >= 2);
    const QStringList lines = pages[0].split(QLatin1Char('\n'));
    QVERIFY(lines[0].contains(QStringLiteral("IC-756Pro")));
    QVERIFY(pages[0].contains(QStringLiteral("Page 1 of ")));
    // The unit is named; the Changed mark is not for paper.
    QVERIFY(pages[0].contains(QStringLiteral("Frequency (kHz)")));
    QVERIFY(!pages[0].contains(QStringLiteral("Changed")));

    // The memories that hold a channel, in order: empty ones are left out.
    std::vector<int> channels;
    for (int r = 1; r < rig.rowCount(); ++r) {
      if (IsOccupied(rig, r)) channels.push_back(r);
    }
    // Each row's line starts with its label; the page ends where the next
    // page's first row begins.
    std::size_t next = 0;
    for (const QString& raw : lines) {
      const QString line = raw.simplified();
      if (next == channels.size()) break;
      const int row = channels[next];
      if (line.section(QLatin1Char(' '), 0, 0) != simplified(rig.cell(colNumber, row))) continue;
      for (int col = 1; col < kColumnCount; ++col) {
        const QString text = simplified(rig.cell(col, row));
        if (col == colSelect || col == colChanged || text.isEmpty()) continue;
        QVERIFY2(hidden.contains(col) || line.contains(text),
                 qPrintable(QStringLiteral("row %1: %2 not in \"%3\"").arg(row).arg(text, line)));
      }
      QCOMPARE(line.count(QChar(0x2713)), rig.cell(colSelect, row) == "1" ? 1 : 0);
      ++next;
    }
    // The bank's channels, about twenty, all fit the first page.
    QCOMPARE(next, channels.size());
    QVERIFY(channels.size() >= 15);
    QVERIFY(pages[0].contains(QStringLiteral("Page 1 of 1")));
    window->close();
  }
};

int main(int argc, char** argv) {
  return apptest::runWindowTests<PrintTest>(argc, argv);
}
#include "print_test.moc"
