#include "entry/staff/MonputCellEditors.h"

#include "core/sheet/SheetBook.h"
#include "core/staff/CodeLists.h"
#include "core/staff/StaffRowRules.h"
#include "sheet/SheetView.h"

#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>

namespace qm {

const char* const kStaffObjectNames[kStaffObjectCount] = {"sexCom", "YorN", "XL", "GW", "ZC", "JN", "Role", "Sg"};

namespace {
enum { kSex, kYorN, kXL, kGW, kZC, kJN, kRole, kSg };
}

MonputCellEditors::MonputCellEditors(TSheetBook& book, SheetView& view, StaffEditorOptions options, QObject* parent)
    : QObject(parent), book_(book), view_(view), opt_(options) {
    SheetObjectIds.fill(-1);
    Name = new QLineEdit(&view);
    Name->setObjectName(QStringLiteral("Name"));
    Name->hide();
    Name->installEventFilter(this);
    DT1 = new QComboBox(&view);
    DT1->setObjectName(QStringLiteral("DT1"));
    DT1->hide();
    DT1->installEventFilter(this);
    DT2 = new QComboBox(&view);
    DT2->setObjectName(QStringLiteral("DT2"));
    DT2->setMaxVisibleItems(12);
    for (int m = 1; m <= 12; ++m)
        DT2->addItem(opt_.padMonths ? QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0')) : QString::number(m));
    DT2->hide();
    DT2->installEventFilter(this);
    connect(DT2, &QComboBox::activated, this, [this] { DT2Change(); });
}

void MonputCellEditors::LookupObjects() {
    for (int i = 0; i < kStaffObjectCount; ++i) {
        SheetObjectIds[size_t(i)] = book_.ObjectIdByName(QLatin1String(kStaffObjectNames[i]));
        if (SheetObjectIds[size_t(i)] >= 0) book_.ObjectVisible(SheetObjectIds[size_t(i)], false);
    }
}

void MonputCellEditors::HideObjects() {
    for (int id : SheetObjectIds)
        if (id >= 0) book_.ObjectVisible(id, false);
}

void MonputCellEditors::HideAll() {
    HideObjects();
    Name->hide();
    DT1->hide();
    DT2->hide();
}

void MonputCellEditors::FillLists(const CodeLists& codes) {
    const std::pair<int, const CodeList*> lists[] = {{kXL, &codes.CodeEduList},    {kGW, &codes.CodePostList},
                                                     {kZC, &codes.CodeGradeList0}, {kJN, &codes.CodeGradeList1},
                                                     {kSg, &codes.CodeCertyList},  {kRole, &codes.CodeRoleList}};
    for (const auto& [index, list] : lists) {
        int& id = SheetObjectIds[size_t(index)];
        id = book_.ObjectIdByName(QLatin1String(kStaffObjectNames[index]));
        if (id >= 0) book_.SetObjectText(id, CodeItemsText(*list));
    }
    DT1->clear();
    for (int y = opt_.firstYear; y <= opt_.lastYear; ++y) DT1->addItem(QString::number(y));
    DT1->setCurrentIndex(opt_.selectedYear - opt_.firstYear);
}

void MonputCellEditors::Place(QWidget* w, int row, int col, int width) {
    const QRect r = view_.CellRect(row, col);
    w->setGeometry(r.left(), r.top(), qMax(width, r.width()), qMax(r.height(), w->sizeHint().height()));
    w->show();
    w->raise();
}

void MonputCellEditors::ShowList(int index, int row, int col, int x2, int y2) {
    Name->hide();
    for (int i = 0; i < kStaffObjectCount; ++i)
        if (i != index && SheetObjectIds[size_t(i)] >= 0) book_.ObjectVisible(SheetObjectIds[size_t(i)], false);
    const int id = SheetObjectIds[size_t(index)];
    if (id < 0) return;
    book_.SetObjectPos(id, col - 1, row - 1, x2, y2);
    book_.ObjectVisible(id, true);
    book_.ObjectSelection(id, -1);
    book_.SetObjectLink(id, 2, row, col);
}

void MonputCellEditors::DblClick(int row, int col, bool guishang) {
    EditCellRow = row;
    EditCellCol = col;
    if (row <= 2 || col < 1) return;
    auto hideDates = [this] {
        DT1->hide();
        DT2->hide();
    };
    using namespace staffcol;
    if (col == Number || col == Works || col == Work || col > kStaffSheetTexts) {
        if (opt_.errorListHiding) HideObjects();
        return;
    }
    if (opt_.errorListHiding && (col == Sex || col == Nation || col == Party)) hideDates();
    switch (col) {
    case staffcol::Name:
        HideObjects();
        hideDates();
        Name->setText(book_.GetCellText(row, col));
        Place(Name, row, col, 62);
        Name->setFocus();
        return;
    case Birth: {
        HideObjects();
        Name->hide();
        DT2->setCurrentIndex(0);
        const QRect r = view_.CellRect(row, col);
        const int h = qMax(r.height(), DT1->sizeHint().height());
        DT1->setGeometry(r.left(), r.top(), 68, h);
        DT2->setGeometry(r.left() + 68, r.top(), 50, h);
        DT1->show();
        DT2->show();
        DT1->raise();
        DT2->raise();
        DT1->setFocus();  // the year, then Enter to the month
        return;
    }
    default: break;
    }
    const std::optional<StaffAttr> a = AttrAtSheetCol(col);
    if (!a) return;
    // The short lists of sex, nation and party open with the dates left as they are.
    if (col != Sex && col != Nation && col != Party) hideDates();
    const QLatin1String object(StaffListObject(*a));
    int index = 0;
    while (index < kStaffObjectCount && object != QLatin1String(kStaffObjectNames[index])) ++index;
    if (index == kStaffObjectCount) return;
    // On an above-size unit the yes/no list of the full-time column reaches over the hidden columns.
    const int x2 = col == FullTime && guishang ? col + 3 : col;
    ShowList(index, row, col, x2, row + StaffListRows(*a, opt_.col5Span));
}

void MonputCellEditors::NameExit() {
    if (Name->isHidden()) return;
    if (EditCellRow > 0 && EditCellCol > 0) book_.SetCellText(EditCellRow, EditCellCol, Name->text());
    Name->hide();
    Name->clear();
}

void MonputCellEditors::DT2Change() {
    const bool focused = DT1->hasFocus() || DT2->hasFocus();
    if (EditCellRow > 0 && EditCellCol > 0)
        book_.SetCellText(EditCellRow, EditCellCol, DT1->currentText() + QLatin1Char('-') + DT2->currentText());
    DT1->hide();
    DT2->hide();
    // The keys go back to the sheet, not on to the form's next button.
    if (focused) view_.ReturnFromEditor(std::nullopt);
}

bool MonputCellEditors::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Name && e->type() == QEvent::FocusOut) NameExit();
    if (e->type() != QEvent::KeyPress) return QObject::eventFilter(watched, e);
    // Enter and Tab write the name or the date and move on as in the sheet; on the year they go
    // to the month.
    const std::optional<SheetView::Step> step = SheetView::StepOf(*static_cast<QKeyEvent*>(e));
    if (!step || (watched != Name && watched != DT1 && watched != DT2)) return QObject::eventFilter(watched, e);
    if (watched == DT1) {
        if (step != SheetView::Step::Down && step != SheetView::Step::Right) return false;
        DT2->setFocus();
        return true;
    }
    if (watched == Name)
        NameExit();
    else
        DT2Change();
    view_.ReturnFromEditor(step);
    return true;
}

int StaffSheetWidth(const TSheetBook& book, const QWidget& view, int least) {
    int need = 6 + view.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int c = 1; c <= book.MaxCol(); ++c)
        if (book.IsColShown(c)) need += book.ColWidth(c);
    return qMax(least, need);
}

void FitWidthToSheet(QWidget* form, int sheetWidth, int least) {
    int margins = 0;
    if (QLayout* l = form->layout()) {
        const QMargins m = l->contentsMargins();
        margins = m.left() + m.right();
        // The window's least size still follows the sheet it showed before; a resize below it
        // would be clamped.
        l->activate();
    }
    form->resize(qMax(least, sheetWidth + margins), form->height());
}

void ConnectStaffSheet(QWidget* form, SheetView& view, QMenu* menu, TSheetBook& book, const UnitClass& cls,
                       std::function<void(int row, int col)> dblClick) {
    QObject::connect(&view, &SheetView::DblClick, form, std::move(dblClick));
    QObject::connect(&view, &SheetView::RClick, form, [menu](int, int) { menu->popup(QCursor::pos()); });
    QObject::connect(&view, &SheetView::KeyPasted, form, [&book, &cls] {
        // The view has pasted already; the paste rule of an above-size unit follows it.
        ApplyAboveSizePaste(book, cls, book.LastPaste());
    });
}

}  // namespace qm
