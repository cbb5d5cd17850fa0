#include "shell/MainWindow.h"

#include "platform/Errors.h"
#include "platform/UiService.h"
#include "shell/DataModule.h"
#include "shell/FormFactory.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

namespace qm {

class TFrm_main::BarProgress : public Progress {
public:
    explicit BarProgress(QProgressBar*& bar) : bar_(bar) {}
    int Position() const override { return bar_ ? bar_->value() : 0; }

protected:
    void Show(int v) override {
        if (!bar_) return;
        bar_->setValue(v);
        bar_->repaint();  // work does not return to the event loop until it ends
    }

private:
    QProgressBar*& bar_;
};

TFrm_main::TFrm_main(TDataModule1& dm, UiService& ui, AppPaths paths) : dm_(dm), ui_(ui) {
    setWindowTitle(kAppTitle);
    pb_ = std::make_unique<BarProgress>(bar_);
    ctx_ = std::make_unique<AppContext>(AppContext{dm_.ADOConn, ui_, std::move(paths), state, *pb_, this, nullptr, this});
    forms_ = std::make_unique<FormFactory>(*ctx_);
    ctx_->forms = forms_.get();

    panel0_ = new QLabel(this);
    panel0_->setFixedWidth(400);
    panel1_ = new QLabel(this);
    panel1_->setFixedWidth(50);
    statusBar()->addWidget(panel0_);
    statusBar()->addWidget(panel1_);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    statusBar()->addPermanentWidget(bar_, 1);
    resize(1024, 700);
}

TFrm_main::~TFrm_main() = default;

void TFrm_main::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (shown_) return;  // restoring from minimised shows the window again
    shown_ = true;
    Guarded(ui_, [&] { FormShow(); });
}

void TFrm_main::closeEvent(QCloseEvent* e) {
    dm_.ADOConn.Close();
    QMainWindow::closeEvent(e);
}

void TFrm_main::FormShow() {
    AppPaths::Ensure(ctx_->paths.Error());
    RefreshMonthMenus();
    RefreshInitialDataMenus();
    if (!LoadUnitInfo()) setWindowTitle(kAppTitle + QStringLiteral("[未登记]"));
}

void TFrm_main::RefreshMonthMenus() {
    db::Query q(dm_.ADOConn);
    q.Open(QStringLiteral("select Max(CInt(sMon)) as num from Wage_Info"));
    state.MaxWageMonth = q.FieldByName(QStringLiteral("num")).IsNull() ? QStringLiteral("0")
                                                                        : q.FieldByName(QStringLiteral("num")).AsString();
    state.InitialCleared = 0;
}

void TFrm_main::RefreshInitialDataMenus() {}

bool TFrm_main::N34Click() { return false; }

bool TFrm_main::LoadUnitInfo() {
    db::Query q(dm_.ADOConn);
    q.Open(QStringLiteral("select * from Dep_Info where flag='1'"));
    if (q.Eof()) return false;
    state.DepNo = q.FieldByName(QStringLiteral("DepNo")).AsString();
    state.DepName = q.FieldByName(QStringLiteral("DepName")).AsString();
    state.DepType = q.FieldByName(QStringLiteral("DepType")).AsString();
    state.DepInfo = q.FieldByName(QStringLiteral("DepInfo")).AsString().trimmed();
    state.CreateMon = q.FieldByName(QStringLiteral("CreateMon")).AsString().trimmed();
    return true;
}

bool TFrm_main::HasMonthData(const QString&) { return false; }
bool TFrm_main::CheckMonthDataErrors(const QString&) { return false; }

void TFrm_main::ShowStatus(const QString& text) { panel0_->setText(text); }

}  // namespace qm
