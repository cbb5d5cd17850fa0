#include "entry/staff/WrongForm.h"

#include "core/base/Progress.h"
#include "core/base/UiService.h"
#include "core/db/Errors.h"
#include "core/sheet/SheetTemplate.h"
#include "core/staff/CodeLists.h"
#include "core/staff/StaffListWriter.h"
#include "core/staff/StaffRowRules.h"
#include "core/staff/StaffValues.h"
#include "core/staff/WrongStore.h"
#include "entry/EntrySheet.h"
#include "entry/staff/MonputCellEditors.h"
#include "platform/FormPlacement.h"
#include "sheet/SheetView.h"
#include "shell/DialogParent.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

TFrm_wrong::TFrm_wrong(AppContext& ctx, Month month, QWidget* parent) : QDialog(parent), ctx_(ctx), month_(month) {
    setObjectName(QStringLiteral("Frm_wrong"));
    setModal(true);
    resize(1105, 600);
    ApplySheetTemplate(book_, QStringLiteral("staffwrong"));

    Label1 = new QLabel(this);
    QFont f = Label1->font();
    f.setPixelSize(19);
    Label1->setFont(f);
    Label2 = new QLabel(this);
    Label3 = new QLabel(this);
    view_ = NewEntrySheet(book_, this, ctx_.ui);
    StaffEditorOptions opt;
    opt.lastYear = 2003;
    opt.padMonths = false;
    opt.col5Span = 6;
    opt.errorListHiding = true;
    editors_ = std::make_unique<MonputCellEditors>(book_, *view_, opt);

    BitBtn1 = new QPushButton(QStringLiteral("显示错误"), this);
    BitBtn2 = new QPushButton(QStringLiteral("生成代码/审核/保存"), this);
    BitBtn5 = new QPushButton(QStringLiteral("取消"), this);
    sb_ = new QLabel(this);
    sb_->setFrameShape(QFrame::Panel);
    sb_->setFrameShadow(QFrame::Sunken);

    auto* unit = new QHBoxLayout;
    unit->addWidget(Label2);
    unit->addWidget(Label3);
    unit->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn5}) buttons->addWidget(b);
    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(6, 6, 6, 2);
    top->addWidget(Label1, 0, Qt::AlignHCenter);
    top->addLayout(unit);
    top->addWidget(view_, 1);
    top->addLayout(buttons);
    top->addWidget(sb_);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { Run([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { Run([this] { BitBtn2Click(); }); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { Run([this] { BitBtn5Click(); }); });

    PopupMenu1 = NewStaffSheetMenu(this, QStringLiteral("整条删除"));
    ConnectStaffSheet(this, *view_, PopupMenu1, book_, ctx_.state.DepClass,
                      [this](int r, int c) { SheetBook1DblClick(r, c); });
}

TFrm_wrong::~TFrm_wrong() = default;

void TFrm_wrong::Run(const std::function<void()>& handler) { Guarded(ctx_.ui, handler); }

QString TFrm_wrong::StatusText() const { return sb_->text(); }

int TFrm_wrong::LastDataRow() const {
    int r = 3;
    while (r <= book_.MaxRow() && !book_.GetCellText(r, 1).isEmpty()) ++r;
    return r - 1;
}

void TFrm_wrong::FormShow() {
    ctx_.pb.SetPosition(0);
    LoadErrorList(0);
    if (closed_) return;
    if (listsPending_) InitCmBox();
    ctx_.pb.SetPosition(50);
    book_.SetRowHeight(2, book_.MaxRow(), 320);
    ctx_.pb.SetPosition(98);
    const QString title = ctx_.state.DepClass.IsEnterprise() ? QStringLiteral("企事业单位人员情况错误信息表")
                                                             : QStringLiteral("机关单位人员情况错误信息表");
    Label1->setText(title);
    setWindowTitle(title);
    ctx_.pb.SetPosition(100);
    ctx_.pb.SetPosition(0);
}

void TFrm_wrong::LoadErrorList(int mode) {
    ctx_.pb.SetPosition(0);
    book_.BeginUpdate();
    // The id and code columns go too, so no row keeps an id it does not belong to.
    book_.ClearRange(3, 1, book_.MaxRow(), kStaffIdCol, TSheetBook::ClearAll);
    book_.EndUpdate();
    const std::vector<WrongRow> rows = LoadErrorRows(ctx_.db, month_, mode);
    sb_->setText(QStringLiteral(" 共有 %1 条记录！").arg(rows.size()));
    if (mode == 0 && rows.empty()) {
        ctx_.ui.Info(QStringLiteral("无错误信息。"));
        BitBtn5Click();
        return;
    }
    book_.BeginUpdate();
    int r = 3;
    for (const WrongRow& w : rows) {
        for (int c = 1; c <= kStaffTextCols; ++c) book_.SetCellText(r, c, w.texts[size_t(c - 1)]);
        for (int c = kStaffFirstCode; c <= kStaffLastCode; ++c)
            book_.SetCellText(r, c, w.codes[size_t(c - kStaffFirstCode)]);
        book_.SetCellText(r, kStaffIdCol, QString::number(w.id));
        ++r;
    }
    book_.EndUpdate();
    const UnitLabels u = ReadUnitLabels(ctx_.db);
    Label2->setText(QStringLiteral("单位名称：") + u.depName + QStringLiteral(" "));
    Label3->setText(QStringLiteral("单位法人代码：") + u.depNo + QStringLiteral(" "));
}

void TFrm_wrong::FormActivate() {
    editors_->LookupObjects();
    const UnitClass dep = ctx_.state.DepClass;
    ApplyStaffLayout(book_, dep, /*hideByWidth=*/false);
    // The given widths are the least; the sheet grows until every shown column fits.
    const int least = dep.IsAboveSize() ? 955 : dep.kind() == UnitClass::Kind::Other ? 870 : 1060;
    const int sheetWidth = StaffSheetWidth(book_, *view_, least);
    view_->setFixedWidth(sheetWidth);
    FitWidthToSheet(this, sheetWidth);
    // An above-size unit's list is centred on the main window again; others on their opener.
    PlaceForm(this, dep.IsAboveSize() && ctx_.mainWidget ? ctx_.mainWidget : OpenerOf(this));
    RecheckRows(/*numberFirst=*/true);
}

void TFrm_wrong::RecheckRows(bool numberFirst) {
    StaffRowRules rules(book_, ProgramCodeLists(), StaffForm::ErrorList, ctx_.state.DepClass);
    book_.BeginUpdate();
    // 显示错误 re-checks without the number test (the batch sheet's load re-check is that
    // pass: no number test, and CheckGwy belongs to the batch sheet alone).
    rules.CheckRows(numberFirst ? StaffPass::Activation : StaffPass::LoadRecheck);
    book_.SetSelection(3, 1, book_.MaxRow(), 20);
    book_.SetFont(QStringLiteral("fnt"), 8);
    book_.SetSelection(3, 1, 3, 1);
    book_.EndUpdate();
}

void TFrm_wrong::InitCmBox() {
    editors_->FillLists(ProgramCodeLists());
    listsPending_ = false;
}

void TFrm_wrong::BitBtn1Click() {
    LoadErrorList(0);
    if (closed_) return;
    RecheckRows(/*numberFirst=*/false);
}

void TFrm_wrong::BitBtn2Click() {
    editors_->NameExit();
    editors_->HideAll();
    view_->CommitPendingEdit();
    book_.SetSelection(1, 1, 1, 1);
    if (book_.GetCellText(3, 1).isEmpty()) {
        ctx_.ui.Info(QStringLiteral("第一行没有数据。"));
        Abort();
    }
    const int last = LastDataRow();
    ctx_.pb.SetPosition(0);
    StaffRowRules rules(book_, ProgramCodeLists(), StaffForm::ErrorList, ctx_.state.DepClass);
    std::vector<QString> flags;
    book_.BeginUpdate();
    rules.BeginRun();
    for (int r = 3; r <= last; ++r) {
        // Names are saved without blanks here too: the wage audit compares them.
        rules.ClearSpace(r);
        rules.CheckRow(r, StaffPass::Save);
        flags.push_back(rules.RowFlag());
    }
    book_.EndUpdate();
    const CellReader cell = [this](int r, int c) { return book_.GetCellText(r, c); };
    WrongSaveReport rep;
    try {
        // Every column of the row, whatever the unit's class: the list shows them all.
        rep = StaffListWriter(ctx_.db, month_, StaffColumns::All).Update({3, last, cell, flags});
    } catch (const staffvalue::NumberTaken& e) {
        ctx_.pb.SetPosition(0);
        view_->GoToCell(e.Row(), 2);
        ctx_.ui.RefuseSave(e.Text());
        return;
    } catch (const SaveFailure& f) {
        ctx_.pb.SetPosition(0);
        if (f.row() > 0) view_->GoToCell(f.row(), 1);
        ctx_.ui.MessageDlg(f.Message(), DlgKind::Error, DlgButtons::Ok);
        return;
    }
    ctx_.pb.SetPosition(100);
    ctx_.pb.SetPosition(0);
    if (ctx_.main) ctx_.main->RefreshInitialDataMenus();
    const QString note = rep.Note(cell);
    if (!note.isEmpty()) {
        // The skipped rows keep what the person typed: no reload over them.
        for (const BadCell& b : rep.badNumbers) {
            book_.SetSelection(b.row, b.col, b.row, b.col);
            book_.SetPattern(TSheetBook::kMarkPattern, 200, 255);
        }
        ctx_.ui.MessageDlg(note, DlgKind::Warning, DlgButtons::Ok);
        return;
    }
    BitBtn1Click();
}

void TFrm_wrong::BitBtn5Click() {
    editors_->HideObjects();
    closed_ = true;
    Finish();
    if (isVisible()) reject();
}

void TFrm_wrong::Finish() {
    if (refreshed_) return;
    refreshed_ = true;
    if (OpenerRefresh) Guarded(ctx_.ui, OpenerRefresh);
}

void TFrm_wrong::done(int r) {
    closed_ = true;
    Finish();
    QDialog::done(r);
}

void TFrm_wrong::closeEvent(QCloseEvent* e) {
    Finish();
    QDialog::closeEvent(e);
}

void TFrm_wrong::Open() {
    FormShow();
    if (closed_) return;
    FormActivate();
    exec();
}

void TFrm_wrong::SheetBook1DblClick(int row, int col) {
    editors_->DblClick(row, col, ctx_.state.DepClass.IsAboveSize());
}

void TFrm_wrong::N1Click() { view_->Edit(SheetView::EditOp::InsertRows); }
void TFrm_wrong::N2Click() {
    view_->Edit(SheetView::EditOp::DeleteRows);
    sb_->setText(QStringLiteral("整条删除只删除本表中的行，数据库中的记录仍然保留。"));
}
void TFrm_wrong::N4Click() { view_->Edit(SheetView::EditOp::Copy); }
void TFrm_wrong::N5Click() {
    view_->Edit(SheetView::EditOp::Paste);
    ApplyAboveSizePaste(book_, ctx_.state.DepClass, book_.LastPaste());
}
void TFrm_wrong::N6Click() { view_->Edit(SheetView::EditOp::Cut); }

WrongForm::WrongForm(AppContext& ctx, Month month, QWidget* parent)
    : form_(std::make_unique<TFrm_wrong>(ctx, month, parent ? parent : DialogParent(ctx))) {}
WrongForm::~WrongForm() = default;
void WrongForm::SetMonflag(const QString& flag) { form_->Monflag = flag; }
void WrongForm::SetOpenerRefresh(std::function<void()> refresh) { form_->OpenerRefresh = std::move(refresh); }
void WrongForm::ShowModal() { form_->Open(); }
// The list is modal by nature; a modeless request shows it modally as well.
void WrongForm::ShowModeless(std::unique_ptr<IForm>) { form_->Open(); }

}  // namespace qm
