#include "reports/PaymentListForm.h"

#include "core/base/UiService.h"
#include "core/db/Errors.h"
#include "core/report/PaymentList.h"
#include "core/sheet/SheetTemplate.h"
#include "platform/FormPlacement.h"
#include "reports/WindowFit.h"
#include "sheet/SheetView.h"

#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace qm {
namespace {

// Each column as wide as the text of `widest` that needs the most room, never narrower than the
// template made it: a large unit's totals run to ten digits and more, and a figure cut short
// cannot be read.
void WidenColumnsToTexts(TSheetBook& book, const SheetView& view, const report::PaymentWidestRows& widest) {
    const QTableView* t = view.Table();
    for (int col = 1; col < int(widest.size()); ++col) {
        const int row = widest[size_t(col)];
        if (row <= 0 || t->isColumnHidden(col - 1)) continue;
        // The grid line takes the cell's last pixel column.
        const int need = t->sizeHintForIndex(t->model()->index(row - 1, col - 1)).width() + (t->showGrid() ? 1 : 0);
        if (need > book.ColWidth(col)) book.SetColWidth(col, col, need);
    }
}

}  // namespace

// ---------------------------------------------------------------- TFrm_permonWage

TFrm_permonWage::TFrm_permonWage(AppContext& ctx, int from, int to, QWidget* parent, QDate today)
    : QDialog(parent), ctx_(ctx), from_(from), to_(to), today_(today) {
    ApplySheetTemplate(book_, QStringLiteral("permonwage"));
    PlaceWhenShown(this);  // centred on its opener, whole on the screen
    auto* root = new QVBoxLayout(this);
    label1_ = new QLabel(this);
    QFont tf = label1_->font();
    tf.setPointSize(14);
    tf.setBold(true);
    label1_->setFont(tf);
    label1_->setFixedWidth(450);
    label1_->setAlignment(Qt::AlignCenter);
    root->addWidget(label1_, 0, Qt::AlignHCenter);
    label2_ = new QLabel(this);
    root->addWidget(label2_, 0, Qt::AlignRight);

    view_ = new SheetView(book_, this);
    view_->UseSystemClipboard();
    root->addWidget(view_, 1);
    connect(view_, &SheetView::RClick, this, [this](int, int) {
        QMenu menu(this);
        connect(menu.addAction(QStringLiteral("复制")), &QAction::triggered, this,
                [this] { Guarded(ctx_.ui, [this] { N1Click(); }); });
        menu.exec(QCursor::pos());
    });

    auto* row = new QHBoxLayout;
    // "导  出" was never given an action; it stays hidden.
    auto* exportButton = new QPushButton(QStringLiteral("导  出"), this);
    exportButton->setVisible(false);
    row->addWidget(exportButton);
    row->addStretch(1);
    auto* cancel = new QPushButton(QStringLiteral("取  消"), this);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, [this] { SpeedButton2Click(); });
    row->addWidget(cancel);
    root->addLayout(row);
    resize(1000, 560);
}

void TFrm_permonWage::FormShow() {
    setWindowTitle(report::PaymentCaption(ctx_.state.DepName));
    label1_->setText(report::PaymentTitle(from_, to_));
    label2_->setText(report::PaymentDateLine(today_));
    const report::PaymentList list = report::BuildPaymentList(ctx_.db, from_, to_, &ctx_.pb);
    WidenColumnsToTexts(book_, *view_, report::FillPaymentSheet(book_, list));
    const QString problems = report::PaymentProblemsText(list);
    if (!problems.isEmpty()) ctx_.ui.Info(problems);
}

void TFrm_permonWage::N1Click() { view_->Edit(SheetView::EditOp::Copy); }

void TFrm_permonWage::SpeedButton2Click() { close(); }

// ---------------------------------------------------------------- TFrm_chooseMon

TFrm_chooseMon::TFrm_chooseMon(AppContext& ctx, QWidget* parent)
    : QDialog(parent), ctx_(ctx), choice_(ctx.db, ctx.ui, report::RangeChoice::Twin::BA) {
    setWindowTitle(QStringLiteral("选择输出期限"));
    auto* root = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    fromMon_ = new QComboBox(this);
    toMon_ = new QComboBox(this);
    fromMon_->setEditable(true);
    toMon_->setEditable(true);
    grid->addWidget(new QLabel(QStringLiteral("起始月："), this), 0, 0);
    grid->addWidget(fromMon_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("截止月："), this), 1, 0);
    grid->addWidget(toMon_, 1, 1);
    root->addLayout(grid);
    auto* row = new QHBoxLayout;
    auto* out = new QPushButton(QStringLiteral("输 出"), this);
    auto* close = new QPushButton(QStringLiteral("关 闭"), this);
    out->setAutoDefault(false);
    close->setAutoDefault(false);
    connect(out, &QPushButton::clicked, this, [this] { Guarded(ctx_.ui, [this] { BitBtn1Click(); }); });
    connect(close, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    row->addWidget(out);
    row->addWidget(close);
    root->addLayout(row);
}

bool TFrm_chooseMon::LoadMonths() {
    fromMon_->clear();
    toMon_->clear();
    if (!choice_.LoadMonths()) return false;
    fromMon_->addItems(choice_.Months());
    toMon_->addItems(choice_.Months());
    fromMon_->setCurrentIndex(0);
    toMon_->setCurrentIndex(0);
    return true;
}

void TFrm_chooseMon::ShowModal() { exec(); }

void TFrm_chooseMon::ShowModeless(std::unique_ptr<IForm> self) {
    setAttribute(Qt::WA_DeleteOnClose);
    (void)self.release();
    show();
}

void TFrm_chooseMon::BitBtn1Click() {
    // A month that is no whole number 1..12 is refused like a start after the end.
    const auto range = choice_.CheckRange(fromMon_->currentText(), toMon_->currentText());
    if (!range) return;
    TFrm_permonWage list(ctx_, range->from, range->to, this);
    list.FormShow();
    FitWindowToSheet(&list, list.View());
    list.exec();
    close();
}

}  // namespace qm
