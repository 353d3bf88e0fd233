#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "accessible_names.h"
#include "app/port_dialog.h"
#include "tests/support/temp_folder.h"

using namespace tarnwick;
using app::PortDialog;
namespace fs = std::filesystem;

class PortDialogTest : public QObject {
  Q_OBJECT

  // A machine with an FTDI cable (by-id name and ttyUSB0) and one built-in port.
  void plugInCable() {
    write("dev/ttyUSB0", "");
    const std::string usb = "sys/devices/pci0000:00/usb1/1-1";
    write(usb + "/idVendor", "0403\n");
    write(usb + "/manufacturer", "FTDI\n");
    write(usb + "/product", "FT232R USB UART\n");
    fs::create_directories(root_.file(usb + "/1-1:1.0/ttyUSB0"));
    link("../../../devices/pci0000:00/usb1/1-1/1-1:1.0/ttyUSB0", "sys/class/tty/ttyUSB0/device");
    link("../../ttyUSB0", "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5-if00-port0");
  }
  void write(const std::string& rel, const std::string& text) {
    fs::create_directories(fs::path(root_.file(rel)).parent_path());
    std::ofstream(root_.file(rel)) << text;
  }
  void link(const std::string& target, const std::string& rel) {
    fs::create_directories(fs::path(root_.file(rel)).parent_path());
    fs::create_symlink(target, root_.file(rel));
  }
  QString path(const std::string& rel) const { return QString::fromStdString(root_.file(rel)); }

  static QTreeWidget* list(PortDialog& d) { return d.findChild<QTreeWidget*>("deviceList"); }
  static QLineEdit* field(PortDialog& d) { return d.findChild<QLineEdit*>("devicePath"); }

  testing::TempFolder root_;

 private slots:
  void init() {
    fs::remove_all(root_.file("dev"));
    fs::remove_all(root_.file("sys"));
    write("dev/ttyS0", "");
    write("sys/class/tty/ttyS0/type", "4\n");
  }

  void listsTheDevicesWithWhatTheyAre() {
    plugInCable();
    PortDialog dialog(2, "", nullptr, root_.path());
    QCOMPARE(dialog.windowTitle(), QString("Device for COM2"));
    QTreeWidget* devices = list(dialog);
    QCOMPARE(devices->topLevelItemCount(), 3);
    // What it is, then where.
    QCOMPARE(devices->topLevelItem(0)->text(0), QString("FTDI FT232R USB UART"));
    QCOMPARE(devices->topLevelItem(0)->text(1),
             path("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5-if00-port0"));
    QCOMPARE(devices->topLevelItem(1)->text(1), path("dev/ttyUSB0"));
    QCOMPARE(devices->topLevelItem(2)->text(0), QString("built-in serial port"));
    // No assignment: the field is empty and says what COM2 opens then.
    QCOMPARE(field(dialog)->text(), QString());
    QCOMPARE(field(dialog)->placeholderText(), QString("/dev/ttyS1"));
    dialog.show();
    QCOMPARE(testing::unnamedControls(dialog), QStringList());
  }

  void pickingADeviceFillsTheFieldAndOkReturnsIt() {
    plugInCable();
    PortDialog dialog(3, "/dev/pts/4", nullptr, root_.path());
    QCOMPARE(field(dialog)->text(), QString("/dev/pts/4"));
    QVERIFY(!list(dialog)->currentItem());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTreeWidget* devices = list(dialog);
    QTest::mouseClick(devices->viewport(), Qt::LeftButton, {},
                      devices->visualItemRect(devices->topLevelItem(0)).center());
    QCOMPARE(field(dialog)->text(),
             path("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5-if00-port0"));
    QTest::keyClick(devices, Qt::Key_Return);  // activating a row is OK
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenPath(),
             root_.file("dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A5-if00-port0"));
  }

  void aTypedPathOrNoneAtAll() {
    PortDialog dialog(2, "/dev/ttyUSB0", nullptr, root_.path());
    field(dialog)->setText("  /tmp/civsim-x/radio  ");
    QCOMPARE(dialog.chosenPath(), std::string("/tmp/civsim-x/radio"));
    field(dialog)->clear();
    QCOMPARE(dialog.chosenPath(), std::string());  // COM2 back to its own device
  }

  void theAssignedDeviceIsSelectedAndRefreshKeepsTheField() {
    PortDialog dialog(1, root_.file("dev/ttyS0"), nullptr, root_.path());
    QVERIFY(list(dialog)->currentItem());
    QCOMPARE(list(dialog)->currentItem()->text(1), path("dev/ttyS0"));
    // The cable is plugged in while the dialog is open.
    field(dialog)->setText("/dev/pts/9");
    plugInCable();
    dialog.refresh();
    QCOMPARE(list(dialog)->topLevelItemCount(), 3);
    QCOMPARE(field(dialog)->text(), QString("/dev/pts/9"));
  }

  void noDevicesIsSaidInWords() {
    fs::remove_all(root_.file("dev"));
    PortDialog dialog(2, "", nullptr, root_.path());
    dialog.show();
    QVERIFY(list(dialog)->isHidden());
    bool said = false;
    for (QLabel* l : dialog.findChildren<QLabel*>()) {
      said = said || (l->isVisible() && l->text() == "No serial devices found.");
    }
    QVERIFY(said);
    QCOMPARE(testing::unnamedControls(dialog), QStringList());
  }
};

QTEST_MAIN(PortDialogTest)
#include "port_dialog_test.moc"
