#include "sheet/SheetView.h"

#include <QListWidget>
#include <QTableView>

namespace qm {

SheetView::SheetView(TSheetBook& book, QWidget* parent) : QWidget(parent), book_(book) {}
SheetView::~SheetView() = default;
void SheetView::CommitPendingEdit() {}
QRect SheetView::CellRect(int, int) const { return {}; }
void SheetView::GoToCell(int, int) {}
QTableView* SheetView::Table() const { return nullptr; }
QListWidget* SheetView::ObjectWidget(int) const { return nullptr; }
void SheetView::UseSystemClipboard() {}
void SheetView::resizeEvent(QResizeEvent* e) { QWidget::resizeEvent(e); }
bool SheetView::eventFilter(QObject* w, QEvent* e) { return QWidget::eventFilter(w, e); }
void SheetView::SyncLayout() {}
void SheetView::SyncObject(int) {}
void SheetView::SyncAllObjects() {}
void SheetView::PlaceObjects() {}

}  // namespace qm
