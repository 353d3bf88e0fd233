#pragma once
// What a screen reader and a keyboard user need beyond Qt's defaults.

#include <QList>
#include <QString>

class QLabel;
class QLineEdit;
class QMessageBox;
class QWidget;

namespace tarnwick::app {

// A label that shows a value with no caption beside it (the engine's state,
// the serial port): a screen reader reads it as "caption: value". Qt
// announces each new text of a label that has no accessible name of its own
// as a change of that name: give such a label none.
void setAccessibleCaption(QLabel* label, const QString& caption);

// A caption for a control that shows none. On Linux a screen reader names a
// combo box by its current item and takes its caption from a label whose
// buddy it is, not from its accessible name: this adds such a label, hidden.
void addHiddenCaption(QWidget* control, const QString& caption);

// Tab visits the areas in the order given. An area that takes Tab itself is
// one stop; otherwise its own controls that take Tab are, in the order they
// were made.
void chainTabOrder(const QList<QWidget*>& areas);

// Names the clear button of a line edit (Qt gives it none, so a screen
// reader reads a bare "button").
void nameClearButton(QLineEdit* edit, const QString& name);

// Gives each button of the box that has none an access letter of its own:
// "&Yes", "&No", "&Abort", "&Save Report...".
void giveAccessLetters(QMessageBox& box);

// For the whole program, once: every message box gets its access letters as
// it is shown, and every window names, as it is shown, the controls Qt
// leaves nameless (a field after its label, a combo box's list after the
// combo box), whoever made them.
void installAccessHelpers();

}  // namespace tarnwick::app
