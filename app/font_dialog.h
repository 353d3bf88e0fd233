#pragma once
// The tables' font: the platform's font chooser with the text colour beside
// it in the same dialog, starting from the current choice.

#include <QColor>
#include <QDialog>
#include <QFont>

class QFontDialog;
class QPushButton;

namespace tarnwick::app {

class FontChoiceDialog : public QDialog {
  Q_OBJECT

 public:
  FontChoiceDialog(const QFont& font, const QColor& colour, QWidget* parent = nullptr);

  QFont chosenFont() const;
  QColor chosenColour() const { return colour_; }

  // Shows the dialog; true with the new choice when the user pressed OK.
  static bool choose(QWidget* parent, QFont& font, QColor& colour);

 private:
  void showColour();

  QFontDialog* fonts_;
  QPushButton* colourButton_;
  QColor colour_;
};

}  // namespace tarnwick::app
