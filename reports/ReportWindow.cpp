#include "reports/ReportWindow.h"

#include "core/base/AppContext.h"
#include "core/db/Errors.h"
#include "platform/FormPlacement.h"
#include "reports/WindowFit.h"
#include "sheet/SheetView.h"

#include <QDialog>
#include <QPushButton>

namespace qm {

ReportWindow::ReportWindow(AppContext& ctx, QWidget* window, Opening opening)
    : ctx_(ctx), window_(window), opening_(opening) {
    PlaceWhenShown(window);  // centred on its opener, whole on the screen
}

ReportWindow::~ReportWindow() = default;

void ReportWindow::MakeSheetAndButtons() {
    QWidget* w = window_;
    view_ = new SheetView(book_, w);
    view_->UseSystemClipboard();
    BitBtn2 = new QPushButton(QStringLiteral("导出Excel"), w);
    BitBtn3 = new QPushButton(QStringLiteral("打印"), w);
    BitBtn4 = new QPushButton(QStringLiteral("生成上报"), w);
    BitBtn1 = new QPushButton(QStringLiteral("关闭"), w);
    QObject::connect(BitBtn2, &QPushButton::clicked, w, [this] { Guarded(ctx_.ui, [this] { BitBtn2Click(); }); });
    QObject::connect(BitBtn3, &QPushButton::clicked, w, [this] { Guarded(ctx_.ui, [this] { BitBtn3Click(); }); });
    QObject::connect(BitBtn4, &QPushButton::clicked, w, [this] { Guarded(ctx_.ui, [this] { BitBtn4Click(); }); });
    QObject::connect(BitBtn1, &QPushButton::clicked, w, [this] { Guarded(ctx_.ui, [this] { BitBtn1Click(); }); });
}

void ReportWindow::BitBtn1Click() { window_->close(); }

void ReportWindow::ComputeAndFit() {
    Guarded(ctx_.ui, [this] { FormShow(); });
    FitToSheet();
}

void ReportWindow::RunModal() {
    if (auto* dialog = qobject_cast<QDialog*>(window_)) {
        ComputeAndFit();
        dialog->exec();
        return;
    }
    // A free window is only shown without waiting; a modal use is the same window.
    window_->show();
    ComputeAndFit();
}

void ReportWindow::RunOwned(std::unique_ptr<IForm> self) {
    (void)self.release();
    window_->setAttribute(Qt::WA_DeleteOnClose);
    if (opening_ == Opening::ShownThenComputed) {
        window_->show();
        ComputeAndFit();
    } else {
        ComputeAndFit();
        window_->show();
    }
}

void ReportWindow::FitToSheet() { FitWindowToSheet(window_, view_); }

}  // namespace qm
