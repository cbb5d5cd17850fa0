#include "entry/staff/AllputForm.h"

#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/UiService.h"
#include "core/db/Errors.h"
#include "core/report/Upload.h"
#include "core/sheet/SheetTemplate.h"
#include "core/staff/StaffRowRules.h"
#include "entry/EntrySheet.h"
#include "entry/staff/WrongForm.h"
#include "platform/FormPlacement.h"
#include "sheet/SheetView.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace qm {

using namespace staffcol;

namespace {

const char* const kObjectNames[8] = {"sexCom", "YorN", "XL", "GW", "ZC", "JN", "Sg", "Role"};

// How many rows below the cell this sheet's party list reaches.
constexpr int kPartyListRows = 6;

// Layout by class: sheet (and rule line) width, form width, title left.
struct Widths {
    int sheet, form, titleLeft;
};
Widths WidthsFor(UnitClass cls) {
    if (cls.kind() == UnitClass::Kind::Other) return {870, 915, 300};
    if (cls.IsAboveSize()) return {920, 965, 300};
    return {1060, 1105, 400};
}

// Column widths of this sheet, narrower than the shared staff template's so that every shown
// column fits the sheet width of each layout (870, 920 and 1060 pixels).
constexpr int kColWidths[kStaffSheetTexts] = {58, 60, 32, 40, 40, 62, 44, 44, 66, 124, 62, 62, 76, 40, 40, 40, 90, 56};
constexpr int kHeaderHeight = 900;  // twips: three lines of the longest headers

constexpr int kSheetLeft = 19, kSheetTop = 136, kSheetHeight = 430, kFormHeight = 673;

}  // namespace

TFrm_allput::TFrm_allput(AppContext& ctx, std::optional<Month> month, QWidget* parent)
    : QDialog(parent ? parent : ctx.mainWidget), ctx_(ctx), registerMode_(month != Month::Start()) {
    setObjectName(QStringLiteral("Frm_allput"));
    setWindowTitle(QStringLiteral("期初输入"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    ApplySheetTemplate(book_, QStringLiteral("staff"));
    sheet_ = std::make_unique<AllputSheet>(book_, ctx_, ProgramCodeLists());
    Build();
    // The last other window of the program that was active: activation from it reloads.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* w) {
        if (!w || w == windowHandle()) return;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowHandle() == w) lastOther_ = top;
    });
}

TFrm_allput::~TFrm_allput() = default;

void TFrm_allput::Build() {
    resize(1102, kFormHeight);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont f = Label1->font();
    f.setPixelSize(24);
    f.setBold(true);
    Label1->setFont(f);
    Label1->setGeometry(300, 24, 400, 34);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(kSheetLeft, 78, 780, 20);
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(kSheetLeft, 102, 500, 20);
    Label4 = new QLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(kSheetLeft + 500, 102, 800, 20);
    GroupBox1 = new QFrame(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFrameShape(QFrame::HLine);
    GroupBox1->setFrameShadow(QFrame::Sunken);
    GroupBox1->setGeometry(kSheetLeft, 126, 1060, 7);

    SheetBook1 = NewEntrySheet(book_, this, ctx_.ui);
    SheetBook1->setObjectName(QStringLiteral("SheetBook1"));
    SheetBook1->setGeometry(kSheetLeft, kSheetTop, 1062, kSheetHeight);
    connect(SheetBook1, &SheetView::DblClick, this, [this](int r, int c) { Run([&] { SheetBook1DblClick(r, c); }); });
    // A block pasted by a key (Ctrl+V, Shift+Insert) gets the same fix-up as the pop-up's paste.
    connect(SheetBook1, &SheetView::KeyPasted, this, [this] { sheet_->PasteFixup(); });
    connect(SheetBook1, &SheetView::RClick, this, [this](int, int) { PopupMenu1->exec(QCursor::pos()); });

    Name = new QLineEdit(this);
    Name->setObjectName(QStringLiteral("Name"));
    Name->setGeometry(51, kSheetTop, 65, 21);
    Name->hide();
    Name->installEventFilter(this);
    connect(Name, &QLineEdit::editingFinished, this, [this] { Run([&] { NameExit(); }); });
    DT1 = new QComboBox(this);
    DT1->setObjectName(QStringLiteral("DT1"));
    DT1->setGeometry(269, kSheetTop, 58, 21);
    DT1->hide();
    DT1->installEventFilter(this);
    DT2 = new QComboBox(this);
    DT2->setObjectName(QStringLiteral("DT2"));
    DT2->setGeometry(327, kSheetTop, 46, 21);
    for (int m = 1; m <= 12; ++m) DT2->addItem(QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0')));
    DT2->setMaxVisibleItems(12);
    DT2->hide();
    DT2->installEventFilter(this);
    // Only a month the person picks writes the date (setting the index in code does not).
    connect(DT2, &QComboBox::activated, this, [this](int) { Run([&] { DT2Change(); }); });

    auto button = [this](const char* name, const QString& text, void (TFrm_allput::*fn)()) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, fn] { Run([&] { (this->*fn)(); }); });
        return b;
    };
    BitBtn1 = button("BitBtn1", QStringLiteral("阅读填写说明"), &TFrm_allput::BitBtn1Click);
    BitBtn4 = button("BitBtn4", QStringLiteral("仅显示错误"), &TFrm_allput::BitBtn4Click);
    BitBtn7 = button("BitBtn7", QStringLiteral("生成代码/审核/保存"), &TFrm_allput::BitBtn7Click);
    SpeedButton1 = button("SpeedButton1", QStringLiteral("清空"), &TFrm_allput::SpeedButton1Click);
    SBt = button("SBt", QStringLiteral("过录表上报"), &TFrm_allput::SBtClick);
    BitBtn5 = button("BitBtn5", QStringLiteral("关闭"), &TFrm_allput::BitBtn5Click);
    BitBtn4->setEnabled(false);
    const int by = kSheetTop + kSheetHeight + 14;
    BitBtn1->setGeometry(kSheetLeft, by, 120, 30);
    BitBtn4->setGeometry(kSheetLeft + 140, by, 110, 30);
    BitBtn7->setGeometry(kSheetLeft + 270, by, 160, 30);
    SpeedButton1->setGeometry(kSheetLeft + 450, by, 80, 30);
    SBt->setGeometry(kSheetLeft + 450, by, 110, 30);
    BitBtn5->setGeometry(kSheetLeft + 580, by, 80, 30);

    Sb = new QFrame(this);
    Sb->setObjectName(QStringLiteral("Sb"));
    Sb->setFrameShape(QFrame::StyledPanel);
    Sb->setGeometry(0, kFormHeight - 24, 1102, 24);
    SbPanel0 = new QLabel(Sb);
    SbPanel0->setGeometry(2, 2, 80, 20);
    SbPanel0->setFrameShape(QFrame::Panel);
    SbPanel0->setFrameShadow(QFrame::Sunken);
    SbPanel1 = new QLabel(Sb);
    SbPanel1->setGeometry(84, 2, 1014, 20);
    LayOutStatus();

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto item = [this](const char* name, const QString& text, void (TFrm_allput::*fn)()) {
        QAction* a = PopupMenu1->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, fn] { Run([&] { (this->*fn)(); }); });
    };
    item("N1", QStringLiteral("插入"), &TFrm_allput::N1Click);
    item("N2", QStringLiteral("整条删除"), &TFrm_allput::N2Click);
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N3"));
    item("N4", QStringLiteral("复制"), &TFrm_allput::N4Click);
    item("N5", QStringLiteral("粘贴"), &TFrm_allput::N5Click);
    item("N6", QStringLiteral("剪切"), &TFrm_allput::N6Click);
}

void TFrm_allput::Run(const std::function<void()>& handler) { Guarded(ctx_.ui, handler); }

void TFrm_allput::ShowModal() { exec(); }

void TFrm_allput::ShowModeless(std::unique_ptr<IForm> self) {
    self_ = std::move(self);
    setAttribute(Qt::WA_DeleteOnClose, false);
    connect(this, &QDialog::finished, this, [this] {
        (void)self_.release();  // deleteLater frees it
        deleteLater();
    });
    show();
}

void TFrm_allput::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (shown_) return;
    shown_ = true;
    skipNextActivate_ = true;  // the first activation runs here, once the form is up
    Run([&] {
        FormShow();
        FormActivate();
    });
}

bool TFrm_allput::ShouldReloadOnActivation(const QWidget* form, const QWidget* previous, bool dirty) {
    if (!previous || previous == form || dirty) return false;
    for (const QWidget* w = previous; w; w = w->parentWidget())
        if (w == form) return false;  // a box or dialog this form opened
    return true;
}

bool TFrm_allput::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && shown_) {
        if (skipNextActivate_) {
            skipNextActivate_ = false;
        } else if (ShouldReloadOnActivation(this, lastOther_, sheet_->Dirty())) {
            Run([&] { FormActivate(); });
        }
        lastOther_ = nullptr;
    }
    return QDialog::event(e);
}

bool TFrm_allput::eventFilter(QObject* watched, QEvent* e) {
    // Enter on the year goes on to the month; on the name or the month it writes the cell, and
    // the sheet moves on as its own Enter does.
    if ((watched == Name || watched == DT1 || watched == DT2) && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (watched == DT1) return focusNextChild();
            watched == Name ? NameExit() : DT2Change();
            SheetBook1->ReturnFromEditor(SheetView::StepOf(*k));
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TFrm_allput::CentreOnMain() { PlaceForm(this, ctx_.mainWidget); }

void TFrm_allput::FormShow() {
    ctx_.pb.SetPosition(0);
    Label1->setText(ctx_.state.DepClass.IsEnterprise() ? QStringLiteral("企事业单位人员情况表")
                                                       : QStringLiteral("机关单位人员情况表"));
    setWindowTitle(QStringLiteral("人员情况期初录入"));
    LoadCodeTables(ctx_.db, ctx_.state.DepClass.IsEnterprise() ? QStringLiteral("1") : QStringLiteral("0"));
    ctx_.pb.SetPosition(50);
    book_.SetRowHeight(2, book_.MaxRow(), TSheetBook::kDefaultRowHeight);
    ctx_.pb.SetPosition(100);
    ctx_.pb.SetPosition(0);
}

void TFrm_allput::FormActivate() {
    const Widths w = WidthsFor(ctx_.state.DepClass);
    sheet_->ApplyLayout();
    for (int c = 1; c <= kStaffSheetTexts; ++c)
        if (!book_.IsColHidden(c)) book_.SetColWidth(c, c, kColWidths[c - 1]);
    book_.SetRowHeight(1, 1, kHeaderHeight);
    Label1->move(w.titleLeft, Label1->y());
    SheetBook1->resize(w.sheet, kSheetHeight);
    GroupBox1->resize(w.sheet, GroupBox1->height());
    resize(w.form, kFormHeight);
    LayOutStatus();
    CentreOnMain();
    for (int i = 0; i < 8; ++i) {
        SheetObjectIds[size_t(i)] = book_.ObjectIdByName(QString::fromLatin1(kObjectNames[i]));
        if (SheetObjectIds[size_t(i)] >= 0) book_.ObjectVisible(SheetObjectIds[size_t(i)], false);
    }
    FillSheet();
    const bool entry = !registerMode_;
    SBt->setVisible(!entry);
    for (QWidget* c : {static_cast<QWidget*>(BitBtn5), static_cast<QWidget*>(SpeedButton1),
                       static_cast<QWidget*>(BitBtn7), static_cast<QWidget*>(BitBtn1), static_cast<QWidget*>(Label4)})
        c->setVisible(entry);
    if (!entry) {
        setWindowTitle(QStringLiteral("人员名册"));
        Label1->setText(QStringLiteral("企 事 业 单 位 人 员 名 册"));
    }
    Label1->resize(400, Label1->height());
    Label2->resize(780, Label2->height());
    Label3->resize(500, Label3->height());
    Label4->resize(800, Label4->height());
    sheet_->Recheck();
    sheet_->FillEditorLists();
    DT1->clear();
    DT1->addItems(AllputSheet::BirthYears());
    DT1->setCurrentIndex(AllputSheet::kBirthYearIndex);
    Paint();
}

void TFrm_allput::FillSheet() {
    HideEditors();
    sheet_->FillSheet();
    Paint();
}

void TFrm_allput::Paint() {
    Label2->setText(sheet_->UnitNameLabel());
    Label3->setText(sheet_->UnitCodeLabel());
    LayOutStatus();
    BitBtn4->setEnabled(sheet_->ErrorsEnabled());
}

void TFrm_allput::LayOutStatus() {
    static const QString note =
        QStringLiteral("  注：信息填写完整方能自动生成代码；保存前需审核通过。双击进入输入状态。");
    // A text that still does not fit is shown whole as the panel's tip.
    auto show = [](QLabel* panel, const QString& text, int width) {
        const int room = width - 2 * panel->frameWidth() - 4;
        const QString shown = panel->fontMetrics().elidedText(text, Qt::ElideRight, room);
        panel->setText(shown);
        panel->setToolTip(shown == text ? QString() : text);
    };
    Sb->setGeometry(0, height() - Sb->height(), width(), Sb->height());
    const QString status = sheet_->Status();
    const int inner = Sb->width() - 6;
    const int need = SbPanel0->fontMetrics().horizontalAdvance(status) + 2 * SbPanel0->frameWidth() + 8;
    const int w0 = std::clamp(need, 80, std::max(80, inner - 200));  // the note keeps some room
    SbPanel0->setGeometry(2, 2, w0, 20);
    show(SbPanel0, status, w0);
    SbPanel1->setGeometry(w0 + 4, 2, inner - w0 - 2, 20);
    show(SbPanel1, note, SbPanel1->width());
}

void TFrm_allput::HideEditors(int exceptObject, bool keepName, bool keepDates) {
    if (!keepName && Name->isVisible()) {
        nameOpen_ = false;
        Name->hide();
    }
    if (!keepDates) {
        DT1->hide();
        DT2->hide();
    }
    for (int i = 0; i < book_.ObjectCount(); ++i)
        if (i != exceptObject && book_.Object(i).visible) book_.ObjectVisible(i, false);
}

void TFrm_allput::SheetBook1DblClick(int nRow, int nCol) {
    EditCellRow = nRow;
    EditCellCol = nCol;
    const QRect cell = SheetBook1->CellRect(nRow, nCol).translated(SheetBook1->pos());
    if (nCol == staffcol::Name) {
        book_.ObjectVisible(book_.ObjectIdByName(QStringLiteral("sexCom")), false);
        if (nRow <= 2) return;
        HideEditors(-1, true, false);
        Name->setGeometry(cell.left(), cell.top(), std::max(65, cell.width()), std::max(21, cell.height()));
        Name->setText(book_.GetCellText(nRow, nCol));
        Name->show();
        Name->raise();
        Name->setFocus();
        nameOpen_ = true;
        return;
    }
    if (nCol == Birth) {
        if (nRow <= 2) return;
        HideEditors(-1, false, true);
        DT1->move(cell.left(), cell.top());
        DT2->move(cell.left() + DT1->width(), cell.top());
        DT2->setCurrentIndex(0);
        DT1->show();
        DT2->show();
        DT1->raise();
        DT2->raise();
        DT1->setFocus();
        return;
    }
    if (const std::optional<StaffAttr> a = AttrAtSheetCol(nCol)) {
        if (nRow <= 2) return;
        const int id = book_.ObjectIdByName(QString::fromLatin1(StaffListObject(*a)));
        if (id < 0) return;
        // On an above-size unit the yes/no list of column 14 reaches over the hidden columns to 18.
        const int x2 = nCol == FullTime && ctx_.state.DepClass.IsAboveSize() ? nCol + 3 : nCol;
        HideEditors(id);
        book_.SetObjectPos(id, nCol - 1, nRow - 1, x2, nRow + StaffListRows(*a, kPartyListRows));
        book_.ObjectVisible(id, true);
        book_.ObjectSelection(id, -1);
        book_.SetObjectLink(id, 2, nRow, nCol);
        return;
    }
    HideEditors();
}

void TFrm_allput::NameExit() {
    if (!nameOpen_) return;
    nameOpen_ = false;
    book_.SetCellText(EditCellRow, EditCellCol, Name->text());
    Name->hide();
    Name->clear();
}

void TFrm_allput::DT2Change() {
    const bool focused = DT1->hasFocus() || DT2->hasFocus();
    book_.SetCellText(EditCellRow, EditCellCol, DT1->currentText() + QLatin1Char('-') + DT2->currentText());
    DT1->hide();
    DT2->hide();
    if (focused) SheetBook1->ReturnFromEditor(std::nullopt);  // not on to the next button
}

void TFrm_allput::N1Click() {
    SheetBook1->Edit(SheetView::EditOp::InsertRows);
    sheet_->SetDirty(true);
    sheet_->SetStatus(QStringLiteral("有新记录插入，需要保存上表，请按[生成代码/审核/保存]按钮，重新审核保存。"));
    Paint();
}

void TFrm_allput::N2Click() {
    SheetBook1->Edit(SheetView::EditOp::DeleteRows);
    sheet_->SetDirty(true);
    sheet_->SetStatus(QStringLiteral("有记录被删除，需要保存上表，请按[生成代码/审核/保存]按钮，重新审核保存。"));
    Paint();
}

void TFrm_allput::N4Click() { SheetBook1->Edit(SheetView::EditOp::Copy); }

void TFrm_allput::N5Click() {
    SheetBook1->Edit(SheetView::EditOp::Paste);
    sheet_->PasteFixup();
    sheet_->SetStatus(QStringLiteral("上表已经更改，需要保存请按[生成代码/审核/保存]按钮，重新审核保存。"));
    Paint();
}

void TFrm_allput::N6Click() { SheetBook1->Edit(SheetView::EditOp::Cut); }

void TFrm_allput::BitBtn1Click() {
    // A missing document or no program for it is not reported.
    ctx_.ui.OpenDocument(ctx_.paths.FillingHelp());
}

void TFrm_allput::BitBtn4Click() {
    SheetBook1->CommitPendingEdit();
    NameExit();
    DT1->hide();
    DT2->hide();
    // The error list stores start-of-period rows: unsaved rows here are saved or given up
    // first, or the list stays shut, so that no save of this sheet is refused afterwards.
    const auto save = [this] {
        const AllputSheet::SaveResult r = sheet_->Save();
        Paint();
        return r == AllputSheet::SaveResult::Saved || r == AllputSheet::SaveResult::SavedWithErrors;
    };
    if (!registerMode_ && !sheet_->Edits().SettleBeforeStoringForm(ctx_.ui, save, [this] { FillSheet(); })) return;
    const bool rows = sheet_->ErrorListHasRows();
    Paint();
    if (!rows || !ctx_.forms) return;
    // Either mode lists the start-of-period rows.
    if (auto list = ctx_.forms->CreateAs<IWrongForm>(QStringLiteral("TFrm_wrong"), {Month::Start()})) {
        list->SetMonflag(QStringLiteral("0"));
        // The error list changed stored rows: show them (unless edits here are not stored).
        list->SetOpenerRefresh([this] {
            if (!sheet_->Dirty()) FillSheet();
        });
        list->ShowModal();
    }
}

void TFrm_allput::BitBtn5Click() { close(); }

void TFrm_allput::reject() {
    SheetBook1->CommitPendingEdit();
    NameExit();
    // The register cannot store its edits, so there is nothing to ask there.
    if (!registerMode_ && !sheet_->Edits().MayClose(ctx_.ui)) return;
    QDialog::reject();
}

void TFrm_allput::BitBtn7Click() {
    SheetBook1->CommitPendingEdit();
    NameExit();
    DT1->hide();
    DT2->hide();
    sheet_->Save();
    Paint();
}

void TFrm_allput::SpeedButton1Click() {
    if (sheet_->Clear()) HideEditors();
    Paint();
}

void TFrm_allput::SBtClick() {
    if (upload::Run(ctx_.db, ctx_.ui, ctx_.paths, upload::Kind::StaffRegister, sheet_->CurrentDepNo())) accept();
}

}  // namespace qm
