#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "accessible_names.h"
#include "app/accessibility.h"
#include "app/offsets_dialog.h"

using namespace tarnwick;
using app::OffsetsDialog;

namespace {

// Runs `act` on the first modal box or dialog that opens, from inside its
// own event loop.
void whenModalOpens(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(modal);
    }
  });
  timer->start();
}

QLineEdit* edit(OffsetsDialog& form, const char* name) {
  return form.findChild<QLineEdit*>(name);
}

QPushButton* button(OffsetsDialog& form, const char* name) {
  return form.findChild<QPushButton*>(name);
}

}  // namespace

class OffsetsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheOffsetsInWholeKilohertz() {
    OffsetsDialog form;
    QCOMPARE(form.windowTitle(), QString("746(Pro) Duplex Offsets"));
    form.setOffsets(DuplexOffsets{});
    QCOMPARE(edit(form, "hfOffset")->text(), QString("100"));
    QCOMPARE(edit(form, "offset50")->text(), QString("500"));
    QCOMPARE(edit(form, "offset144")->text(), QString("600"));
    QStringList labels;
    for (QLabel* l : form.findChildren<QLabel*>()) labels << l->text();
    for (const char* text : {"HF Duplex Offset", "50MHz Duplex Offset", "144MHz Duplex Offset",
                             "Enter values in full kHz only, no decimals."}) {
      QVERIFY2(labels.contains(text), text);
    }
    QVERIFY(button(form, "okButton")->isDefault());
    QCOMPARE(button(form, "abortButton")->text(), QString("Abort"));
    form.show();
    QCOMPARE(testing::unnamedControls(form), QStringList());
  }

  void okTakesTheTypedValues() {
    OffsetsDialog form;
    whenModalOpens([](QWidget* w) {
      auto* form = qobject_cast<OffsetsDialog*>(w);
      QLineEdit* hf = form->findChild<QLineEdit*>("hfOffset");
      hf->clear();
      QTest::keyClicks(hf, "-250");
      QTest::keyClick(hf, Qt::Key_Return);  // OK is the default button
    });
    // 1500 Hz from the radio shows as 1 and comes back as whole kHz.
    const auto result = form.edit({.hf = 100000, .mhz50 = 1500, .mhz144 = 600000});
    QVERIFY(result);
    QCOMPARE(result->hf, -250000);
    QCOMPARE(result->mhz50, 1000);
    QCOMPARE(result->mhz144, 600000);
  }

  void abortOrClosingChangesNothing() {
    OffsetsDialog form;
    whenModalOpens([](QWidget* w) {
      auto* form = qobject_cast<OffsetsDialog*>(w);
      form->findChild<QLineEdit*>("hfOffset")->setText("5");
      QTest::mouseClick(form->findChild<QPushButton*>("abortButton"), Qt::LeftButton);
    });
    QVERIFY(!form.edit(DuplexOffsets{}));
    whenModalOpens([](QWidget* w) {
      w->findChild<QLineEdit*>("offset50")->setText("5");
      QTest::keyClick(w, Qt::Key_Escape);
    });
    QVERIFY(!form.edit(DuplexOffsets{}));
    QVERIFY(!form.acceptedOffsets());
  }

  void aBadValueIsNamedAndTheDialogStaysOpenWithNothingTaken() {
    OffsetsDialog form;
    form.setOffsets(DuplexOffsets{});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    edit(form, "hfOffset")->setText("700");  // good, but must not be taken alone
    edit(form, "offset144")->setText("12.5");
    QString shown;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    // As the program runs: every box's buttons get an access letter.
    app::installAccessHelpers();
    whenModalOpens([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      shown = box->text();
      icon = box->icon();
      for (const QAbstractButton* b : box->buttons()) buttons << b->text();
      box->accept();
    });
    QTest::mouseClick(button(form, "okButton"), Qt::LeftButton);
    QCOMPARE(shown, QString("'12.5' is not a valid integer value"));
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons, QStringList{"&OK"});
    // Each button a letter of its own, the ones given kept.
    QMessageBox ask(QMessageBox::Warning, "t", "q", QMessageBox::Yes | QMessageBox::Abort);
    ask.addButton("Save As...", QMessageBox::ActionRole);
    ask.addButton("Save Report...", QMessageBox::ActionRole);
    app::giveAccessLetters(ask);
    QSet<QChar> letters;
    for (const QAbstractButton* b : ask.buttons())
      letters << b->text().section('&', 1)[0].toLower();
    QCOMPARE(letters, (QSet<QChar>{'y', 'a', 's', 'v'}));
    QVERIFY(form.isVisible());
    QVERIFY(!form.acceptedOffsets());
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(form.focusWidget(), edit(form, "offset144"));

    // Mended, OK goes through with all three.
    edit(form, "offset144")->setText("-600");
    QTest::mouseClick(button(form, "okButton"), Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QVERIFY(form.acceptedOffsets() ==
            (DuplexOffsets{.hf = 700000, .mhz50 = 500000, .mhz144 = -600000}));
  }

  void anOffsetPast32BitHertzIsRefused() {
    OffsetsDialog form;
    form.setOffsets(DuplexOffsets{});
    form.show();
    edit(form, "offset50")->setText("3000000");
    QString shown;
    whenModalOpens([&](QWidget* w) {
      shown = qobject_cast<QMessageBox*>(w)->text();
      qobject_cast<QMessageBox*>(w)->accept();
    });
    QTest::mouseClick(button(form, "okButton"), Qt::LeftButton);
    QVERIFY2(shown.startsWith("Integer overflow"), qPrintable(shown));
    QVERIFY(form.isVisible());
  }
};

QTEST_MAIN(OffsetsDialogTest)
#include "offsets_dialog_test.moc"
