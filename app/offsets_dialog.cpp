#include "app/offsets_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "app/qt_text.h"
#include "shell/offsets_input.h"

namespace tarnwick::app {
namespace {

QLineEdit* offsetEdit(QWidget* parent, const char* objectName, const QString& label) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QLatin1String(objectName));
  edit->setAccessibleName(label);
  edit->setAccessibleDescription(QStringLiteral("kHz"));
  edit->setAlignment(Qt::AlignRight);
  edit->setMaxLength(12);
  return edit;
}

}  // namespace

OffsetsDialog::OffsetsDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("offsetsDialog"));
  setWindowTitle(QStringLiteral("746(Pro) Duplex Offsets"));

  auto* grid = new QGridLayout(this);
  const struct {
    QLineEdit** edit;
    const char* name;
    QString label;
  } rows[] = {{&hfOffsetEdit_, "hfOffset", QStringLiteral("HF Duplex Offset")},
              {&offset50Edit_, "offset50", QStringLiteral("50MHz Duplex Offset")},
              {&offset144Edit_, "offset144", QStringLiteral("144MHz Duplex Offset")}};
  int row = 0;
  for (const auto& r : rows) {
    *r.edit = offsetEdit(this, r.name, r.label);
    auto* label = new QLabel(r.label, this);
    label->setBuddy(*r.edit);
    grid->addWidget(label, row, 0);
    grid->addWidget(*r.edit, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("kHz"), this), row, 2);
    ++row;
  }
  auto* note = new QLabel(QStringLiteral("Enter values in full kHz only, no decimals."), this);
  grid->addWidget(note, row++, 0, 1, 3);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
  QPushButton* abort = buttons->addButton(QDialogButtonBox::Abort);
  ok->setObjectName(QStringLiteral("okButton"));
  abort->setObjectName(QStringLiteral("abortButton"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &OffsetsDialog::accept);
  connect(abort, &QPushButton::clicked, this, &OffsetsDialog::reject);
  grid->addWidget(buttons, row, 0, 1, 3);
  grid->setSizeConstraint(QLayout::SetFixedSize);
}

void OffsetsDialog::setOffsets(const DuplexOffsets& offsets) {
  const OffsetTexts texts = offsetTexts(offsets);
  hfOffsetEdit_->setText(toQt(texts[0]));
  offset50Edit_->setText(toQt(texts[1]));
  offset144Edit_->setText(toQt(texts[2]));
  accepted_.reset();
}

std::optional<DuplexOffsets> OffsetsDialog::edit(const DuplexOffsets& current) {
  setOffsets(current);
  hfOffsetEdit_->setFocus();
  hfOffsetEdit_->selectAll();
  if (exec() != QDialog::Accepted) return std::nullopt;
  return accepted_;
}

void OffsetsDialog::accept() {
  QLineEdit* edits[] = {hfOffsetEdit_, offset50Edit_, offset144Edit_};
  // A character outside Latin-1 is no digit either: it shows as "?" in the message.
  const OffsetsInput input = parseOffsetTexts({hfOffsetEdit_->text().toLatin1().toStdString(),
                                               offset50Edit_->text().toLatin1().toStdString(),
                                               offset144Edit_->text().toLatin1().toStdString()});
  if (!input.offsets) {
    QMessageBox::critical(this, QStringLiteral("Tarnwick"), toQt(input.error));
    QLineEdit* bad = edits[input.badField];
    bad->setFocus();
    bad->selectAll();
    return;
  }
  accepted_ = input.offsets;
  QDialog::accept();
}

}  // namespace tarnwick::app
