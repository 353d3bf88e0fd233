// Commands of the main window that open a dialog of their own: the duplex
// offsets, the device of a COM number, and CHIRP CSV import and export.

#include <QAction>
#include <QActionGroup>
#include <QMessageBox>
#include <QPushButton>
#include <functional>

#include "app/main_window.h"
#include "app/offsets_dialog.h"
#include "app/port_dialog.h"
#include "app/qt_text.h"
#include "app/table_actions.h"
#include "app/table_model.h"
#include "app/table_view.h"
#include "chirp/chirp_transfer.h"

namespace tarnwick::app {
namespace {

// The window's side of the CHIRP commands: its file dialog, the question
// where an import into the rig table goes, and the radio it is for.
class WindowChirpUi final : public ChirpTransferUi {
 public:
  WindowChirpUi(MainWindow& window, std::function<ChirpPlacement(int)> askPlacement)
      : window_(window), askPlacement_(std::move(askPlacement)) {}

  std::optional<std::string> chooseList(const FileDialogSpec& dialog,
                                        const std::string& folder) override {
    return window_.chooseFile(dialog, folder, "");
  }
  ChirpPlacement askPlacement(int fromRow) override {
    return askPlacement_ ? askPlacement_(fromRow) : ChirpPlacement::Cancel;
  }
  ChirpRadio radio() override {
    return {window_.link().modelIndex(), window_.bandText(), window_.engine().offsets()};
  }

 private:
  MainWindow& window_;
  std::function<ChirpPlacement(int)> askPlacement_;
};

}  // namespace

void MainWindow::editOffsets() {
  const std::optional<DuplexOffsets> offsets = ofsForm_->edit(engine_->offsets());
  if (!offsets) return;
  engine_->setOffsets(*offsets);
  // Both tables' transmit frequencies follow, as one step to undo.
  controller_.recomputeDuplexTx(*offsets);
}

void MainWindow::storeEnded() {
  QStringList lines;
  for (const StoreProblem& p : engine_->storeProblems()) lines << toQt(p.text);
  if (lines.isEmpty()) return;
  lines << QString() << tr("These rows stay ticked; the next Store to Rig tries them again.");
  queueBox(tr("Store to Rig"), lines.join(QLatin1Char('\n')), BoxKind::Warning);
}

void MainWindow::chooseDevice() {
  const int n = link_->portNumber();
  const auto assigned = settings_.portDevices.find(n);
  const std::optional<std::string> path = PortDialog::choose(
      this, n, assigned != settings_.portDevices.end() ? assigned->second : std::string());
  if (!path) return;
  if (path->empty()) {
    settings_.portDevices.erase(n);
  } else {
    settings_.portDevices[n] = *path;
  }
  serial_->setPortDevices(settings_.portDevices);
  updateComCaptions();
  // The new device is opened at once, as choosing the port again would.
  link_->portChosen(n);
}

void MainWindow::importChirpCsv() {
  ChannelTableView& view = tableActions_->activeView();
  WindowChirpUi ui(*this, [this](int from) {
    QMessageBox ask(QMessageBox::Question, tr("Import CHIRP CSV"),
                    tr("Where do the channels go in the rig table?"), QMessageBox::Cancel, this);
    QAbstractButton* byLocation = ask.addButton(tr("At their &Locations"), QMessageBox::AcceptRole);
    QAbstractButton* fromRow =
        ask.addButton(tr("From memory &%1 on").arg(from), QMessageBox::AcceptRole);
    ask.setDefaultButton(static_cast<QPushButton*>(byLocation));
    if (questionHandler_) {
      // Tests answer: Yes for the Locations, No for the current memory.
      const PromptAnswer a = questionHandler_(ask.text());
      if (a == PromptAnswer::Abort) return ChirpPlacement::Cancel;
      return a == PromptAnswer::No ? ChirpPlacement::FromRow : ChirpPlacement::AtLocations;
    }
    ask.exec();
    if (ask.clickedButton() == byLocation) return ChirpPlacement::AtLocations;
    if (ask.clickedButton() == fromRow) return ChirpPlacement::FromRow;
    return ChirpPlacement::Cancel;
  });
  ChirpTransfer chirp(permanent_, rig_, *files_);
  chirp.setHistory(&history_);
  const std::optional<ChirpOutcome> outcome =
      chirp.importChosen(view.channelModel().table().kind(), view.currentTableRow(), ui);
  if (!outcome) return;
  if (!outcome->error.empty()) {
    showFailure(toQt(outcome->error));
    return;
  }
  if (outcome->firstRow > 0) {
    view.scrollTo(view.model()->index(outcome->firstRow - 1, colFrequency));
  }
  queueReportBox(tr("Import CHIRP CSV"), outcome->report,
                 outcome->warning ? BoxKind::Warning : BoxKind::Information);
}

void MainWindow::exportChirpCsv() {
  ChannelTableView& view = tableActions_->activeView();
  WindowChirpUi ui(*this, nullptr);
  ChirpTransfer chirp(permanent_, rig_, *files_);
  const std::optional<ChirpOutcome> outcome =
      chirp.exportChosen(view.channelModel().table().kind(),
                         view.hasClipboardSelection() ? view.selectedBlock() : CellBlock{}, ui);
  if (!outcome) return;
  if (!outcome->error.empty()) {
    showFailure(toQt(outcome->error));
    return;
  }
  queueReportBox(tr("Export CHIRP CSV"), outcome->report,
                 outcome->warning ? BoxKind::Warning : BoxKind::Information);
}

}  // namespace tarnwick::app
