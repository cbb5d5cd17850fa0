#include "entry/staff/DelPersnoForm.h"

#include "core/base/RtlText.h"
#include "core/base/UiService.h"
#include "core/db/Db.h"
#include "core/db/Errors.h"
#include "core/staff/DelPersnoStore.h"
#include "entry/EntrySheet.h"
#include "platform/FormPlacement.h"
#include "sheet/SheetView.h"
#include "shell/DialogParent.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

namespace {

void SetUpSheet(TSheetBook& book, const QStringList& headers, const std::vector<int>& widths) {
    book.Reset();
    book.SetMaxCol(int(headers.size()));
    for (int c = 1; c <= headers.size(); ++c) {
        book.SetCellText(1, c, headers[c - 1]);
        book.SetColWidth(c, c, widths[size_t(c - 1)]);
    }
    book.SetFrozen(1, 0);
}

}  // namespace

TFrm_delPersno::TFrm_delPersno(AppContext& ctx, Month month, QWidget* parent)
    : QDialog(parent), ctx_(ctx), month_(month) {
    setObjectName(QStringLiteral("Frm_delPersno"));
    setWindowTitle(QStringLiteral("批量人员删除"));
    setModal(true);
    resize(900, 560);
    PlaceWhenShown(this);

    SetUpSheet(book1_, {QStringLiteral("姓名"), QStringLiteral("姓名编号"), QStringLiteral("备注")}, {80, 100, 120});
    SetUpSheet(book2_,
               {QStringLiteral("姓名"), QStringLiteral("姓名编号"), QStringLiteral("性别"), QStringLiteral("出生年月"),
                QStringLiteral("学历"), QStringLiteral("现任职务（岗位）")},
               {70, 90, 40, 70, 80, 110});

    Label1 = new QLabel(QStringLiteral("查询人员输入："), this);
    Label2 = new QLabel(QStringLiteral("查询人员结果："), this);
    view1_ = NewEntrySheet(book1_, this, ctx_.ui);
    view2_ = NewEntrySheet(book2_, this, ctx_.ui);
    BitBtn1 = new QPushButton(QStringLiteral("查询"), this);
    BitBtn2 = new QPushButton(QStringLiteral("关闭"), this);
    sb0_ = new QLabel(this);
    sb1_ = new QLabel(this);
    sb0_->setMinimumWidth(200);
    for (QLabel* l : {sb0_, sb1_}) {
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
    }

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Label2, 0, 1);
    grid->addWidget(view1_, 1, 0);
    grid->addWidget(view2_, 1, 1);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    grid->setRowStretch(1, 1);  // the sheets take the height, not their captions
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* status = new QHBoxLayout;
    status->addWidget(sb0_);
    status->addWidget(sb1_, 1);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid, 1);
    top->addLayout(buttons);
    top->addLayout(status);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { Run([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { Run([this] { BitBtn2Click(); }); });

    PopupMenu1 = NewStaffSheetMenu(this, QStringLiteral("删除整条"));
    PopupMenu2 = new QMenu(this);
    PopupMenu2->addAction(QStringLiteral("删除整条"), this, [this] { Run([this] { N7Click(); }); });
    N9 = PopupMenu2->addAction(QStringLiteral("清空"), this, [this] { Run([this] { N9Click(); }); });
    N9->setEnabled(false);  // only the list of a successful 查询 in this dialog is deleted from
    connect(view1_, &SheetView::RClick, this, [this](int, int) { PopupMenu1->popup(QCursor::pos()); });
    connect(view2_, &SheetView::RClick, this, [this](int, int) { PopupMenu2->popup(QCursor::pos()); });

    // An earlier session's list must never be what 清空 deletes from.
    Run([this] { ClearDelScratch(ctx_.db); });
}

TFrm_delPersno::~TFrm_delPersno() = default;

void TFrm_delPersno::Run(const std::function<void()>& handler) { Guarded(ctx_.ui, handler); }

QString TFrm_delPersno::Status(int panel) const { return panel == 0 ? sb0_->text() : sb1_->text(); }
bool TFrm_delPersno::ClearEnabled() const { return N9->isEnabled(); }

void TFrm_delPersno::ClearRight() { book2_.ClearRange(2, 1, book2_.MaxRow(), 6, TSheetBook::ClearContents); }

void TFrm_delPersno::BitBtn1Click() {
    view1_->CommitPendingEdit();
    std::vector<DelInput> input;
    for (int r = 2; r <= book1_.MaxRow() && !book1_.GetCellText(r, 2).isEmpty(); ++r)
        input.push_back({book1_.GetCellText(r, 1), book1_.GetCellText(r, 2), book1_.GetCellText(r, 3)});
    try {
        StoreDelQuery(ctx_.db, month_, input);
    } catch (const db::Error& e) {
        ClearRight();
        N9->setEnabled(false);
        sb0_->clear();
        ctx_.ui.MessageDlg(QStringLiteral("查询失败：") + e.Text(), DlgKind::Error, DlgButtons::Ok);
        return;
    }
    ShowMatches();
    N9->setEnabled(true);
    if (ListUnsaved) {
        // The query reads the stored list; persons only on the monthly list's sheet are not in it.
        const QString note = month_.Text() + QStringLiteral("月名册尚未保存，查询只能查到已保存的人员。");
        sb1_->setText(QStringLiteral("提示：") + note);
        ctx_.ui.Info(note + QStringLiteral("\n请先保存本月名册，再核对删除！"));
    }
}

void TFrm_delPersno::ShowMatches() {
    ClearRight();
    const std::vector<DelMatch> m = DelMatches(ctx_.db, month_);
    sb0_->setText(QStringLiteral("查询结果：共有 %1 条记录！").arg(m.size()));
    sb1_->setText(QStringLiteral("提示：没有查到的人，可能已经不在本月中或是你输入的姓名编号有误！"));
    book2_.BeginUpdate();
    int r = 2;
    for (const DelMatch& x : m) {
        const QString v[] = {x.sName, x.sNumber, x.sTsex, x.sBirth, x.sTEdu, x.sGw};
        for (int c = 1; c <= 6; ++c) book2_.SetCellText(r, c, v[c - 1]);
        ++r;
    }
    book2_.EndUpdate();
}

void TFrm_delPersno::N9Click() {
    if (!N9->isEnabled()) return;
    if (!ctx_.ui.AskYesNoDefaultNo(QStringLiteral("请慎重清空！确认清空？"))) return;
    deleted_ += DeleteDelMatches(ctx_.db, month_);
    ShowMatches();
    sb0_->setText(QStringLiteral("清空成功！"));
    ctx_.ui.Info(QStringLiteral("清空成功！"));
    ClearRight();
    N9->setEnabled(false);
}

void TFrm_delPersno::N7Click() {
    view2_->CommitPendingEdit();
    const int row = book2_.SelStartRow();
    const QString number = row >= 2 ? RtlTrim(book2_.GetCellText(row, 2)) : QString();
    if (number.isEmpty()) {
        // Nothing shown is selected: no row of the month may go by an empty number.
        ctx_.ui.Info(QStringLiteral("请先选中查询结果中要删除的人员。"));
        return;
    }
    if (!ctx_.ui.AskYesNoDefaultNo(QStringLiteral("确定删除？"))) return;
    deleted_ += DeleteDelNumber(ctx_.db, month_, number);
    ShowMatches();
    ctx_.ui.Info(QStringLiteral("删除成功！"));
}

void TFrm_delPersno::N1Click() { view1_->Edit(SheetView::EditOp::InsertRows); }
void TFrm_delPersno::N2Click() { view1_->Edit(SheetView::EditOp::DeleteRows); }
void TFrm_delPersno::N4Click() { view1_->Edit(SheetView::EditOp::Copy); }
void TFrm_delPersno::N5Click() { view1_->Edit(SheetView::EditOp::Paste); }
void TFrm_delPersno::N6Click() { view1_->Edit(SheetView::EditOp::Cut); }

void TFrm_delPersno::BitBtn2Click() { reject(); }

void TFrm_delPersno::done(int r) {
    // The monthly list shows the month again however this dialog closes, when it deleted rows.
    if (!refreshed_ && deleted_ > 0) {
        refreshed_ = true;
        if (OpenerRefresh) Guarded(ctx_.ui, OpenerRefresh);
    }
    QDialog::done(r);
}

DelPersnoForm::DelPersnoForm(AppContext& ctx, Month month, QWidget* parent)
    : form_(std::make_unique<TFrm_delPersno>(ctx, month, parent ? parent : DialogParent(ctx))) {}
DelPersnoForm::~DelPersnoForm() = default;
void DelPersnoForm::SetOpenerRefresh(std::function<void()> refresh) { form_->OpenerRefresh = std::move(refresh); }
void DelPersnoForm::SetListUnsaved(bool unsaved) { form_->ListUnsaved = unsaved; }
void DelPersnoForm::ShowModal() { form_->exec(); }
void DelPersnoForm::ShowModeless(std::unique_ptr<IForm>) { form_->exec(); }

}  // namespace qm
