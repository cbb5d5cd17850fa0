#pragma once
// What the quarterly and the annual wage report windows add to the report skeleton: the
// title over the head, the buttons spaced in the middle under the sheet, and the window's own
// progress bar under them.

#include "platform/BarProgress.h"
#include "reports/ReportWindow.h"

#include <memory>

class QGridLayout;
class QLabel;
class QProgressBar;

namespace qm {

class WageReportWindow : public ReportWindow {
public:
    ~WageReportWindow() override;

    QLabel* Label1 = nullptr;
    QProgressBar* Pb = nullptr;

protected:
    WageReportWindow(AppContext& ctx, QWidget* window) : ReportWindow(ctx, window, Opening::ShownThenComputed) {}
    // Makes the shared widgets after the form's own and lays the window out: title,
    // `underTitle` if any, `head`, sheet, buttons, bar.
    void Build(QLabel* underTitle, QGridLayout* head);

    std::unique_ptr<BarProgress> pb_;
};

}  // namespace qm
