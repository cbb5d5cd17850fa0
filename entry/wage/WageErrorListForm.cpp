#include "entry/wage/WageErrorListForm.h"

#include "core/db/Errors.h"
#include "core/sheet/SheetTemplate.h"
#include "entry/EntrySheet.h"
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

TFrm_wrontWage::TFrm_wrontWage(AppContext& ctx, Month month, QWidget* parent)
    : QDialog(parent), ctx_(ctx), list_(ctx, book_, month) {
    ApplySheetTemplate(book_, QStringLiteral("wagewrong"));
    setWindowTitle(QStringLiteral("错误显示"));

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(8, 8, 8, 0);
    label1_ = AddTitle(this, root);
    auto* label2 =
        new QLabel(QStringLiteral("注意：请务必改正错误工资数据，或者确认核实型错误，否则将产生错误！"), this);
    QFont nf = label2->font();
    nf.setBold(true);
    label2->setFont(nf);
    label2->setStyleSheet(QStringLiteral("color: red"));
    label2->setFixedWidth(500);
    root->addWidget(label2, 0, Qt::AlignHCenter);

    view_ = NewEntrySheet(book_, this, ctx_.ui);
    root->addWidget(view_, 1);

    auto* buttons = new QHBoxLayout;
    auto add = [&](const QString& text, auto slot) { AddGuardedButton(this, buttons, ctx_.ui, text, slot); };
    add(QStringLiteral("工资审核性错误 [确认]    "), &TFrm_wrontWage::Button1Click);
    add(QStringLiteral("导出名单"), &TFrm_wrontWage::BitBtn1Click);
    add(QStringLiteral("检查/合计/保存   "), &TFrm_wrontWage::B1Click);
    buttons->addStretch(1);
    add(QStringLiteral("取消"), &TFrm_wrontWage::BitBtn2Click);
    root->addLayout(buttons);

    sb_ = new QStatusBar(this);
    sb_->setSizeGripEnabled(false);
    sbCount_ = new QLabel(this);
    sb_->addWidget(sbCount_, 1);
    root->addWidget(sb_);

    connect(view_, &SheetView::Click, this, [this](int r, int) { WageErrorRow = r; });
    connect(view_, &SheetView::RClick, this, [this](int r, int) {
        WageErrorRow = r;
        QMenu menu(this);
        auto item = [&](const QString& text, auto fn) {
            connect(menu.addAction(text), &QAction::triggered, this, [this, fn] { Guarded(ctx_.ui, fn); });
        };
        item(QStringLiteral("删除"), [this] { N1Click(); });
        menu.addSeparator();
        item(QStringLiteral("复制"), [this] { book_.EditCopy(); });
        item(QStringLiteral("粘帖"), [this] { book_.EditPaste(); });
        item(QStringLiteral("剪贴"), [this] { book_.EditCut(); });
        menu.exec(QCursor::pos());
    });
    resize(748, 560);
    PlaceWhenShown(this);
}

void TFrm_wrontWage::ShowModal() {
    if (FormShow() == 0) return;  // nothing to correct: the opener was reloaded
    exec();
}

void TFrm_wrontWage::ShowModeless(std::unique_ptr<IForm> self) {
    setAttribute(Qt::WA_DeleteOnClose);
    (void)self.release();
    if (FormShow() == 0) {
        deleteLater();
        return;
    }
    show();
}

int TFrm_wrontWage::FormShow() {
    const QString caption = WageErrorCaption(list_.Month());
    setWindowTitle(caption);
    label1_->setText(caption);
    const int n = list_.Load();
    sbCount_->setText(WageErrorCountText(n));
    if (n == 0) CloseAndReloadOpener();
    return n;
}

void TFrm_wrontWage::CloseAndReloadOpener() {
    if (isVisible())
        close();  // done() reloads the opener
    else
        ReloadOpenerOnce();
}

void TFrm_wrontWage::ReloadOpenerOnce() {
    if (closing_) return;
    closing_ = true;
    if (reloadOpener_) reloadOpener_();
}

void TFrm_wrontWage::done(int r) {
    // However the list closes (取消, the window's close box, no rows left), the sheet reloads.
    ReloadOpenerOnce();
    QDialog::done(r);
}

void TFrm_wrontWage::B1Click() {
    view_->CommitPendingEdit();
    if (!list_.Recheck()) return;
    sbCount_->setText(WageErrorCountText(list_.Count()));
    if (list_.Count() == 0) CloseAndReloadOpener();
}

void TFrm_wrontWage::Button1Click() {
    list_.Accept();
    sbCount_->setText(WageErrorCountText(list_.Count()));
    if (list_.Count() == 0) CloseAndReloadOpener();
}

void TFrm_wrontWage::N1Click() {
    list_.DeleteRow(WageErrorRow);
    sbCount_->setText(WageErrorCountText(list_.Count()));
    if (list_.Count() == 0) CloseAndReloadOpener();
}

void TFrm_wrontWage::BitBtn1Click() {
    view_->CommitPendingEdit();
    list_.Export();
}

void TFrm_wrontWage::BitBtn2Click() { CloseAndReloadOpener(); }

}  // namespace qm
