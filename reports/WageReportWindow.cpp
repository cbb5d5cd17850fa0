#include "reports/WageReportWindow.h"

#include "core/base/AppContext.h"
#include "core/db/Errors.h"
#include "platform/FormPlacement.h"
#include "reports/WindowFit.h"
#include "sheet/SheetView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qm {

WageReportWindow::~WageReportWindow() = default;

void WageReportWindow::Build(QLabel* underTitle, QGridLayout* head) {
    QWidget* w = window_;
    PlaceWhenShown(w);  // centred on its opener, whole on the screen
    Label1 = new QLabel(QStringLiteral("从业人员及工资总额"), w);
    QFont title = Label1->font();
    title.setPixelSize(20);
    title.setBold(true);
    Label1->setFont(title);
    Label1->setAlignment(Qt::AlignCenter);
    view_ = new SheetView(book_, w);
    view_->UseSystemClipboard();
    BitBtn2 = new QPushButton(QStringLiteral("导出Excel"), w);
    BitBtn3 = new QPushButton(QStringLiteral("打印"), w);
    BitBtn4 = new QPushButton(QStringLiteral("生成上报"), w);
    BitBtn1 = new QPushButton(QStringLiteral("关闭"), w);
    Pb = new QProgressBar(w);
    Pb->setRange(0, 100);
    Pb->setValue(0);
    Pb->setTextVisible(false);
    Pb->setFixedHeight(14);
    pb_ = std::make_unique<BarProgress>(Pb);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {BitBtn2, BitBtn3, BitBtn4, BitBtn1}) {
        buttons->addWidget(b);
        buttons->addSpacing(12);
    }
    buttons->addStretch();
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(8, 8, 8, 2);
    v->addWidget(Label1);
    if (underTitle) v->addWidget(underTitle, 0, Qt::AlignHCenter);
    v->addLayout(head);
    v->addWidget(view_, 1);
    v->addLayout(buttons);
    v->addWidget(Pb);

    QObject::connect(BitBtn2, &QPushButton::clicked, w, [this] { Guarded(ctx_.ui, [this] { BitBtn2Click(); }); });
    QObject::connect(BitBtn3, &QPushButton::clicked, w, [this] { Guarded(ctx_.ui, [this] { BitBtn3Click(); }); });
    QObject::connect(BitBtn4, &QPushButton::clicked, w, [this] { Guarded(ctx_.ui, [this] { BitBtn4Click(); }); });
    QObject::connect(BitBtn1, &QPushButton::clicked, w, [this] { BitBtn1Click(); });
}

void WageReportWindow::BitBtn1Click() { window_->close(); }

void WageReportWindow::ShowOwned(std::unique_ptr<IForm> self) {
    self.release();
    window_->setAttribute(Qt::WA_DeleteOnClose);
    window_->show();
    Guarded(ctx_.ui, [this] { FormShow(); });
    FitToSheet();
}

void WageReportWindow::FitToSheet() { FitWindowToSheet(window_, view_); }

}  // namespace qm
