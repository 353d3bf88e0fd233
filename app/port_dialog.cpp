#include "app/port_dialog.h"

#include "app/accessibility.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/qt_text.h"
#include "serial/serial_devices.h"

namespace tarnwick::app {
namespace {

constexpr int kPathColumn = 1;

}  // namespace

PortDialog::PortDialog(int comNumber, const std::string& assigned, QWidget* parent,
                       std::string root)
    : QDialog(parent), root_(std::move(root)) {
  const QString com = QStringLiteral("COM%1").arg(comNumber);
  const QString ownDevice = pathToQt(defaultPortDevice(comNumber));
  setWindowTitle(QStringLiteral("Device for %1").arg(com));

  auto* layout = new QVBoxLayout(this);
  auto* listHeader = new QHBoxLayout;
  auto* listLabel = new QLabel(QStringLiteral("Serial &devices on this computer:"), this);
  auto* refreshButton = new QPushButton(QStringLiteral("&Refresh"), this);
  refreshButton->setAccessibleName(QStringLiteral("Refresh the device list"));
  refreshButton->setAutoDefault(false);
  listHeader->addWidget(listLabel, 1);
  listHeader->addWidget(refreshButton);
  layout->addLayout(listHeader);

  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("deviceList"));
  list_->setAccessibleName(QStringLiteral("Serial devices on this computer"));
  // What a device is comes first; its path, often long, is shortened in the
  // middle and shown whole in its tooltip and, once picked, in the field.
  list_->setHeaderLabels({QStringLiteral("Description"), QStringLiteral("Device")});
  list_->setRootIsDecorated(false);
  list_->setTextElideMode(Qt::ElideMiddle);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setAllColumnsShowFocus(true);
  list_->header()->setStretchLastSection(true);
  listLabel->setBuddy(list_);
  layout->addWidget(list_, 1);

  noDevices_ = new QLabel(QStringLiteral("No serial devices found."), this);
  layout->addWidget(noDevices_);

  auto* pathLabel = new QLabel(QStringLiteral("Device &path for %1:").arg(com), this);
  path_ = new QLineEdit(pathToQt(assigned), this);
  path_->setObjectName(QStringLiteral("devicePath"));
  path_->setAccessibleName(QStringLiteral("Device path for %1").arg(com));
  path_->setPlaceholderText(ownDevice);
  path_->setClearButtonEnabled(true);
  nameClearButton(path_, tr("Clear device path"));
  pathLabel->setBuddy(path_);
  layout->addWidget(pathLabel);
  layout->addWidget(path_);
  auto* hint = new QLabel(
      QStringLiteral("Any path will do: a pseudo-terminal such as /dev/pts/3, or a link.\n"
                     "Leave it empty and %1 opens %2.")
          .arg(com, ownDevice),
      this);
  hint->setObjectName(QStringLiteral("pathHint"));
  layout->addWidget(hint);
  path_->setAccessibleDescription(hint->text());

  searchStatus_ = new QLabel(this);
  searchStatus_->setObjectName(QStringLiteral("searchStatus"));
  searchStatus_->setWordWrap(true);
  searchStatus_->setVisible(false);
  layout->addWidget(searchStatus_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  findButton_ = buttons->addButton(QStringLiteral("&Find Radio"), QDialogButtonBox::ActionRole);
  findButton_->setObjectName(QStringLiteral("findRadio"));
  findButton_->setAutoDefault(false);
  findButton_->setVisible(false);
  layout->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(refreshButton, &QPushButton::clicked, this, &PortDialog::refresh);
  connect(findButton_, &QPushButton::clicked, this, &PortDialog::findRadio);
  connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (item) path_->setText(item->text(kPathColumn));
  });
  connect(list_, &QTreeWidget::itemActivated, this, [this] { accept(); });

  refresh();
  resize(qMax(sizeHint().width(), 640), qMax(sizeHint().height(), 360));
  path_->setFocus();
}

void PortDialog::refresh() {
  const QSignalBlocker quiet(list_);  // refilling must not overwrite the field
  list_->clear();
  for (const SerialDevice& device : listSerialDevices(root_)) {
    auto* item =
        new QTreeWidgetItem(list_, {pathToQt(deviceDescription(device)), pathToQt(device.path)});
    item->setToolTip(kPathColumn, item->text(kPathColumn));
  }
  list_->resizeColumnToContents(0);
  list_->setVisible(list_->topLevelItemCount() > 0);
  noDevices_->setVisible(list_->topLevelItemCount() == 0);
  selectMatchingRow();
}

void PortDialog::selectMatchingRow() {
  const QString path = path_->text().trimmed();
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    if (list_->topLevelItem(i)->text(kPathColumn) == path) {
      const QSignalBlocker quiet(list_);
      list_->setCurrentItem(list_->topLevelItem(i));
      return;
    }
  }
}

void PortDialog::enableRadioSearch(MainThread& mainThread, std::vector<int> speeds,
                                   std::function<bool()> releasePort) {
  speeds_ = std::move(speeds);
  releasePort_ = std::move(releasePort);
  finder_ = std::make_unique<RadioFinder>(mainThread);
  finder_->onProgress = [this](const std::string& text) { searchStatus_->setText(pathToQt(text)); };
  finder_->onFinished = [this] { searchEnded(); };
  findButton_->setVisible(true);
}

void PortDialog::findRadio() {
  if (!finder_) return;
  if (finder_->running()) {
    finder_->cancel();
    searchStatus_->setText(QStringLiteral("Search stopped."));
    findButton_->setText(QStringLiteral("&Find Radio"));
    return;
  }
  RadioSearch search{.devices = {}, .speeds = speeds_};
  if (const std::string typed = chosenPath(); !typed.empty()) {
    search.devices.push_back(typed);
  } else {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
      search.devices.push_back(pathFromQt(list_->topLevelItem(i)->text(kPathColumn)));
    }
  }
  searchStatus_->setVisible(true);
  if (search.devices.empty()) {
    searchStatus_->setText(QStringLiteral("No device to ask: type its path."));
    return;
  }
  if (releasePort_ && !releasePort_()) {
    searchStatus_->setText(
        QStringLiteral("The radio is being read or written: search when it has finished."));
    return;
  }
  found_.reset();
  findButton_->setText(QStringLiteral("&Stop"));
  finder_->start(std::move(search));
}

void PortDialog::searchEnded() {
  findButton_->setText(QStringLiteral("&Find Radio"));
  found_ = finder_->found();
  QStringList lines;
  for (const std::string& note : finder_->notes()) lines << pathToQt(note);
  if (found_) {
    lines.prepend(pathToQt(foundRadioText(*found_)));
    path_->setText(pathToQt(found_->device));
    selectMatchingRow();
  } else {
    lines.prepend(QStringLiteral("No radio answers."));
  }
  searchStatus_->setText(lines.join(QLatin1Char('\n')));
}

void PortDialog::done(int result) {
  // Closing the dialog ends a search, so that the device is free again.
  if (finder_) finder_->cancel();
  QDialog::done(result);
}

std::string PortDialog::chosenPath() const {
  return pathFromQt(path_->text().trimmed());
}

std::optional<std::string> PortDialog::choose(QWidget* parent, int comNumber,
                                              const std::string& assigned) {
  PortDialog dialog(comNumber, assigned, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosenPath();
}

}  // namespace tarnwick::app
