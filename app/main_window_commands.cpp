// Commands of the main window that open a dialog of their own: the duplex
// offsets, the device of a COM number, and CHIRP CSV import and export.

#include <QAction>
#include <QActionGroup>
#include <QStatusBar>
#include <functional>
#include <memory>
#include <vector>

#include "app/main_window.h"
#include "app/offsets_dialog.h"
#include "app/port_dialog.h"
#include "app/qt_main_thread.h"
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
  WindowChirpUi(MainWindow& window, std::function<ChirpRadio()> radio,
                std::function<ChirpPlacement(int)> askPlacement)
      : window_(window), radio_(std::move(radio)), askPlacement_(std::move(askPlacement)) {}

  std::optional<std::string> chooseList(const FileDialogSpec& dialog,
                                        const std::string& folder) override {
    return window_.chooseFile(dialog, folder, "");
  }
  ChirpPlacement askPlacement(int fromRow) override {
    return askPlacement_ ? askPlacement_(fromRow) : ChirpPlacement::Cancel;
  }
  ChirpRadio radio() override { return radio_(); }

 private:
  MainWindow& window_;
  std::function<ChirpRadio()> radio_;
  std::function<ChirpPlacement(int)> askPlacement_;
};

}  // namespace

void MainWindow::editOffsets() {
  const std::optional<DuplexOffsets> offsets = offsetsDialog_->edit(engine_->offsets());
  if (!offsets) return;
  engine_->setOffsets(*offsets);
  // Both tables' transmit frequencies follow, as one step to undo.
  controller_.recomputeDuplexTx(*offsets);
}

void MainWindow::storeEnded() {
  if (hiddenMarkedAtStore_ > 0) {
    statusBar()->showMessage(
        tr("%n marked row(s) hidden by the filter were stored too.", "", hiddenMarkedAtStore_));
    hiddenMarkedAtStore_ = 0;
  }
  QStringList lines;
  for (const StoreProblem& p : engine_->storeProblems()) lines << toQt(p.text);
  if (lines.isEmpty()) return;
  lines << QString() << tr("These rows stay ticked; the next Store to Rig tries them again.");
  // With a box open the status bar's summary is not shown: the cut names go here.
  if (!engine_->cutNames().empty()) lines << QString();
  for (const CutName& c : engine_->cutNames()) {
    lines << tr("Memory %1 was stored with its name cut to \"%2\".")
                 .arg(c.row)
                 .arg(toQt(c.kept));
  }
  queueBox(tr("Store to Rig"), lines.join(QLatin1Char('\n')), BoxKind::Warning);
}

void MainWindow::chooseDevice() {
  if (findChild<PortDialog*>() != nullptr) return;  // already open
  const int n = link_->portNumber();
  const auto assigned = settings_.portDevices.find(n);
  auto* dialog = new PortDialog(
      n, assigned != settings_.portDevices.end() ? assigned->second : std::string(), this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  std::vector<int> speeds;  // fastest first
  for (const MenuEntry& e : baudMenuEntries()) speeds.insert(speeds.begin(), e.value);
  auto released = std::make_shared<bool>(false);
  dialog->enableRadioSearch(*mainThread_, speeds, [this, released] {
    *released = *released || link_->releasePort();
    return *released;
  });
  // Opened without a loop of its own: the window goes on working, and a
  // first start can offer it without waiting for it.
  connect(dialog, &QDialog::finished, this, [this, dialog, n, released](int result) {
    guarded([&] {
      if (result != QDialog::Accepted) {
        if (*released) link_->takePortBack();
        return;
      }
      const std::string path = dialog->chosenPath();
      if (path.empty()) {
        settings_.portDevices.erase(n);
      } else {
        settings_.portDevices[n] = path;
      }
      serial_->setPortDevices(settings_.portDevices);
      updateComCaptions();
      const std::optional<FoundRadio>& found = dialog->foundRadio();
      if (found && found->device == path) {
        link_->radioFound(found->baudRate, found->modelIndex);
        tick(baudGroup_, found->baudRate);
      } else {
        // The new device is opened at once, as choosing the port again would.
        link_->portChosen(n);
      }
    });
  });
  dialog->open();
}

ChirpRadio MainWindow::chirpRadio() const {
  return {link_->modelIndex(), bandText(), engine_->offsets()};
}

void MainWindow::importChirpCsv() {
  ChannelTableView& view = tableActions_->activeView();
  WindowChirpUi ui(
      *this, [this] { return chirpRadio(); },
      [this](int from) {
        // The rig table takes each channel at the memory its Location names, or
        // the whole list from the current memory on.
        const std::optional<int> choice = prompts_->choose(
            tr("Import CHIRP CSV"), tr("Where do the channels go in the rig table?"),
            {tr("At their &Locations"), tr("From memory &%1 on").arg(from)});
        if (!choice) return ChirpPlacement::Cancel;
        return *choice == 1 ? ChirpPlacement::FromRow : ChirpPlacement::AtLocations;
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
  WindowChirpUi ui(
      *this, [this] { return chirpRadio(); }, nullptr);
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
