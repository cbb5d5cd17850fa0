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

}  // namespace

const ClearMonthUse& ClearChMon() {
    static const ClearMonthUse use{
        QStringLiteral("清空从业人员选项"),
        QStringLiteral("全部月度从业人员数据"),
        true,
        false,
        [](DataClearing& d) { return d.LastStaffMonth(); },
        [](DataClearing& d) { d.ClearAllMonthlyStaff(); },
        [](DataClearing& d, int m) { d.ClearStaffMonth(m); },
        QStringLiteral("成功清空全部月度数据！"),
        QStringLiteral("成功清空 %1 月份数据！"),
    };
    return use;
}

const ClearMonthUse& ClearChWage() {
    static const ClearMonthUse use{
        QStringLiteral("清空工资数据选项"),
        QStringLiteral("全部工资数据"),
        false,
        true,
        [](DataClearing& d) { return d.LastWageMonth(); },
        [](DataClearing& d) { d.ClearAllWages(); },
        [](DataClearing& d, int m) { d.ClearWageMonth(m); },
        QStringLiteral("成功清空全部月度工资数据！"),
        QStringLiteral("成功清空 %1 月份工资数据！"),
    };
    return use;
}

ClearMonthDialog::ClearMonthDialog(AppContext& ctx, const ClearMonthUse& use, QWidget* parent)
    : QDialog(parent), ctx_(ctx), use_(use) {
    Build();
    R2->setChecked(use_.allChosen);
    PlaceWhenShown(this);
    FormShow();
}

// R2, then R1 with CB1 and "月", then the two buttons.
void ClearMonthDialog::Build() {
    setWindowTitle(use_.caption);
    R2 = new QRadioButton(use_.allText, this);
    R1 = new QRadioButton(QStringLiteral("最后输入月度数据"), this);
    CB1 = new QComboBox(this);
    CB1->setEditable(true);
    CB1->setMinimumWidth(70);
    BitBtn1 = new QPushButton(QStringLiteral("确定"), this);
    BitBtn2 = new QPushButton(QStringLiteral("取消"), this);

    auto* month = new QHBoxLayout;
    month->addWidget(R1);
    month->addWidget(CB1);
    month->addWidget(new QLabel(QStringLiteral("月"), this));
    month->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addStretch();
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(24, 18, 24, 14);
    v->setSpacing(12);
    v->addWidget(R2);
    v->addLayout(month);
    v->addStretch();
    v->addLayout(buttons);
    setFixedSize(320, 160);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
}

void ClearMonthDialog::ShowModal() { exec(); }
void ClearMonthDialog::ShowModeless(std::unique_ptr<IForm> self) {
    self.release();
    setAttribute(Qt::WA_DeleteOnClose);
    show();
}

void ClearMonthDialog::FormShow() {
    DataClearing clearing(ctx_.db);
    const std::optional<int> last = use_.lastMonth(clearing);
    if (!last) return;  // keeps its design text
    CB1->clear();
    CB1->addItem(QString::number(*last));
    CB1->setCurrentIndex(0);
}

std::optional<int> ClearMonthDialog::ChosenMonth() {
    const std::optional<int> m = DataClearing::ParseMonth(CB1->currentText());
    if (!m) ctx_.ui.Info(kBadMonthText);
    return m;
}

void ClearMonthDialog::BitBtn1Click() {
    // Yes deletes stored rows: No is the default.
    if (ctx_.ui.AskYesNoDefaultNo(kAskText, DlgKind::Information)) {
        // The month is checked only once the person has said Yes; a refused month deletes
        // nothing and leaves the dialog open, like any other failed clearing.
        std::optional<int> m;
        if (R1->isChecked() && !(m = ChosenMonth())) return;
        DataClearing clearing(ctx_.db);
        // A failure rolls back, is shown, and leaves the dialog open.
        if (R2->isChecked()) {
            use_.clearAll(clearing);
            ctx_.ui.Plain(use_.allDone);
        } else if (m) {
            use_.clearMonth(clearing, *m);
            ctx_.ui.Plain(use_.monthDone.arg(*m));
        }
    }
    if (use_.refreshBeforeClosing && ctx_.main) ctx_.main->RefreshMonthMenus();
    close();
    if (!use_.refreshBeforeClosing && ctx_.main) ctx_.main->RefreshMonthMenus();
}

void ClearMonthDialog::BitBtn2Click() { close(); }

}  // namespace qm
