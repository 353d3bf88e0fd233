#pragma once
// OffsetsDialog: the IC-746 family's three duplex offsets in whole kHz. OK checks
// all three first; a bad one is named in an error box and the dialog stays
// open, so that either every offset changes or none does.
//
//   if (auto offsets = dialog.edit(engine.offsets())) {
//     engine.setOffsets(*offsets);   // then work out the transmit frequencies again
//   }

#include <QDialog>
#include <optional>

#include "rig/duplex_offsets.h"

class QLineEdit;

namespace tarnwick::app {

class OffsetsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit OffsetsDialog(QWidget* parent = nullptr);

  // Shows `current` and runs the dialog modally; the new offsets when it
  // closed with OK, nothing after Abort or the close button.
  std::optional<DuplexOffsets> edit(const DuplexOffsets& current);

  // The steps of edit(), for a caller that opens the dialog itself.
  void setOffsets(const DuplexOffsets& offsets);
  const std::optional<DuplexOffsets>& acceptedOffsets() const { return accepted_; }

 public slots:
  void accept() override;

 private:
  QLineEdit* hfOffsetEdit_;
  QLineEdit* offset50Edit_;
  QLineEdit* offset144Edit_;
  std::optional<DuplexOffsets> accepted_;
};

}  // namespace tarnwick::app
