#pragma once
// "Device...": which device a COM number opens. A list of the serial devices
// present and a field for any path (a pseudo-terminal of the simulator, a
// link); an empty field gives the COM number back its own device.
//
//   if (auto path = PortDialog::choose(this, portNumber, settings.portDevices[portNumber])) {
//     settings.portDevices[portNumber] = *path;   // empty: no assignment
//   }

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "civ/radio_finder.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tarnwick::app {

class PortDialog : public QDialog {
  Q_OBJECT

 public:
  // `assigned` is the device assigned to the COM number now (empty: none);
  // `root` stands for "/" when the devices are looked up (tests give a fake tree).
  PortDialog(int comNumber, const std::string& assigned, QWidget* parent = nullptr,
             std::string root = "/");

  // The path in the field, blanks trimmed; empty for none.
  std::string chosenPath() const;

  // Runs the dialog; the chosen path after OK, nothing after Cancel.
  static std::optional<std::string> choose(QWidget* parent, int comNumber,
                                           const std::string& assigned);

  // Offers "Find Radio": the device in the field, or each one listed when
  // the field is empty, asked at `speeds` in turn. `releasePort` closes the
  // window's port first and says false when it cannot be spared now.
  void enableRadioSearch(MainThread& mainThread, std::vector<int> speeds,
                         std::function<bool()> releasePort);
  // What the last search found; the field then holds its device.
  const std::optional<FoundRadio>& foundRadio() const { return found_; }
  bool searching() const { return finder_ && finder_->running(); }

 public slots:
  // Lists the devices present again (an adapter plugged in meanwhile).
  void refresh();
  // Starts a search, or stops the running one.
  void findRadio();

 private:
  void selectMatchingRow();
  void searchEnded();
  void done(int result) override;

  std::string root_;
  QTreeWidget* list_;
  QLabel* noDevices_;
  QLineEdit* path_;
  QPushButton* findButton_;
  QLabel* searchStatus_;
  std::unique_ptr<RadioFinder> finder_;
  std::vector<int> speeds_;
  std::function<bool()> releasePort_;
  std::optional<FoundRadio> found_;
};

}  // namespace tarnwick::app
