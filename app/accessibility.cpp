#include "app/accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QToolBar>
#include <QToolButton>

namespace tarnwick::app {
namespace {

constexpr char kCaptionProperty[] = "tarnwickAccessibleCaption";

class CaptionedLabel : public QAccessibleWidget {
 public:
  explicit CaptionedLabel(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name) return QAccessibleWidget::text(t);
    const QString caption = widget()->property(kCaptionProperty).toString();
    const QString value = static_cast<const QLabel*>(widget())->text();
    return value.isEmpty() ? caption : caption + QLatin1String(": ") + value;
  }
};

QAccessibleInterface* captionedLabels(const QString& className, QObject* object) {
  if (className != QLatin1String("QLabel") || object == nullptr ||
      !object->property(kCaptionProperty).isValid()) {
    return nullptr;
  }
  return new CaptionedLabel(static_cast<QLabel*>(object));
}

bool takesTab(const QWidget* w) {
  return (w->focusPolicy() & Qt::TabFocus) != 0;
}

}  // namespace

void setAccessibleCaption(QLabel* label, const QString& caption) {
  // Qt keeps one interface per object, made when first asked for: the
  // factory is in place before any captioned label is shown.
  static const bool installed = [] {
    QAccessible::installFactory(captionedLabels);
    return true;
  }();
  (void)installed;
  label->setProperty(kCaptionProperty, caption);
}

void addHiddenCaption(QWidget* control, const QString& caption) {
  auto* label = new QLabel(caption, control->parentWidget());
  label->setBuddy(control);
  label->hide();
}

namespace {

// The area itself when it takes Tab, else its children's stops in order,
// through the groups a bar is made of.
void collectTabStops(QWidget* area, QList<QWidget*>& stops) {
  if (takesTab(area)) {
    stops << area;
    return;
  }
  for (QWidget* w : area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (takesTab(w)) {
      stops << w;
    } else if (w->layout() != nullptr) {
      collectTabStops(w, stops);
    }
  }
}

}  // namespace

void chainTabOrder(const QList<QWidget*>& areas) {
  QList<QWidget*> stops;
  for (QWidget* area : areas) collectTabStops(area, stops);
  for (qsizetype i = 1; i < stops.size(); ++i) QWidget::setTabOrder(stops[i - 1], stops[i]);
}

void nameClearButton(QLineEdit* edit, const QString& name) {
  // Qt makes the button with setClearButtonEnabled(true), as a child.
  for (QToolButton* button : edit->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
    button->setAccessibleName(name);
    button->setToolTip(name);
  }
}

namespace {

// The letter after the text's "&", 0 without one ("&&" is an ampersand).
QChar accessLetter(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] != u'&') return text[i + 1].toLower();
    ++i;
  }
  return {};
}

// "&Font:" as a name: "Font".
QString captionText(QString text) {
  text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
  text = text.trimmed();
  if (text.endsWith(u':')) text.chop(1);
  return text;
}

// Names the controls of a window that Qt leaves nameless: a control after
// the label that is its buddy, a read-only field after the list it stands
// for, a combo box's drop-down list after the combo box, and a tool bar's
// button for entries that do not fit.
void nameUnnamedControls(QWidget* window) {
  for (QLabel* label : window->findChildren<QLabel*>()) {
    QWidget* buddy = label->buddy();
    // A combo box is read by its item and takes its caption from the label.
    if (buddy == nullptr || qobject_cast<QComboBox*>(buddy) != nullptr) continue;
    if (buddy->accessibleName().isEmpty()) buddy->setAccessibleName(captionText(label->text()));
  }
  for (QLineEdit* edit : window->findChildren<QLineEdit*>()) {
    if (edit->accessibleName().isEmpty() && edit->focusProxy() != nullptr) {
      edit->setAccessibleName(edit->focusProxy()->accessibleName());
    }
  }
  // A list under the field that shows its pick (a font dialog's sizes).
  const QList<QLineEdit*> edits = window->findChildren<QLineEdit*>();
  for (QAbstractItemView* list : window->findChildren<QAbstractItemView*>()) {
    if (!list->accessibleName().isEmpty()) continue;
    for (const QLineEdit* edit : edits) {
      if (edit->parentWidget() == list->parentWidget() && !edit->accessibleName().isEmpty() &&
          edit->x() == list->x() && std::abs(list->y() - edit->geometry().bottom()) <= 8) {
        list->setAccessibleName(edit->accessibleName());
      }
    }
  }
  for (QComboBox* combo : window->findChildren<QComboBox*>()) {
    QString name = combo->accessibleName();
    // Its buddy label, else the label on its left (a file dialog's "Look in:").
    const QLabel* left = nullptr;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
      if (name.isEmpty() && label->buddy() == combo) name = captionText(label->text());
      const QRect g = label->geometry();
      if (label->parentWidget() == combo->parentWidget() && g.right() < combo->x() &&
          g.center().y() >= combo->y() && g.center().y() <= combo->geometry().bottom() &&
          (left == nullptr || g.right() > left->geometry().right())) {
        left = label;
      }
    }
    if (name.isEmpty() && left != nullptr) name = captionText(left->text());
    if (name.isEmpty()) continue;
    if (combo->view()->accessibleName().isEmpty()) combo->view()->setAccessibleName(name);
    if (combo->lineEdit() != nullptr && combo->lineEdit()->accessibleName().isEmpty()) {
      combo->lineEdit()->setAccessibleName(name);
    }
  }
  for (QToolBar* bar : window->findChildren<QToolBar*>()) {
    for (QToolButton* button : bar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
      if (button->inherits("QToolBarExtension") && button->accessibleName().isEmpty()) {
        button->setAccessibleName(QObject::tr("More tool bar entries"));
      }
    }
  }
}

class AccessWatcher : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
    if (auto* box = qobject_cast<QMessageBox*>(watched)) giveAccessLetters(*box);
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->isWindow()) nameUnnamedControls(widget);
    return false;
  }
};

}  // namespace

void giveAccessLetters(QMessageBox& box) {
  const QList<QAbstractButton*> buttons = box.buttons();
  QString used;
  for (const QAbstractButton* b : buttons) {
    if (const QChar c = accessLetter(b->text()); !c.isNull()) used += c;
  }
  for (QAbstractButton* b : buttons) {
    QString text = b->text();
    if (!accessLetter(text).isNull()) continue;
    // The first letter or digit that no other button of the box has.
    for (qsizetype i = 0; i < text.size(); ++i) {
      const QChar c = text[i].toLower();
      if (!c.isLetterOrNumber() || used.contains(c)) continue;
      used += c;
      text.insert(i, u'&');
      b->setText(text);
      break;
    }
  }
}

void installAccessHelpers() {
  static AccessWatcher* watcher = [] {
    auto* w = new AccessWatcher(qApp);
    qApp->installEventFilter(w);
    return w;
  }();
  (void)watcher;
}

}  // namespace tarnwick::app
