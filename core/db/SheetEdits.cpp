#include "core/db/SheetEdits.h"

#include "core/base/UiService.h"
#include "core/sheet/SheetBook.h"

namespace qm::db {

SheetEdits::SheetEdits(TSheetBook& book) : book_(book) {
    auto edited = [this] {
        if (quiet_ == 0) dirty_ = true;
    };
    cells_ = QObject::connect(&book_, &TSheetBook::cellsChanged, &book_, edited);
    reset_ = QObject::connect(&book_, &TSheetBook::sheetReset, &book_, edited);
    layout_ = QObject::connect(&book_, &TSheetBook::layoutChanged, &book_, edited);
}

SheetEdits::~SheetEdits() {
    QObject::disconnect(cells_);
    QObject::disconnect(reset_);
    QObject::disconnect(layout_);
}

void SheetEdits::EndLoad(Month m, const RowsFingerprint& read, const WriteStamp& before, long long held) {
    if (loadedHook) loadedHook();
    load_.Loaded(m, read, before, held);
    dirty_ = false;
}

void SheetEdits::Filled(long long count, long long held) {
    load_.Filled(count, held);
    dirty_ = true;
}

bool SheetEdits::LeaveRowsOut(UiService& ui, int stopRow, int col, int shownRow, int left, int saving,
                              const QString& what, long long stored) {
    if (ui.AskYesNoDefaultNo(RowsLeftQuestion(shownRow, left, saving, what, stored))) return true;
    book_.GoTo(stopRow, col);
    return false;
}

bool SheetEdits::SettleBeforeStoringForm(UiService& ui, const std::function<bool()>& save,
                                         const std::function<void()>& reload) {
    if (!dirty_) return true;
    switch (ui.MessageDlg(kSaveBeforeListQuestion, DlgKind::Confirmation, DlgButtons::YesNoCancel)) {
    case DlgAnswer::Yes: return save() && !dirty_;  // a refused, failed or partial save opens nothing
    case DlgAnswer::No: reload(); return true;
    default: return false;
    }
}

bool SheetEdits::MayClose(UiService& ui) const { return !dirty_ || ui.AskYesNoDefaultNo(kCloseUnsavedQuestion); }

bool SheetEdits::KeepOnReopen(Connection& c, UiService& ui, Month m, MonthSource& source,
                              const QString& question) const {
    if (!dirty_ || LoadIsCurrent(c, load_, m, source)) return dirty_;
    return !ui.AskYesNoDefaultNo(question);
}

}  // namespace qm::db
