#pragma once
// The editors over a staff sheet's cells, shared by the monthly staff list and the staff
// error list: the name edit over column 1, the year and month combos over column 6, and the
// eight drop-down lists drawn on the sheet for the coded columns. The two forms differ only
// in the options below.

#include "core/base/UnitClass.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>

class QComboBox;
class QLineEdit;
class QMenu;
class QWidget;

namespace qm {

class TSheetBook;
class SheetView;
struct CodeLists;

struct StaffEditorOptions {
    int firstYear = 1932;  // DT1's first and last year
    int lastYear = 1993;
    int selectedYear = 1942;  // DT1's preselected year (item 10)
    bool padMonths = true;    // DT2 "01".."12", or "1".."12"
    int col5Span = 3;         // rows below the cell the YorN list covers for column 5
    // The error list: a column without a list hides the lists, and a list hides the date
    // combos whatever its column. The monthly list leaves both as they are.
    bool errorListHiding = false;
};

// The list objects in the order their ids are kept.
inline constexpr int kStaffObjectCount = 8;
extern const char* const kStaffObjectNames[kStaffObjectCount];  // sexCom, YorN, XL, GW, ZC, JN, Role, Sg

class MonputCellEditors : public QObject {
    Q_OBJECT
public:
    MonputCellEditors(TSheetBook& book, SheetView& view, StaffEditorOptions options, QObject* parent = nullptr);

    // Looks the eight list objects up by name and hides them.
    void LookupObjects();
    void HideObjects();
    void HideAll();  // lists, name edit and date combos
    // Items of XL, GW, ZC, JN, Sg and Role from the code lists; the years of DT1.
    void FillLists(const CodeLists& codes);

    // A double-click on a cell: records it and opens the column's editor. `guishang` widens
    // column 14's list over the hidden columns 15..17.
    void DblClick(int row, int col, bool guishang);
    // The name edit lost the focus: its text goes into the cell; the edit is hidden and emptied.
    void NameExit();
    // A month was chosen: the cell := DT1 + "-" + DT2; both combos hidden, the sheet takes the keys.
    void DT2Change();

    int EditCellRow = 0;
    int EditCellCol = 0;
    std::array<int, kStaffObjectCount> SheetObjectIds{};

    QLineEdit* Name = nullptr;
    QComboBox* DT1 = nullptr;
    QComboBox* DT2 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void ShowList(int index, int row, int col, int x2, int y2);
    void Place(QWidget* w, int row, int col, int width);

    TSheetBook& book_;
    SheetView& view_;
    StaffEditorOptions opt_;
};

// The width a sheet view needs to show every shown column, and never less than `least`.
int StaffSheetWidth(const TSheetBook& book, const QWidget& view, int least);
// Makes `form` as wide as its layout's margins around a sheet of `sheetWidth` (at least
// `least`), narrower as well as wider: the layout takes the new sheet width first, so a
// window that showed a wider sheet keeps no band beside a narrower one.
void FitWidthToSheet(QWidget* form, int sheetWidth, int least = 0);

// The staff sheets' mouse and keys: a double click goes to `dblClick`, a right click opens
// `menu`, and a paste by a key (Ctrl+V, Shift+Insert) is followed by the paste rule of the
// unit's class at that moment.
void ConnectStaffSheet(QWidget* form, SheetView& view, QMenu* menu, TSheetBook& book, const UnitClass& cls,
                       std::function<void(int row, int col)> dblClick);

}  // namespace qm
