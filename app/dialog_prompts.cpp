#include "app/dialog_prompts.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

#include "app/qt_text.h"
#include "shell/window_title.h"

namespace tarnwick::app {
namespace {

// "txt|*.txt|csv|*.csv" as Qt writes filters: "txt (*.txt);;csv (*.csv)".
QString qtFilter(std::string_view filter) {
  const QStringList parts = toQt(filter).split(QLatin1Char('|'));
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    out << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
  }
  return out.join(QStringLiteral(";;"));
}

}  // namespace

void DialogPrompts::showBox(BoxKind kind, const QString& caption, const QString& text) {
  const QString title = caption.isEmpty() ? toQt(kProgramTitle) : caption;
  if (kind == BoxKind::Error) {
    QMessageBox::critical(&window_, title, text);
  } else if (kind == BoxKind::Warning) {
    QMessageBox::warning(&window_, title, text);
  } else {
    QMessageBox::information(&window_, title, text);
  }
}

// A report of many lines scrolls inside a box that fits the screen, so that
// OK and Save Report... stay in reach however long the report is.
void DialogPrompts::showReport(BoxKind kind, const QString& caption, const QString& text,
                               const QString& fullReport) {
  const QString title = caption.isEmpty() ? toQt(kProgramTitle) : caption;
  QDialog box(&window_);
  box.setWindowTitle(title);
  auto* icon = new QLabel(&box);
  const int iconSize = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
  icon->setPixmap(box.style()
                      ->standardIcon(kind == BoxKind::Warning ? QStyle::SP_MessageBoxWarning
                                                              : QStyle::SP_MessageBoxInformation,
                                     nullptr, &box)
                      .pixmap(iconSize, iconSize));
  icon->setAlignment(Qt::AlignTop);
  auto* lines = new QPlainTextEdit(&box);
  lines->setReadOnly(true);
  lines->setLineWrapMode(QPlainTextEdit::NoWrap);
  lines->setPlainText(text);
  lines->setAccessibleName(title);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
  QPushButton* save =
      buttons->addButton(QObject::tr("Save Report..."), QDialogButtonBox::ActionRole);
  QAbstractButton* clicked = nullptr;
  QObject::connect(buttons, &QDialogButtonBox::clicked, &box, [&](QAbstractButton* b) {
    clicked = b;
    box.accept();
  });
  auto* layout = new QGridLayout(&box);
  layout->addWidget(icon, 0, 0);
  layout->addWidget(lines, 0, 1);
  layout->addWidget(buttons, 1, 0, 1, 2);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  buttons->button(QDialogButtonBox::Ok)->setFocus();

  // As large as the text wants, within the screen the window is on.
  const QScreen* screen =
      window_.screen() != nullptr ? window_.screen() : QGuiApplication::primaryScreen();
  // The window manager's frame as it frames the window, or a guess before
  // the window is shown.
  const QSize decoration =
      window_.isVisible() ? window_.frameGeometry().size() - window_.size() : QSize(16, 48);
  const QSize room =
      (screen != nullptr ? screen->availableGeometry().size() : QSize(800, 600)) - decoration;
  const QFontMetrics fm(lines->font());
  const QStringList split = text.split(QLatin1Char('\n'));
  int widest = 0;
  for (const QString& line : split) widest = std::max(widest, fm.horizontalAdvance(line));
  const int frame = 2 * lines->frameWidth() +
                    2 * static_cast<int>(lines->document()->documentMargin()) +
                    lines->verticalScrollBar()->sizeHint().width();
  const QSize textSize(widest + frame, fm.lineSpacing() * static_cast<int>(split.size()) + frame);
  lines->setMinimumSize(std::min(textSize.width(), room.width() / 2), fm.lineSpacing() * 4 + frame);
  box.setMaximumSize(room);
  const QSize around = box.sizeHint() - lines->sizeHint();
  // Long lines scroll sideways in a box of three quarters of the screen.
  const QSize wanted = (textSize + around).boundedTo(QSize(room.width() * 3 / 4, room.height()));
  box.resize(wanted.expandedTo(box.minimumSizeHint()).boundedTo(room));
  box.exec();
  if (clicked != save) return;
  const QString path = QFileDialog::getSaveFileName(&window_, QObject::tr("Save Report"), QString(),
                                                    QObject::tr("Text (*.txt);;All (*)"));
  if (path.isEmpty()) return;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(fullReport.toUtf8()) < 0 || !file.commit()) {
    QMessageBox::critical(&window_, title,
                          QObject::tr("Cannot Create file %1\n%2").arg(path, file.errorString()));
  }
}

PromptAnswer DialogPrompts::askYesNoAbort(const QString& text) {
  const auto answer = QMessageBox::warning(&window_, toQt(kProgramTitle), text,
                                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Abort,
                                           QMessageBox::Yes);
  if (answer == QMessageBox::Yes) return PromptAnswer::Yes;
  if (answer == QMessageBox::No) return PromptAnswer::No;
  return PromptAnswer::Abort;
}

std::optional<int> DialogPrompts::choose(const QString& caption, const QString& text,
                                         const QStringList& choices) {
  QMessageBox ask(QMessageBox::Question, caption, text, QMessageBox::Cancel, &window_);
  QList<QAbstractButton*> buttons;
  for (const QString& choice : choices) buttons << ask.addButton(choice, QMessageBox::AcceptRole);
  if (!buttons.isEmpty()) ask.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
  ask.exec();
  const qsizetype picked = buttons.indexOf(ask.clickedButton());
  if (picked < 0) return std::nullopt;
  return static_cast<int>(picked);
}

namespace {

void setUpFileDialog(QFileDialog& fd, const FileDialogSpec& dialog, const std::string& fileName) {
  fd.setNameFilter(qtFilter(dialog.filter));
  fd.setDefaultSuffix(toQt(dialog.defaultExtension));
  fd.setAcceptMode(dialog.kind == FileDialogKind::Save ? QFileDialog::AcceptSave
                                                       : QFileDialog::AcceptOpen);
  fd.setFileMode(dialog.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  fd.setOption(QFileDialog::DontConfirmOverwrite, !dialog.promptOverwrite);
  fd.setOption(QFileDialog::ReadOnly, false);
  fd.selectFile(pathToQt(fileName));
}

}  // namespace

std::optional<std::string> DialogPrompts::chooseFile(const FileDialogSpec& dialog,
                                                     const std::string& folder,
                                                     const std::string& fileName) {
  QFileDialog fd(&window_, toQt(dialog.title), pathToQt(folder));
  setUpFileDialog(fd, dialog, fileName);
  if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) return std::nullopt;
  return pathFromQt(fd.selectedFiles().first());
}

std::optional<std::string> DialogPrompts::chooseFileWithOption(const FileDialogSpec& dialog,
                                                               const std::string& folder,
                                                               const std::string& fileName,
                                                               const QString& option,
                                                               bool& checked) {
  QFileDialog fd(&window_, toQt(dialog.title), pathToQt(folder));
  // Qt's own dialog: a desktop's native one takes no widget of ours.
  fd.setOption(QFileDialog::DontUseNativeDialog, true);
  setUpFileDialog(fd, dialog, fileName);
  auto* box = new QCheckBox(option, &fd);
  box->setChecked(checked);
  if (auto* grid = qobject_cast<QGridLayout*>(fd.layout())) {
    grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
  }
  if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) return std::nullopt;
  checked = box->isChecked();
  return pathFromQt(fd.selectedFiles().first());
}

}  // namespace tarnwick::app
