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

TFrm_monput::TFrm_monput(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ctx_(ctx),
      sheet_(book_, ctx, ProgramCodeLists()) {
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
    } else if (w->Dirty()) {
        const qm::Month shown = w->sheet_.Month();
        // Unsaved rows of this month stay while a save can still store them; those of another
        // month go only when the person says so, and otherwise the list says why it stays.
        if (shown == month)
            load = !w->sheet_.KeepOnReopen();
        else if (ctx.ui.AskYesNoDefaultNo(shown.Text() + QStringLiteral("月名册尚未保存，是否放弃修改？")))
            load = true;
        else {
            load = false;
            ctx.ui.Info(QStringLiteral("%1月名册的修改尚未保存，没有打开%2月名册。\n"
                                       "请先保存%1月名册（或放弃其修改）后再打开%2月名册。")
                            .arg(shown.Text(), month.Text()));
        }
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
    if (OwnWindow(from)) return false;  // back from this window's own box or dialog
    if (Dirty()) return false;          // unsaved rows are never replaced behind the person's back
    if (sheet_.Edits().Load().stamp == db::StampOf(ctx_.db)) return false;  // a reload would give the same rows
    FormActivate();
    return true;
}

bool TFrm_monput::MayLeave(AppContext& ctx) {
    TFrm_monput* w = TheInstance().data();
    if (!w || !w->Dirty()) return true;
    w->show();
    w->raise();
    w->activateWindow();
    return ctx.ui.AskYesNoDefaultNo(w->sheet_.Month().Text() +
                                    QStringLiteral("月名册已经更改，尚未保存。\n是否不保存，直接退出？"));
}

void TFrm_monput::Run(const std::function<void()>& handler) { Guarded(ctx_.ui, handler); }

QString TFrm_monput::StatusText() const { return sb_->text(); }
void TFrm_monput::SetStatus(const QString& text) { sb_->setText(text); }

void TFrm_monput::FormShow(qm::Month month) {
    sheet_.SetMonth(month);
    const QString title = month.Text() + QStringLiteral("月份工资发放人员名单核对");
    setWindowTitle(title);
    Label1->setText(title);
    for (QPushButton* b : {B1, B2, B3, B4, B5, B6}) b->setEnabled(false);
    BitBtn2->setText(QStringLiteral("编辑"));
    ctx_.pb.SetPosition(0);
    LoadCodeTables(ctx_.db, ctx_.state.DepClass.IsEnterprise() ? QStringLiteral("1") : QStringLiteral("0"));
    ctx_.pb.SetPosition(50);
    sheet_.Prepare();
    ctx_.pb.SetPosition(100);
    ctx_.pb.SetPosition(0);
}

void TFrm_monput::FormActivate() {
    db::SheetEdits::Quiet q(sheet_.Edits());  // the layout and lists are the window's own, not edits
    book_.BeginUpdate();
    sheet_.Load();
    // The widths the layout gives are the least; the sheet grows until every shown column fits.
    const Widths w = WidthsFor(ctx_.state.DepClass);
    const int sheetWidth = StaffSheetWidth(book_, *view_, w.sheet);
    view_->setFixedWidth(sheetWidth);
    FitWidthToSheet(this, sheetWidth, w.window);
    editors_->LookupObjects();
    if (listsPending_) FillLists();
    book_.EndUpdate();
    SetStatus(sheet_.Status());
    ++loads_;
}

void TFrm_monput::B1Click() {
    view_->CommitPendingEdit();
    const bool wasEmpty = RtlTrim(book_.GetCellText(kStaffFirstRow, 1)).isEmpty();
    if (sheet_.Import(qm::Month::Start()) == MonputSheet::ImportResult::Declined) return;
    SetStatus(sheet_.Status());
    if (wasEmpty && !RtlTrim(book_.GetCellText(kStaffFirstRow, 1)).isEmpty()) B1->setEnabled(false);
}

void TFrm_monput::B2Click() {
    view_->CommitPendingEdit();
    if (sheet_.Import(sheet_.Month().Previous()) != MonputSheet::ImportResult::Declined) SetStatus(sheet_.Status());
}

bool TFrm_monput::B3Click() {
    view_->CommitPendingEdit();
    editors_->NameExit();
    editors_->DT1->hide();
    editors_->DT2->hide();
    BitBtn2Click();
    const MonputSheet::SaveResult r = sheet_.Save();
    SetStatus(sheet_.Status());
    using R = MonputSheet::SaveResult;
    const bool saved = r == R::Saved || r == R::SavedWithErrors;
    // A save that stored nothing keeps the person's rows: the list stays in edit mode, so that
    // they can be put right and saved again.
    if (!saved && !B3->isEnabled()) BitBtn2Click();
    if (r == R::NoData) Abort();  // the command ends silently, as after any refusal it told
    if (r == R::SavedWithErrors) B5->setEnabled(true);
    return saved && !Dirty();
}

void TFrm_monput::BitBtn2Click() {
    if (B3->isEnabled()) {
        for (QPushButton* b : {B1, B3, B2, B4, B5, B6}) b->setEnabled(false);
        BitBtn2->setText(QStringLiteral("编辑"));
    } else {
        for (QPushButton* b : {B1, B3, B4, B5, B6}) b->setEnabled(true);
        B2->setEnabled(sheet_.Month() != qm::Month(1));
        BitBtn2->setText(QStringLiteral("取消编辑"));
    }
}

void TFrm_monput::B4Click() {
    view_->CommitPendingEdit();
    editors_->NameExit();
    const qm::Month month = sheet_.Month();
    DelPersnoForm f(ctx_, month, this);
    f.Form().setWindowTitle(month.Text() + QStringLiteral("月批量人员删除"));
    f.SetListUnsaved(Dirty());
    f.SetOpenerRefresh([this] { ReloadAfterStoredChange(); });  // called only after a deletion
    f.ShowModal();
}

void TFrm_monput::B5Click() {
    view_->CommitPendingEdit();
    editors_->NameExit();
    editors_->DT1->hide();
    editors_->DT2->hide();
    // The error list stores rows of this month: unsaved rows here are saved or given up first,
    // or the list stays shut, so that no save of this sheet is refused afterwards.
    if (!sheet_.Edits().SettleBeforeStoringForm(
            ctx_.ui, [this] { return B3Click(); }, [this] { FormActivate(); }))
        return;
    const qm::Month month = sheet_.Month();
    if (MonthHasErrorRows(ctx_.db, month)) {
        WrongForm f(ctx_, month, this);
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
    const qm::Month month = sheet_.Month();
    auto f = ctx_.forms ? ctx_.forms->CreateAs<IPerput>(QStringLiteral("TFrm_perput"),
                                                        {.month = month, .opener = PerputOpener::MonthList})
                        : nullptr;
    if (!f) return;
    if (auto* w = dynamic_cast<QWidget*>(f.get())) w->setWindowTitle(month.Text() + QStringLiteral("月份个人数据核对"));
    view_->CommitPendingEdit();
    const db::WriteStamp before = db::StampOf(ctx_.db);
    f->ShowModal();
    if (db::StampOf(ctx_.db) != before)
        ReloadAfterStoredChange();  // the single-person form changed rows under this sheet
}

void TFrm_monput::ReloadAfterStoredChange() {
    // No, the default, keeps the unsaved rows; the save then says the month changed, and opening
    // the list again offers the reload once more.
    if (Dirty() && !ctx_.ui.AskYesNoDefaultNo(sheet_.DiscardQuestion())) return;
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
