#pragma once
// Report windows open large enough to show their whole report: every column and every row
// the sheet uses, as this platform's fonts and the sheet's widths lay them out. The size the
// window was given stays the least it opens at, and the available screen the most.

#include <QSize>

class QWidget;

namespace qm {

class SheetView;

// The size of the sheet widget that shows every column and every used row of its sheet
// without scrolling (the vertical scroll bar, always there, included).
QSize WholeSheetSize(const SheetView* view);

// Grows `window` (not yet shown, or shown) so that `view` gets WholeSheetSize, never below the
// window's present size and never beyond the available screen; a window already shown is
// centred again on its opener, whole on the screen.
void FitWindowToSheet(QWidget* window, SheetView* view);

}  // namespace qm
