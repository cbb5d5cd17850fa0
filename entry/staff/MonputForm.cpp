#include "entry/staff/MonputForm.h"

#include "core/app/FormInterfaces.h"
#include "core/base/Progress.h"
#include "core/base/UiService.h"
#include "core/db/Db.h"
#include "core/db/Errors.h"
#include "core/sheet/SheetTemplate.h"
#include "core/staff/CodeLists.h"
#include "core/staff/MonputStore.h"
#include "core/staff/StaffRowRules.h"
#include "core/staff/StaffValues.h"
#include "core/staff/WrongStore.h"
#include "entry/EntrySheet.h"
#include "entry/staff/DelPersnoForm.h"
#include "entry/staff/MonputCellEditors.h"
#include "entry/staff/WrongForm.h"
#include "platform/FormPlacement.h"
#include "sheet/SheetView.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

namespace qm {

namespace {

QPointer<TFrm_monput>& TheInstance() {
    static QPointer<TFrm_monput> p;
    return p;
}

// Sheet and window widths by unit class, as the layout gives them.
struct Widths {
    int label1Left, sheet, window;
};
Widths WidthsFor(UnitClass cls) {
    if (cls.kind() == UnitClass::Kind::Other) return {300, 850, 870};
    if (cls.IsAboveSize()) return {300, 920, 965};
    return {410, 1018, 1042};
}

}  // namespace

// Programmatic changes of the sheet (loads, checks, marks) do not count as unsaved edits.
class TFrm_monput::Quiet {
public:
    explicit Quiet(TFrm_monput& f) : f_(f) { ++f_.quiet_; }
    ~Quiet() { --f_.quiet_; }

private:
    TFrm_monput& f_;
};

TFrm_monput::TFrm_monput(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ctx_(ctx) {
    setObjectName(QStringLiteral("Frm_monput"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(1036, 623);

    ApplySheetTemplate(book_, QStringLiteral("staff"));

    Label1 = new QLabel(this);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(19);
    Label1->setFont(f);
    view_ = NewEntrySheet(book_, this, ctx_.ui);
    editors_ = std::make_unique<MonputCellEditors>(book_, *view_, StaffEditorOptions{});

    BitBtn2 = new QPushButton(QStringLiteral("编辑"), this);
    B4 = new QPushButton(QStringLiteral("批量核对删除"), this);
    B6 = new QPushButton(QStringLiteral("个别核对"), this);
    B1 = new QPushButton(QStringLiteral("从期初导入"), this);
    B2 = new QPushButton(QStringLiteral("从上一月导入"), this);
    B3 = new QPushButton(QStringLiteral("保存"), this);
    B5 = new QPushButton(QStringLiteral("显示错误"), this);
    BitBtn1 = new QPushButton(QStringLiteral("关闭"), this);
    sb_ = new QLabel(this);
    sb_->setFixedWidth(350);
    sb_->setFrameShape(QFrame::Panel);
    sb_->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {BitBtn2, B4, B6, B1, B2, B3, B5}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    auto* status = new QHBoxLayout;
    status->addWidget(sb_);
    status->addStretch();
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(6, 6, 6, 2);
    top->addWidget(Label1, 0, Qt::AlignHCenter);
    top->addWidget(view_, 1);
    top->addLayout(buttons);
    top->addLayout(status);

    connect(B1, &QPushButton::clicked, this, [this] { Run([this] { B1Click(); }); });
    connect(B2, &QPushButton::clicked, this, [this] { Run([this] { B2Click(); }); });
    connect(B3, &QPushButton::clicked, this, [this] { Run([this] { B3Click(); }); });
    connect(B4, &QPushButton::clicked, this, [this] { Run([this] { B4Click(); }); });
    connect(B5, &QPushButton::clicked, this, [this] { Run([this] { B5Click(); }); });
    connect(B6, &QPushButton::clicked, this, [this] { Run([this] { B6Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });

    PopupMenu1 = NewStaffSheetMenu(this, QStringLiteral("删除整条"));

    ConnectStaffSheet(this, *view_, PopupMenu1, book_, ctx_.state.DepClass,
                      [this](int r, int c) { SheetBook1DblClick(r, c); });

    // Anything that changes the sheet outside a load or check pass is unsaved work.
    auto touched = [this] {
        if (quiet_ == 0) dirty_ = true;
    };
    connect(&book_, &TSheetBook::cellsChanged, this, touched);
    connect(&book_, &TSheetBook::sheetReset, this, touched);
    connect(&book_, &TSheetBook::layoutChanged, this, touched);

    // Which window had the focus before this one: an activation coming back from this
    // window's own dialog or message box is not a user's turn from another window.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
        if (w && w != windowHandle()) lastOther_ = w;
    });

    B1->setEnabled(false);
    B2->setEnabled(false);
    B3->setEnabled(false);
    B4->setEnabled(false);
    B5->setEnabled(false);
    B6->setEnabled(false);
}

TFrm_monput::~TFrm_monput() = default;

TFrm_monput* TFrm_monput::Instance() { return TheInstance().data(); }

TFrm_monput* TFrm_monput::ShowList(AppContext& ctx, qm::Month month, QWidget* parent) {
    TFrm_monput* w = TheInstance().data();
    bool load = true;
    if (!w) {
        w = new TFrm_monput(ctx, parent ? parent : ctx.mainWidget);
        TheInstance() = w;
    } else if (w->dirty_) {
        // Unsaved rows of this month stay; those of another month only when the person says so.
        if (w->month_ == month)
            load = false;
        else if (!ctx.ui.AskYesNo(w->month_.Text() + QStringLiteral("月名册尚未保存，是否放弃修改？")))
            load = false;
    }
    w->AttachToActiveModal();
    const bool wasShown = w->isVisible();
    if (load) {
        w->FormShow(month);
        w->show();
        w->FormActivate();
    }
    if (!wasShown) PlaceForm(w, nullptr);  // centred on the screen, whole
    w->show();
    w->raise();
    w->activateWindow();
    return w;
}

void TFrm_monput::AttachToActiveModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && (modal == this || isAncestorOf(modal))) return;  // a dialog of this window
    QWidget* want = modal ? modal : ctx_.mainWidget;
    if (parentWidget() != want) {
        const bool visible = isVisible();
        setParent(want, windowFlags());
        if (visible) show();
    }
    if (modal && modalHost_ != modal) {
        if (modalHost_) modalHost_->removeEventFilter(this);
        modalHost_ = modal;
        modal->installEventFilter(this);
    }
}

bool TFrm_monput::eventFilter(QObject* watched, QEvent* e) {
    // The modal window this list stood beside is going: the list stays, under the main window.
    if (watched == modalHost_ && (e->type() == QEvent::Hide || e->type() == QEvent::Close)) {
        modalHost_->removeEventFilter(this);
        modalHost_ = nullptr;
        const bool visible = isVisible();
        setParent(ctx_.mainWidget, windowFlags());
        if (visible) show();
    }
    return QWidget::eventFilter(watched, e);
}

bool TFrm_monput::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate) Run([this] { OnUserActivation(lastOther_); });
    return QWidget::event(e);
}

bool TFrm_monput::OwnWindow(QWindow* w) const {
    if (!w) return false;
    for (QWindow* p = w; p; p = p->transientParent())
        if (p == windowHandle()) return true;
    for (QWidget* tl : QApplication::topLevelWidgets())
        if (tl->windowHandle() == w) return isAncestorOf(tl);
    return false;
}

bool TFrm_monput::OnUserActivation(QWindow* from) {
    if (OwnWindow(from)) return false;                       // back from this window's own box or dialog
    if (dirty_) return false;                                // unsaved rows are never replaced behind the person's back
    if (loadedStamp_ == db::StampOf(ctx_.db)) return false;  // a reload would give the very same rows
    FormActivate();
    return true;
}

void TFrm_monput::Run(const std::function<void()>& handler) { Guarded(ctx_.ui, handler); }

QString TFrm_monput::StatusText() const { return sb_->text(); }
void TFrm_monput::SetStatus(const QString& text) { sb_->setText(text); }

int TFrm_monput::LastDataRow() const {
    int r = kStaffFirstRow;
    while (r <= book_.MaxRow() && !book_.GetCellText(r, 1).isEmpty()) ++r;
    return r - 1;
}

void TFrm_monput::FormShow(qm::Month month) {
    month_ = month;
    const QString title = month_.Text() + QStringLiteral("月份工资发放人员名单核对");
    setWindowTitle(title);
    Label1->setText(title);
    for (QPushButton* b : {B1, B2, B3, B4, B5, B6}) b->setEnabled(false);
    BitBtn2->setText(QStringLiteral("编辑"));
    ctx_.pb.SetPosition(0);
    LoadCodeTables(ctx_.db, ctx_.state.DepClass.IsEnterprise() ? QStringLiteral("1") : QStringLiteral("0"));
    ctx_.pb.SetPosition(50);
    Quiet q(*this);
    book_.SetRowHeight(2, book_.MaxRow(), 310);
    if (!dirty_) book_.ClearRange(3, 1, book_.MaxRow(), 12, TSheetBook::ClearContents);
    ctx_.pb.SetPosition(100);
    ctx_.pb.SetPosition(0);
}

void TFrm_monput::FormActivate() {
    Quiet q(*this);
    book_.BeginUpdate();
    book_.ClearRange(3, 1, book_.MaxRow(), 19, TSheetBook::ClearFormats);
    book_.SetSelection(1, 1, book_.MaxRow(), 19);
    book_.SetFont(QStringLiteral("fnt"), 8);
    book_.SetSelection(1, 1, 1, 1);
    book_.ClearRange(3, 1, book_.MaxRow(), 19, TSheetBook::ClearContents);

    const UnitClass dep = ctx_.state.DepClass;
    ApplyStaffLayout(book_, dep, /*hideByWidth=*/true);
    // The widths the layout gives are the least; the sheet grows until every shown column fits.
    const Widths w = WidthsFor(dep);
    const int sheetWidth = StaffSheetWidth(book_, *view_, w.sheet);
    view_->setFixedWidth(sheetWidth);
    FitWidthToSheet(this, sheetWidth, w.window);
    editors_->LookupObjects();

    book_.SetSelection(1, 1, book_.MaxRow(), 20);
    book_.SetFont(QStringLiteral("fnt"), 8);
    book_.SetSelection(3, 1, book_.MaxRow(), 20);
    book_.SetFont(QStringLiteral("fnt"), 10);
    book_.SetSelection(1, 1, 1, 1);

    LoadSheet(3, month_);

    StaffRowRules rules(book_, ProgramCodeLists(), StaffForm::MonthlyList, dep);
    rules.CheckRows(StaffPass::Activation);
    book_.SetSelection(3, 1, book_.MaxRow(), 20);
    book_.SetFont(QStringLiteral("fnt"), 8);
    book_.SetSelection(3, 1, 3, 1);
    if (listsPending_) FillLists();
    book_.EndUpdate();

    dirty_ = false;
    loadedStamp_ = db::StampOf(ctx_.db);
    ++loads_;
}

void TFrm_monput::LoadSheet(int mode, qm::Month month) {
    Quiet q(*this);
    ctx_.pb.SetPosition(0);
    book_.ClearRange(3, 1, book_.MaxRow(), 19, TSheetBook::ClearFormats);
    std::vector<StaffTexts> rows;
    db::RowsPrint print;  // of the error rows alone a save would replace no month: it refuses
    if (mode == 0 || mode == 1) {
        for (auto& w : LoadErrorRows(ctx_.db, month, mode)) rows.push_back(w.texts);
    } else {
        rows = LoadMonthRows(ctx_.db, month, &print);
    }
    SetStatus(QStringLiteral(" 共 %1 条").arg(rows.size()));
    book_.BeginUpdate();
    loaded_.Loaded(ctx_.db, month, print, PutStaffRows(book_, kStaffFirstRow, rows));
    book_.EndUpdate();
}

void TFrm_monput::Import(std::optional<qm::Month> fromMonth, bool fromStart) {
    view_->CommitPendingEdit();
    const bool wasEmpty = RtlTrim(book_.GetCellText(3, 1)).isEmpty();
    if (!wasEmpty && !ctx_.ui.AskYesNo(QStringLiteral("导入名单将覆盖上面显示名单，是否继续？"))) return;
    {
        Quiet q(*this);
        book_.ClearRange(3, 1, book_.MaxRow(), 20, TSheetBook::ClearContents);
    }
    dirty_ = true;  // the sheet no longer shows what is stored
    const std::vector<StaffTexts> rows = fromMonth ? ImportMonthRows(ctx_.db, *fromMonth) : std::vector<StaffTexts>{};
    loaded_.Filled(0, 0);
    if (rows.empty()) {
        ctx_.ui.MessageDlg(QStringLiteral("名册内没有数据！"), DlgKind::Confirmation, DlgButtons::Ok);
        return;
    }
    {
        Quiet q(*this);
        book_.BeginUpdate();
        loaded_.Filled((long long)rows.size(), PutStaffRows(book_, kStaffFirstRow, rows));
        book_.EndUpdate();
    }
    const QString n = QString::number(rows.size());
    ctx_.ui.MessageDlg(QStringLiteral("导入成功，共计") + n + QStringLiteral("人."), DlgKind::Confirmation,
                       DlgButtons::Ok);
    SetStatus(QStringLiteral("共") + n + QStringLiteral("条，未保存！"));
    if (fromStart && wasEmpty) B1->setEnabled(false);
}

void TFrm_monput::B1Click() { Import(qm::Month::Start(), true); }

void TFrm_monput::B2Click() { Import(month_.Previous(), false); }

void TFrm_monput::B3Click() {
    view_->CommitPendingEdit();
    editors_->NameExit();
    book_.SetSelection(1, 1, 1, 1);
    editors_->DT1->hide();
    editors_->DT2->hide();
    BitBtn2Click();
    // A refused save writes nothing and keeps the person's rows: the list stays in edit mode, so
    // that they can be put right and saved again.
    bool saved = false;
    const auto stayEditing = qScopeGuard([&] {
        if (!saved && !B3->isEnabled()) BitBtn2Click();
    });
    if (book_.GetCellText(3, 1).isEmpty()) {
        ctx_.ui.Info(QStringLiteral("第一行没有数据。"));
        Abort();
    }
    const int last = LastDataRow();
    std::vector<QString> flags;
    flags.reserve(size_t(last - kStaffFirstRow + 1));
    const UnitClass dep = ctx_.state.DepClass;
    StaffRowRules rules(book_, ProgramCodeLists(), StaffForm::MonthlyList, dep);
    {
        Quiet q(*this);
        book_.BeginUpdate();
        rules.BeginRun();
        for (int r = kStaffFirstRow; r <= last; ++r) {
            rules.CheckRow(r, StaffPass::Save);
            flags.push_back(rules.RowFlag());
        }
        book_.EndUpdate();
    }
    const CellReader cell = [this](int r, int c) { return book_.GetCellText(r, c); };

    // Work years go into number columns: text there is refused before anything is written.
    const std::vector<BadCell> bad = FindNonNumericWorkYears(kStaffFirstRow, last, cell);
    if (!bad.empty()) {
        Quiet q(*this);
        for (const BadCell& b : bad) {
            book_.SetSelection(b.row, b.col, b.row, b.col);
            book_.SetPattern(TSheetBook::kMarkPattern, 200, 255);
        }
        book_.SetSelection(bad.front().row, bad.front().col, bad.front().row, bad.front().col);
        view_->GoToCell(bad.front().row, bad.front().col);
        ctx_.ui.MessageDlg(
            BadCellMessage(bad.front(), book_.GetCellText(bad.front().row, 1)) + QStringLiteral("\n本月名册未保存。"),
            DlgKind::Warning, DlgButtons::Ok);
        return;
    }

    // Filled rows below the first empty name would be left out without a word: ask first.
    const int left = book_.FilledRowsFrom(last + 1, 1, kStaffTextCols);
    if (left > 0 && !ctx_.ui.AskYesNo(RowsLeftQuestion(StaffShownRow(last + 1), left, last - kStaffFirstRow + 1)))
        return;

    try {
        WriteMonth(ctx_.db, month_, StaffColumnsFor(dep), kStaffFirstRow, last, cell, flags, loaded_, &ctx_.pb);
    } catch (const db::MonthNotLoaded& e) {
        ctx_.ui.RefuseSave(e.Message(MonthListName(month_)));
        return;
    } catch (const staffvalue::NumberTaken& e) {
        view_->GoToCell(e.Row(), 2);
        ctx_.ui.RefuseSave(e.Text());
        return;
    } catch (const SaveFailure& f) {
        if (f.row() > 0) view_->GoToCell(f.row(), 1);
        ctx_.ui.MessageDlg(f.Message(), DlgKind::Error, DlgButtons::Ok);
        return;
    }
    saved = true;
    SetStatus(QStringLiteral(" 共 %1 条").arg(last - kStaffFirstRow + 1));
    dirty_ = false;
    loadedStamp_ = db::StampOf(ctx_.db);
    if (rules.AllRowsValid()) {
        ctx_.ui.Info(QStringLiteral("保存成功！"));
    } else {
        B5->setEnabled(true);
        ctx_.ui.ConfirmYesOnly(QStringLiteral("出现错误，请核实！"));
    }
}

void TFrm_monput::BitBtn2Click() {
    if (B3->isEnabled()) {
        for (QPushButton* b : {B1, B3, B2, B4, B5, B6}) b->setEnabled(false);
        BitBtn2->setText(QStringLiteral("编辑"));
    } else {
        for (QPushButton* b : {B1, B3, B4, B5, B6}) b->setEnabled(true);
        B2->setEnabled(month_ != qm::Month(1));
        BitBtn2->setText(QStringLiteral("取消编辑"));
    }
}

void TFrm_monput::B4Click() {
    view_->CommitPendingEdit();
    editors_->NameExit();
    DelPersnoForm f(ctx_, month_, this);
    f.Form().setWindowTitle(month_.Text() + QStringLiteral("月批量人员删除"));
    f.SetListUnsaved(dirty_);
    f.SetOpenerRefresh([this] { ReloadAfterStoredChange(); });  // called only after a deletion
    f.ShowModal();
}

void TFrm_monput::B5Click() {
    book_.SetSelection(1, 1, 1, 1);
    editors_->DT1->hide();
    editors_->DT2->hide();
    if (MonthHasErrorRows(ctx_.db, month_)) {
        view_->CommitPendingEdit();
        WrongForm f(ctx_, month_, this);
        f.SetMonflag(QStringLiteral("1"));
        const db::WriteStamp before = db::StampOf(ctx_.db);
        f.SetOpenerRefresh([this, before] {
            if (db::StampOf(ctx_.db) != before) ReloadAfterStoredChange();
        });
        f.ShowModal();
    } else {
        ctx_.ui.ConfirmYesOnly(QStringLiteral("没有错误信息！"));
        B5->setEnabled(false);
    }
}

void TFrm_monput::B6Click() {
    // Closing the single-person form refreshes this list by its month.
    auto f = ctx_.forms ? ctx_.forms->CreateAs<IPerput>(QStringLiteral("TFrm_perput"),
                                                        {.month = month_, .opener = PerputOpener::MonthList})
                        : nullptr;
    if (!f) return;
    if (auto* w = dynamic_cast<QWidget*>(f.get()))
        w->setWindowTitle(month_.Text() + QStringLiteral("月份个人数据核对"));
    view_->CommitPendingEdit();
    const db::WriteStamp before = db::StampOf(ctx_.db);
    f->ShowModal();
    if (db::StampOf(ctx_.db) != before)
        ReloadAfterStoredChange();  // the single-person form changed rows under this sheet
}

void TFrm_monput::ReloadAfterStoredChange() {
    if (dirty_ && !ctx_.ui.AskYesNo(month_.Text() + QStringLiteral("月名册已在库中改动，上面名单的修改尚未保存。\n"
                                                                   "是否放弃未保存的修改，重新显示库中的名单？")))
        return;
    FormActivate();
}

void TFrm_monput::BitBtn1Click() { hide(); }

void TFrm_monput::FillLists() {
    editors_->FillLists(ProgramCodeLists());
    listsPending_ = false;
}

void TFrm_monput::SheetBook1DblClick(int row, int col) {
    editors_->DblClick(row, col, ctx_.state.DepClass.IsAboveSize());
}

void TFrm_monput::N1Click() { view_->Edit(SheetView::EditOp::InsertRows); }
void TFrm_monput::N2Click() { view_->Edit(SheetView::EditOp::DeleteRows); }
void TFrm_monput::N4Click() { view_->Edit(SheetView::EditOp::Copy); }
void TFrm_monput::N5Click() {
    view_->Edit(SheetView::EditOp::Paste);
    ApplyAboveSizePaste(book_, ctx_.state.DepClass, book_.LastPaste());
}
void TFrm_monput::N6Click() { view_->Edit(SheetView::EditOp::Cut); }

void MonputOpener::ShowModal() { TFrm_monput::ShowList(ctx_, month_, parent_); }
void MonputOpener::ShowModeless(std::unique_ptr<IForm>) { TFrm_monput::ShowList(ctx_, month_, parent_); }

}  // namespace qm
