#include "app/find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "app/accessibility.h"

namespace tarnwick::app {

FindBar::FindBar(QWidget* parent)
    : QWidget(parent), field_(new QLineEdit(this)), result_(new QLabel(this)) {
  setAccessibleName(tr("Find bar"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(4, 2, 4, 2);
  auto* caption = new QLabel(tr("Find:"), this);
  caption->setBuddy(field_);
  field_->setAccessibleName(tr("Find"));
  field_->setMaximumWidth(220);
  field_->installEventFilter(this);
  auto* previous = new QToolButton(this);
  previous->setText(tr("Previous"));
  previous->setToolTip(tr("Shift+F3"));
  auto* next = new QToolButton(this);
  next->setText(tr("Next"));
  next->setToolTip(tr("F3"));
  auto* close = new QToolButton(this);
  close->setText(tr("Close"));
  close->setAccessibleName(tr("Close find bar"));
  setAccessibleCaption(result_, tr("Find result"));
  layout->addWidget(caption);
  layout->addWidget(field_);
  layout->addWidget(previous);
  layout->addWidget(next);
  layout->addWidget(result_);
  layout->addStretch();
  layout->addWidget(close);
  connect(field_, &QLineEdit::returnPressed, this,
          [this] { emit findRequested(field_->text(), true); });
  connect(field_, &QLineEdit::textChanged, this, [this] { result_->clear(); });
  connect(next, &QToolButton::clicked, this, [this] { emit findRequested(field_->text(), true); });
  connect(previous, &QToolButton::clicked, this,
          [this] { emit findRequested(field_->text(), false); });
  connect(close, &QToolButton::clicked, this, [this] {
    hide();
    emit closed();
  });
}

void FindBar::open() {
  show();
  field_->setFocus(Qt::ShortcutFocusReason);
  field_->selectAll();
}

void FindBar::showFound(bool found) {
  result_->setText(found ? QString() : tr("not found"));
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == field_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
      hide();
      emit closed();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void FindBar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    hide();
    emit closed();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace tarnwick::app
