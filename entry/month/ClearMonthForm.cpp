#include "entry/month/ClearMonthForm.h"

#include "core/base/AppContext.h"
#include "core/base/UiService.h"
#include "core/db/Errors.h"
#include "core/unit/DataClearing.h"
#include "platform/FormPlacement.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qm {

const QString kBadMonthText = QStringLiteral("请输入1-12的月份！");

namespace {

const QString kAskText = QStringLiteral("请慎重处理，一旦清空，无法恢复！");

// The common face of both dialogs: R2, then R1 with CB1 and "月", then the two buttons.
template <class D>
void Build(D* d, const QString& caption, const QString& allText) {
    d->setWindowTitle(caption);
    d->R2 = new QRadioButton(allText, d);
    d->R1 = new QRadioButton(QStringLiteral("最后输入月度数据"), d);
    d->CB1 = new QComboBox(d);
    d->CB1->setEditable(true);
    d->CB1->setMinimumWidth(70);
    d->BitBtn1 = new QPushButton(QStringLiteral("确定"), d);
    d->BitBtn2 = new QPushButton(QStringLiteral("取消"), d);

    auto* month = new QHBoxLayout;
    month->addWidget(d->R1);
    month->addWidget(d->CB1);
    month->addWidget(new QLabel(QStringLiteral("月"), d));
    month->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(d->BitBtn1);
    buttons->addWidget(d->BitBtn2);
    buttons->addStretch();
    auto* v = new QVBoxLayout(d);
    v->setContentsMargins(24, 18, 24, 14);
    v->setSpacing(12);
    v->addWidget(d->R2);
    v->addLayout(month);
    v->addStretch();
    v->addLayout(buttons);
    d->setFixedSize(320, 160);

    QObject::connect(d->BitBtn1, &QPushButton::clicked, d, [d] { Guarded(d->ctx().ui, [d] { d->BitBtn1Click(); }); });
    QObject::connect(d->BitBtn2, &QPushButton::clicked, d, [d] { d->BitBtn2Click(); });
}

void Fill(QComboBox* cb, std::optional<int> last) {
    if (!last) return;  // keeps its design text
    cb->clear();
    cb->addItem(QString::number(*last));
    cb->setCurrentIndex(0);
}

// The month of R1, checked before anything is asked or deleted.
bool MonthOf(UiService& ui, QComboBox* cb, int& m) {
    const auto parsed = DataClearing::ParseMonth(cb->currentText());
    if (!parsed) {
        ui.Info(kBadMonthText);
        return false;
    }
    m = *parsed;
    return true;
}

}  // namespace

// ---------------------------------------------------------------- monthly staff

TFrm_clearChMon::TFrm_clearChMon(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    Build(this, QStringLiteral("清空从业人员选项"), QStringLiteral("全部月度从业人员数据"));
    R2->setChecked(true);
    PlaceWhenShown(this);
    FormShow();
}

void TFrm_clearChMon::ShowModal() { exec(); }
void TFrm_clearChMon::ShowModeless(std::unique_ptr<IForm> self) {
    self.release();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

void TFrm_clearChMon::FormShow() { Fill(CB1, DataClearing(ctx_.db).LastStaffMonth()); }

void TFrm_clearChMon::BitBtn1Click() {
    if (ctx_.ui.AskYesNo(kAskText, DlgKind::Information)) {
        // The month is checked only once the person has said Yes; a refused month deletes
        // nothing and leaves the dialog open, like any other failed clearing.
        int m = 0;
        if (R1->isChecked() && !MonthOf(ctx_.ui, CB1, m)) return;
        DataClearing clearing(ctx_.db);
        // A failure rolls back, is shown, and leaves the dialog open.
        if (R2->isChecked()) {
            clearing.ClearAllMonthlyStaff();
            ctx_.ui.Plain(QStringLiteral("成功清空全部月度数据！"));
        } else if (R1->isChecked()) {
            clearing.ClearStaffMonth(m);
            ctx_.ui.Plain(QStringLiteral("成功清空 %1 月份数据！").arg(m));
        }
    }
    close();
    if (ctx_.main) ctx_.main->RefreshMonthMenus();
}

void TFrm_clearChMon::BitBtn2Click() { close(); }

// ---------------------------------------------------------------- wages

TFrm_clearChWage::TFrm_clearChWage(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    Build(this, QStringLiteral("清空工资数据选项"), QStringLiteral("全部工资数据"));
    PlaceWhenShown(this);
    FormShow();
}

void TFrm_clearChWage::ShowModal() { exec(); }
void TFrm_clearChWage::ShowModeless(std::unique_ptr<IForm> self) {
    self.release();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

void TFrm_clearChWage::FormShow() { Fill(CB1, DataClearing(ctx_.db).LastWageMonth()); }

void TFrm_clearChWage::BitBtn1Click() {
    if (ctx_.ui.AskYesNo(kAskText, DlgKind::Information)) {
        int m = 0;
        if (R1->isChecked() && !MonthOf(ctx_.ui, CB1, m)) return;
        DataClearing clearing(ctx_.db);
        if (R2->isChecked()) {
            clearing.ClearAllWages();
            ctx_.ui.Plain(QStringLiteral("成功清空全部月度工资数据！"));
        } else if (R1->isChecked()) {
            clearing.ClearWageMonth(m);
            ctx_.ui.Plain(QStringLiteral("成功清空 %1 月份工资数据！").arg(m));
        }
    }
    if (ctx_.main) ctx_.main->RefreshMonthMenus();
    close();
}

void TFrm_clearChWage::BitBtn2Click() { close(); }

}  // namespace qm
