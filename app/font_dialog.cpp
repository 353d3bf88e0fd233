#include "app/font_dialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick::app {

FontChoiceDialog::FontChoiceDialog(const QFont& font, const QColor& colour, QWidget* parent)
    : QDialog(parent), fonts_(new QFontDialog(font, this)), colour_(colour) {
  setWindowTitle(tr("Font"));
  // The stock chooser, embedded without its own buttons.
  fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
  fonts_->setWindowFlags(Qt::Widget);
  fonts_->setCurrentFont(font);
  // Embedded, it is a part of this dialog, not a nameless dialog of its own.
  fonts_->setAccessibleName(tr("Font"));

  auto* colourLabel = new QLabel(tr("&Colour:"), this);
  colourButton_ = new QPushButton(this);
  colourLabel->setBuddy(colourButton_);
  connect(colourButton_, &QPushButton::clicked, this, [this] {
    const QColor c = QColorDialog::getColor(colour_, this, tr("Font Colour"));
    if (c.isValid()) {
      colour_ = c;
      showColour();
    }
  });
  showColour();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* colourRow = new QHBoxLayout;
  colourRow->addWidget(colourLabel);
  colourRow->addWidget(colourButton_);
  colourRow->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fonts_);
  layout->addLayout(colourRow);
  layout->addWidget(buttons);
}

QFont FontChoiceDialog::chosenFont() const {
  return fonts_->currentFont();
}

void FontChoiceDialog::showColour() {
  QPixmap swatch(24, 14);
  swatch.fill(colour_);
  colourButton_->setIcon(QIcon(swatch));
  colourButton_->setText(colour_.name(QColor::HexRgb));
  // A name of its own would hide the colour from a screen reader.
  colourButton_->setAccessibleName(tr("Font colour %1").arg(colourButton_->text()));
}

bool FontChoiceDialog::choose(QWidget* parent, QFont& font, QColor& colour) {
  FontChoiceDialog dialog(font, colour, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  font = dialog.chosenFont();
  colour = dialog.chosenColour();
  return true;
}

}  // namespace tarnwick::app
