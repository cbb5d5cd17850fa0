#include "entry/wage/WageSheetForm.h"

#include "core/base/UiService.h"
#include "core/db/Errors.h"
#include "core/sheet/SheetTemplate.h"
#include "entry/EntrySheet.h"
#include "entry/wage/WageErrorListForm.h"
#include "platform/FormPlacement.h"
#include "sheet/SheetView.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace qm {

TFrm_mon::TFrm_mon(AppContext& ctx, Month month, QWidget* parent)
    : QDialog(parent), ctx_(ctx), sheet_(ctx, book_, month) {
    ApplySheetTemplate(book_, QStringLiteral("wage"));
    // The data rows in the sheet's small font; the header keeps the template's.
    book_.SetSelection(2, 1, book_.MaxRow(), 8);
    book_.SetFont(QStringLiteral("fnt"), 8);
    book_.SetSelection(2, 2, 2, 3);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(8, 8, 8, 0);
    label1_ = AddTitle(this, root);

    view_ = NewEntrySheet(book_, this, ctx_.ui);
    root->addWidget(view_, 1);

    auto* buttons = new QHBoxLayout;
    auto add = [&](const QString& text, auto slot) { return AddGuardedButton(this, buttons, ctx_.ui, text, slot); };
    // "导入上一月" has no action behind it, so it is not offered.
    bitBtn2_ = add(QStringLiteral("编辑"), &TFrm_mon::BitBtn2Click);
    b5_ = add(QStringLiteral("导入本月名册"), &TFrm_mon::B5Click);
    bitBtn1_ = add(QStringLiteral("核实名册"), &TFrm_mon::BitBtn1Click);
    b1_ = add(QStringLiteral("检查/合计/存储"), &TFrm_mon::BitBtn3Click);
    b2_ = add(QStringLiteral("显示错误"), &TFrm_mon::B2Click);
    buttons->addStretch(1);
    b3_ = new QPushButton(QStringLiteral("关   闭"), this);
    b3_->setAutoDefault(false);
    connect(b3_, &QPushButton::clicked, this, &QDialog::close);
    buttons->addWidget(b3_);
    root->addLayout(buttons);

    sb_ = new QStatusBar(this);
    sb_->setSizeGripEnabled(false);
    sbCount_ = new QLabel(this);
    sbCount_->setMinimumWidth(90);
    sb_->addWidget(sbCount_);
    sb_->addWidget(
        new QLabel(QStringLiteral("提示：'姓名编号'、'姓名'出现红色表明库中无此人，'合计'红色表明超出限额。"), this),
        1);
    root->addWidget(sb_);

    connect(view_, &SheetView::RClick, this, [this](int r, int c) { ShowPopup(r, c); });
    resize(748, 620);
    PlaceWhenShown(this);
}

TFrm_mon::~TFrm_mon() { ReleaseStaffList(); }

void TFrm_mon::ShowModal() {
    FormShow();
    exec();
}

void TFrm_mon::ShowModeless(std::unique_ptr<IForm> self) {
    setAttribute(Qt::WA_DeleteOnClose);
    (void)self.release();  // the widget frees itself when it closes
    FormShow();
    show();
}

void TFrm_mon::FormShow() {
    const QString caption = sheet_.MonthText() + QStringLiteral("月份工资输入");
    setWindowTitle(caption);
    label1_->setText(caption);
    SetEditMode(false);
    const std::optional<int> n = sheet_.Load();
    if (n)
        SetCount(*n);
    else
        sbCount_->clear();
    // The first person's number is current, scrolled into sight: typing goes straight into it.
    if (view_) view_->GoToCell(kWageFirstRow, wagecol::Number);
}

bool TFrm_mon::EditMode() const { return b5_->isEnabled(); }

QString TFrm_mon::StatusText() const { return sbCount_->text(); }

void TFrm_mon::SetEditMode(bool on) {
    bitBtn2_->setText(on ? QStringLiteral("取消") : QStringLiteral("编辑"));
    b5_->setEnabled(on);
    b1_->setEnabled(on);
}

void TFrm_mon::SetCount(int n) { sbCount_->setText(WageCountText(n)); }

void TFrm_mon::BitBtn2Click() { SetEditMode(!EditMode()); }

void TFrm_mon::B5Click() {
    view_->CommitPendingEdit();
    if (const auto n = sheet_.ImportRoster()) SetCount(*n);
}

void TFrm_mon::BitBtn3Click() {
    view_->CommitPendingEdit();
    SaveSheet();
}

bool TFrm_mon::SaveSheet() {
    if (!sheet_.Save()) return false;
    SetEditMode(false);
    SetCount(CountWageLines(book_));
    return true;
}

void TFrm_mon::B2Click() {
    view_->CommitPendingEdit();
    // A refused or failed save keeps the rows typed and the list shut.
    if (!sheet_.Edits().SettleBeforeStoringForm(
            ctx_.ui, [this] { return SaveSheet(); }, [this] { FormShow(); }))
        return;
    if (!sheet_.HasErrors()) {
        ctx_.ui.MessageDlg(QStringLiteral("没有错误信息！"), DlgKind::Confirmation, DlgButtons::Ok);
        return;
    }
    TFrm_wrontWage list(ctx_, sheet_.Month(), this);
    // The sheet shows the stored month and stays shut while the list is open: what the list
    // stored is shown at once; a list that stored nothing leaves the sheet as it is.
    list.SetReloadOpener([this, &list] {
        if (list.Stored()) FormShow();
    });
    list.ShowModal();
}

void TFrm_mon::BitBtn1Click() {
    if (monput_) {
        monput_->show();
        monput_->raise();
        monput_->activateWindow();
        return;
    }
    if (!ctx_.forms) return;
    // This sheet is modal, so the staff list must be a window of its own below this one:
    // created with this dialog as its parent, Qt leaves it usable while the sheet is open.
    std::unique_ptr<IForm> form =
        ctx_.forms->Create(QStringLiteral("TFrm_monput"), {.month = sheet_.Month(), .parent = this});
    if (!form) return;
    if (auto* w = dynamic_cast<QWidget*>(form.get())) monput_ = w;
    IForm* raw = form.get();
    raw->ShowModeless(std::move(form));
}

void TFrm_mon::ReleaseStaffList() {
    // The staff list outlives this sheet: hand it back to the main window, still open.
    if (!monput_ || monput_->parentWidget() != this) return;
    QWidget* w = monput_;
    const bool visible = w->isVisible();
    w->setParent(ctx_.mainWidget, w->windowFlags() | Qt::Window);
    if (visible) w->show();
    monput_ = nullptr;
}

void TFrm_mon::reject() {
    view_->CommitPendingEdit();
    if (!sheet_.Edits().MayClose(ctx_.ui)) return;
    QDialog::reject();
}

void TFrm_mon::done(int r) {
    ReleaseStaffList();
    QDialog::done(r);
}

void TFrm_mon::ShowPopup(int, int) {
    QMenu menu(this);
    auto item = [&](const QString& text, auto fn) {
        connect(menu.addAction(text), &QAction::triggered, this, [this, fn] { Guarded(ctx_.ui, fn); });
    };
    item(QStringLiteral("插入"), [this] { book_.EditInsert(3); });
    item(QStringLiteral("整条删除"), [this] { book_.EditDelete(3); });
    menu.addSeparator();
    item(QStringLiteral("复制"), [this] { book_.EditCopy(); });
    item(QStringLiteral("粘贴"), [this] { book_.EditPaste(); });
    item(QStringLiteral("剪切"), [this] { book_.EditCut(); });
    menu.exec(QCursor::pos());
}

}  // namespace qm
