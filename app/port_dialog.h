#pragma once
// "Device...": which device a COM number opens. A list of the serial devices
// present and a field for any path (a pseudo-terminal of the simulator, a
// link); an empty field gives the COM number back its own device.
//
//   if (auto path = PortDialog::choose(this, portNumber, settings.portDevices[portNumber])) {
//     settings.portDevices[portNumber] = *path;   // empty: no assignment
//   }

#include <QDialog>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
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

 public slots:
  // Lists the devices present again (an adapter plugged in meanwhile).
  void refresh();

 private:
  void selectMatchingRow();

  std::string root_;
  QTreeWidget* list_;
  QLabel* noDevices_;
  QLineEdit* path_;
};

}  // namespace tarnwick::app
