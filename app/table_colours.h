#pragma once
// Colours of the tables that the platform's palette does not give.

#include <QColor>

namespace tarnwick::app {

// Grid lines between cells: silver.
inline const QColor kGridLineColour{0xC0, 0xC0, 0xC0};
// The label cell of the current row and the header of the current column.
inline const QColor kCurrentFixedCellColour{0xA0, 0xA0, 0xA0};
// The edge the other columns scroll under, beside the frozen ones.
inline const QColor kFrozenEdgeColour{0x60, 0x60, 0x60};
// Outline of a check box.
inline const QColor kCheckBoxFrameColour{0x80, 0x80, 0x80};

}  // namespace tarnwick::app
