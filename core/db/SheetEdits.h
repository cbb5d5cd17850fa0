#pragma once
// What an entry sheet holds against what is stored, one way for the three sheets that replace a
// stored month (the start-of-period batch sheet, a month's staff list, the wage sheet): whether
// it holds edits not yet stored, the month it was loaded from (what its save may replace), and
// the questions asked before typed or stored work could be given up. Every such question keeps
// the work on its default answer, so Enter and Esc never give anything away.

#include "core/db/MonthFingerprint.h"

#include <QMetaObject>
#include <QString>

#include <functional>

namespace qm {
class TSheetBook;
class UiService;
}  // namespace qm

namespace qm::db {

// Asked before a sheet that holds unsaved changes closes: Yes closes, No (the default) stays.
inline const QString kCloseUnsavedQuestion = QStringLiteral("上表已经更改，尚未保存。\n是否不保存，直接关闭？");
// Asked before a form that stores rows of the sheet's month opens over rows not yet saved: Yes
// saves them first, No gives them up and shows the stored month, Cancel (the default) opens
// nothing.
inline const QString kSaveBeforeListQuestion = QStringLiteral(
    "上表已经更改，尚未保存。是否先保存？\n"
    "“是”：先保存上表，再显示错误；\n"
    "“否”：放弃上表未保存的修改，显示库中已存的错误；\n"
    "“取消”：不显示错误，回到上表。");

class SheetEdits {
public:
    explicit SheetEdits(TSheetBook& book);
    ~SheetEdits();
    SheetEdits(const SheetEdits&) = delete;
    SheetEdits& operator=(const SheetEdits&) = delete;

    // While one lives, changes of the sheet are the sheet's own (loads, checks, marks), not edits.
    class Quiet {
    public:
        explicit Quiet(SheetEdits& e) : e_(e) { ++e_.quiet_; }
        ~Quiet() { --e_.quiet_; }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        SheetEdits& e_;
    };

    // Whether the sheet holds edits not stored: any change of it outside a Quiet.
    bool Dirty() const { return dirty_; }
    void SetDirty(bool on) { dirty_ = on; }
    // What the sheet was loaded from; a store updates it when it replaces the month.
    MonthLoad& Load() { return load_; }
    const MonthLoad& Load() const { return load_; }

    // A load of month m. The write stamp is taken before anything is read, so that a commit
    // during the read or the filling of the sheet is never taken as seen; after the sheet
    // holds `held` of the rows `read`, it shows the month as stored.
    static WriteStamp BeginLoad(Connection& c) { return StampOf(c); }
    void EndLoad(Month m, const RowsFingerprint& read, const WriteStamp& before, long long held);
    // Runs when a load has read its rows and filled the sheet, before it records them: the
    // moment at which tests let another program commit.
    std::function<void()> loadedHook;
    // The sheet was filled with `count` rows from elsewhere (an import), of which it holds `held`:
    // it no longer shows what is stored. The month it replaces stays the one it was loaded from.
    void Filled(long long count, long long held);
    // After a save: the sheet shows what is stored, unless rows below its first empty name
    // were left out of it.
    void Saved(bool rowsLeftOut) { dirty_ = rowsLeftOut; }

    // Rows filled below the first empty name (at `stopRow`, shown as `shownRow`) would be left out
    // of a save of `saving` rows that replaces `what`, which holds `stored` rows now. Asks, No the
    // default; on No the empty row's cell in column `col` becomes the current cell. Answers
    // whether to save the rows above it.
    bool LeaveRowsOut(UiService& ui, int stopRow, int col, int shownRow, int left, int saving, const QString& what,
                      long long stored);

    // Before a form opens that stores rows of the sheet's month: with unsaved edits, asks
    // kSaveBeforeListQuestion. Yes runs `save` (answers whether it stored them), No runs `reload`
    // (the stored month shown again). Answers whether the form may open.
    bool SettleBeforeStoringForm(UiService& ui, const std::function<bool()>& save, const std::function<void()>& reload);

    // Before a sheet that holds unsaved edits closes: asks kCloseUnsavedQuestion (No the
    // default). Answers whether it may close.
    bool MayClose(UiService& ui) const;

    // When the sheet of month m is opened again with unsaved edits: they stay while a save would
    // still go through; when the month changed since the load (a save would be refused), asks
    // `question`, No the default. Answers whether to keep them; otherwise the caller reloads.
    bool KeepOnReopen(Connection& c, UiService& ui, Month m, MonthSource& source, const QString& question) const;

private:
    TSheetBook& book_;
    bool dirty_ = false;
    int quiet_ = 0;
    MonthLoad load_;
    QMetaObject::Connection cells_, reset_, layout_;
};

}  // namespace qm::db
