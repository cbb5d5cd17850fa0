#include "sheet/SheetView.h"

#include "core/base/UiService.h"
#include "sheet/SheetCellCache.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>

#include <optional>

namespace qm {

// ---- the table model: a window onto the sheet, no data of its own ----

class SheetTableModel : public QAbstractTableModel {
public:
    explicit SheetTableModel(TSheetBook& book, QObject* parent)
        : QAbstractTableModel(parent), book_(book), rows_(book.MaxRow()), cols_(book.MaxCol()) {}

    // The sheet's rows as the views were last told them: the sheet grows and shrinks first.
    int rowCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : cols_; }

    // What a cell shows, read once for all its roles; painting keys its pixels on it.
    struct Look {
        QString text;
        bool marked, title, bold;
        int fontSize;
        quint32 Bits() const {
            return quint32(marked) | quint32(title) << 1 | quint32(bold) << 2 |
                   quint32(std::clamp(fontSize, 0, 255)) << 8;
        }
    };
    Look CellLook(const QModelIndex& index) const {
        const int r = index.row() + 1, c = index.column() + 1;
        return {book_.GetCellText(r, c), book_.IsMarked(r, c), r <= book_.FrozenRows(), book_.CellFontBold(r, c),
                book_.CellFontSize(r, c)};
    }

    QVariant data(const QModelIndex& index, int role) const override {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::BackgroundRole:
        case Qt::ForegroundRole:
        case Qt::FontRole:
        case Qt::TextAlignmentRole: return Data(CellLook(index), role);
        default: return {};
        }
    }

    // The delegate asks for all roles of a cell at once: the cell is read once.
    void multiData(const QModelIndex& index, QModelRoleDataSpan roles) const override {
        const Look look = CellLook(index);
        for (QModelRoleData& d : roles) d.setData(Data(look, d.role()));
    }

    QVariant Data(const Look& look, int role) const {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return look.text.isEmpty() ? QVariant() : QVariant(look.text);
        case Qt::BackgroundRole:
            if (look.marked) return QColor(226, 52, 52);  // the red error mark
            if (look.title) return QColor(236, 240, 246);
            return {};
        case Qt::ForegroundRole:
            if (look.marked) return QColor(Qt::white);
            return {};
        case Qt::FontRole: {
            if (look.fontSize <= 0 && !look.bold) return {};
            QFont f = baseFont_;
            if (look.fontSize > 0) f.setPointSize(look.fontSize);
            f.setBold(look.bold);
            return f;
        }
        case Qt::TextAlignmentRole:
            if (look.title) return int(Qt::AlignCenter);
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        default: return {};
        }
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::EditRole) return false;
        book_.SetCellText(index.row() + 1, index.column() + 1, value.toString());
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        // The title rows come from the template; only data rows are typed into.
        if (index.row() + 1 > book_.FrozenRows()) f |= Qt::ItemIsEditable;
        return f;
    }

    void CellsChanged(int r1, int c1, int r2, int c2) {
        if (c1 > cols_ || r1 > rows_) return;
        emit dataChanged(index(r1 - 1, c1 - 1), index(std::min(r2, rows_) - 1, std::min(c2, cols_) - 1));
    }

    // The sheet grew or shrank: rows come or go at its end, the current cell and the
    // selection above them stay.
    void FollowRows() {
        const int rows = book_.MaxRow();
        if (rows > rows_) {
            beginInsertRows({}, rows_, rows - 1);
            rows_ = rows;
            endInsertRows();
        } else if (rows < rows_) {
            beginRemoveRows({}, rows, rows_ - 1);
            rows_ = rows;
            endRemoveRows();
        }
    }

    // Answers whether the column count changed (the views then reset).
    bool Reset() {
        beginResetModel();
        rows_ = book_.MaxRow();
        cols_ = book_.MaxCol();
        endResetModel();
        return true;
    }
    bool ColumnsDiffer() const { return cols_ != book_.MaxCol(); }
    void SetBaseFont(const QFont& f) { baseFont_ = f; }

private:
    TSheetBook& book_;
    int rows_, cols_;
    QFont baseFont_;
};

// Paints cells from the view's pixel cache and opens the in-place editor, remembering it so a
// handler can commit it first.
class SheetDelegate : public QStyledItemDelegate {
public:
    SheetDelegate(SheetCellCache* cache, QObject* parent) : QStyledItemDelegate(parent), cache_(cache) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        const auto* model = dynamic_cast<const SheetTableModel*>(index.model());
        if (!cache_ || !view || !model) {
            QStyledItemDelegate::paint(p, option, index);
            return;
        }
        const SheetTableModel::Look look = model->CellLook(index);
        const QWidget* port = view->viewport();
        cache_->Paint(
            *p, option, look.text, look.Bits(), port->palette().brush(port->backgroundRole()),
            [&](QPainter& q) { view->style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &option, &q, view); },
            [&](QPainter& q) { QStyledItemDelegate::paint(&q, option, index); });
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& o, const QModelIndex& i) const override {
        QWidget* w = QStyledItemDelegate::createEditor(parent, o, i);
        open_ = w;
        return w;
    }
    mutable QPointer<QWidget> open_;
    std::function<void(SheetView::Step)> onStep;  // after a key wrote the cell and closed the editor

protected:
    // Enter and Tab write the cell and move the current cell; the table's own Tab would open
    // the next cell's editor as well.
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor && onStep && event->type() == QEvent::KeyPress)
            if (const std::optional<SheetView::Step> step = SheetView::StepOf(*static_cast<QKeyEvent*>(event))) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::NoHint);
                onStep(*step);
                return true;
            }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    SheetCellCache* cache_;
};

// One of the four panes: the scrolling body, and the frozen top rows, left columns and corner
// drawn over it. All share the model and the selection.
class SheetGrid : public QTableView {
public:
    SheetGrid(SheetCellCache* cache, QWidget* parent) : QTableView(parent) {
        horizontalHeader()->hide();
        verticalHeader()->hide();
        setHorizontalScrollMode(ScrollPerPixel);
        setVerticalScrollMode(ScrollPerPixel);
        setEditTriggers(AnyKeyPressed | EditKeyPressed);
        setWordWrap(true);
        setTabKeyNavigation(true);
        delegate_ = new SheetDelegate(cache, this);
        setItemDelegate(delegate_);
        verticalHeader()->setMinimumSectionSize(1);
        horizontalHeader()->setMinimumSectionSize(1);
    }

    bool CommitEditor() {
        QWidget* ed = delegate_->open_;
        if (!ed || state() != EditingState) return false;
        commitData(ed);
        closeEditor(ed, QAbstractItemDelegate::NoHint);
        return true;
    }

    bool IsEditing() const { return state() == EditingState; }

    // Moves the current cell as an arrow key does, the selection with it.
    void Move(SheetView::Step step) {
        static constexpr CursorAction kActions[] = {MoveDown, MoveUp, MoveNext, MovePrevious};
        const QModelIndex next = moveCursor(kActions[int(step)], Qt::NoModifier);
        if (!next.isValid()) return;
        selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect);
        scrollTo(next, EnsureVisible);
    }

    // Opens the cell's editor on its text with the caret at the end (the table selects it all).
    void EditAtEnd(const QModelIndex& index) {
        edit(index);
        if (auto* line = qobject_cast<QLineEdit*>(delegate_->open_.data()); line && IsEditing()) {
            line->deselect();
            line->end(false);
        }
    }

    SheetDelegate* Delegate() const { return delegate_; }

    void SetFrozenArea(int height, int width) {
        frozenHeight_ = height;
        frozenWidth_ = width;
    }

    std::function<void(QMouseEvent*, bool)> onMouse;  // bool: double-click
    std::function<void(QKeyEvent*)> onKeyRelease;
    std::function<bool(QKeyEvent*)> onKeyPress;  // true: handled

protected:
    void mousePressEvent(QMouseEvent* e) override {
        QTableView::mousePressEvent(e);
        if (onMouse) onMouse(e, false);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        // No in-place editor on a double-click: the forms open their lists there.
        if (onMouse) onMouse(e, true);
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (onKeyPress && onKeyPress(e)) {
            e->accept();
            return;
        }
        QTableView::keyPressEvent(e);
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        QTableView::keyReleaseEvent(e);
        if (onKeyRelease) onKeyRelease(e);
    }
    void paintEvent(QPaintEvent* e) override {
        // The body leaves out what the frozen panes cover: they are opaque and stacked above it,
        // so those cells would be drawn only to be hidden.
        QRegion region = e->region();
        for (const QWidget* pane : covers_)
            if (pane->isVisible())
                region -= QRect(viewport()->mapFrom(parentWidget(), pane->geometry().topLeft()), pane->size());
        if (region.isEmpty()) return;
        if (region == e->region()) {
            QTableView::paintEvent(e);
            return;
        }
        QPaintEvent covered(region);
        QTableView::paintEvent(&covered);
    }
    void wheelEvent(QWheelEvent* e) override {
        // The wheel over a frozen pane scrolls the sheet, as over the body.
        if (body_) {
            body_->wheelEvent(e);
            return;
        }
        QTableView::wheelEvent(e);
    }

public:
    // Keeps the current cell out from under the frozen panes. A frozen pane never scrolls by
    // itself: it asks the body, whose scroll bars it follows.
    void scrollTo(const QModelIndex& index, ScrollHint hint) override {
        if (body_) {
            body_->scrollTo(index, hint);
            return;
        }
        if (frozenHeight_ == 0 && frozenWidth_ == 0) {
            QTableView::scrollTo(index, hint);
            return;
        }
        const int y = rowViewportPosition(index.row());
        const int x = columnViewportPosition(index.column());
        const int h = rowHeight(index.row()), w = columnWidth(index.column());
        auto* vs = verticalScrollBar();
        auto* hs = horizontalScrollBar();
        if (index.row() >= frozenRows_) {
            if (y < frozenHeight_)
                vs->setValue(vs->value() - (frozenHeight_ - y));
            else if (y + h > viewport()->height())
                vs->setValue(vs->value() + (y + h - viewport()->height()));
        }
        if (index.column() >= frozenCols_) {
            if (x < frozenWidth_)
                hs->setValue(hs->value() - (frozenWidth_ - x));
            else if (x + w > viewport()->width())
                hs->setValue(hs->value() + (x + w - viewport()->width()));
        }
    }

public:
    int frozenRows_ = 0, frozenCols_ = 0;
    SheetGrid* body_ = nullptr;     // set on the frozen panes
    std::vector<QWidget*> covers_;  // set on the body: the panes over it

private:
    SheetDelegate* delegate_;
    int frozenHeight_ = 0, frozenWidth_ = 0;
};

namespace {

class SystemClipboard : public SheetClipboard {
public:
    QString Text() const override { return QGuiApplication::clipboard()->text(); }
    void SetText(const QString& t) override { QGuiApplication::clipboard()->setText(t); }
};

// The clipboard operation a key asks for: the platform's keys for copy, paste and cut
// (on X11 also Ctrl+Insert, Shift+Insert and Shift+Delete), and Ctrl with C, V or X whatever
// else is held.
std::optional<SheetView::EditOp> ClipboardKeyOp(const QKeyEvent& e) {
    if (e.matches(QKeySequence::Copy)) return SheetView::EditOp::Copy;
    if (e.matches(QKeySequence::Paste)) return SheetView::EditOp::Paste;
    if (e.matches(QKeySequence::Cut)) return SheetView::EditOp::Cut;
    if (!(e.modifiers() & Qt::ControlModifier)) return std::nullopt;
    switch (e.key()) {
    case Qt::Key_C: return SheetView::EditOp::Copy;
    case Qt::Key_V: return SheetView::EditOp::Paste;
    case Qt::Key_X: return SheetView::EditOp::Cut;
    default: return std::nullopt;
    }
}

}  // namespace

// ---- the view ----

SheetView::SheetView(TSheetBook& book, QWidget* parent) : QWidget(parent), book_(book) {
    model_ = new SheetTableModel(book_, this);
    // A paste never loses rows without a word.
    connect(&book_, &TSheetBook::pasteClipped, this, [this](int rows, int dropped) {
        if (ui_) ui_->Info(TSheetBook::PasteClippedText(rows, dropped));
    });
    cellCache_ = std::make_unique<SheetCellCache>();
    grid_ = new SheetGrid(cellCache_.get(), this);
    grid_->setModel(model_);
    model_->SetBaseFont(grid_->font());

    // The frozen panes sit over the body and never scroll the frozen direction. They are the
    // body's siblings, not its children: a key a pane leaves unhandled (the one that opened its
    // in-place editor, a key release) then goes on to the form, never to the body, which
    // would act on the same current cell a second time.
    for (SheetGrid*& pane : panes_) {
        pane = new SheetGrid(cellCache_.get(), this);
        pane->setModel(model_);
        pane->setSelectionModel(grid_->selectionModel());
        pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        pane->setFrameShape(QFrame::NoFrame);
        pane->body_ = grid_;
        pane->hide();
        grid_->covers_.push_back(pane);
    }
    SheetGrid* top = panes_[0];
    SheetGrid* left = panes_[1];
    SheetGrid* corner = panes_[2];
    // The panes scroll with the body in the free direction, whoever moves first (a drag that
    // runs past a pane's edge moves the pane); in the frozen direction they never move.
    auto follow = [](QScrollBar* a, QScrollBar* b) {
        connect(a, &QScrollBar::valueChanged, b, &QScrollBar::setValue);
        connect(b, &QScrollBar::valueChanged, a, &QScrollBar::setValue);
    };
    auto pin = [](QScrollBar* bar) {
        connect(bar, &QScrollBar::valueChanged, bar, [bar](int v) {
            if (v != 0) bar->setValue(0);
        });
    };
    follow(grid_->horizontalScrollBar(), top->horizontalScrollBar());
    follow(grid_->verticalScrollBar(), left->verticalScrollBar());
    pin(top->verticalScrollBar());
    pin(left->horizontalScrollBar());
    pin(corner->horizontalScrollBar());
    pin(corner->verticalScrollBar());
    connect(grid_->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceObjects(); });
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceObjects(); });

    // The cell's editor opens in the pane that shows it, so keyboard moves hand the focus on.
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& cur) {
        if (!cur.isValid()) return;
        SheetGrid* owner = GridShowing(cur.row() + 1, cur.column() + 1);
        bool focused = false;
        for (SheetGrid* g : AllGrids()) focused = focused || g->hasFocus();
        if (focused && !owner->hasFocus()) owner->setFocus();
    });

    for (SheetGrid* g : AllGrids()) {
        g->onMouse = [this, g](QMouseEvent* e, bool dbl) {
            const QModelIndex i = g->indexAt(e->position().toPoint());
            if (!i.isValid()) return;
            CommitPendingEdit();
            const int r = i.row() + 1, c = i.column() + 1;
            if (dbl) g->setCurrentIndex(i);  // the editor the click opens moves on from there
            SyncSelectionToBook();
            if (dbl) {
                emit DblClick(r, c);
                // A form's own editor or list takes the focus from the sheet; else the cell's opens.
                if (!AnyListOpen() && FocusInSheet()) OpenEditorAtEnd(GridShowing(r, c), r, c);
            } else if (e->button() == Qt::RightButton)
                emit RClick(r, c);
            else if (e->button() == Qt::LeftButton)
                emit Click(r, c);
        };
        g->Delegate()->onStep = [this](Step step) { StepCurrent(step); };
        g->onKeyPress = [this](QKeyEvent* e) {
            if (e->key() == Qt::Key_Delete && !(e->modifiers() & ~Qt::KeypadModifier)) {
                ClearSelection();
                return true;
            }
            if (MoveKey(*e)) return true;
            // The clipboard keys run on the model when pressed, in place of the table's own copy:
            // a key's release may come after its modifier's (Ctrl let go first), so the release
            // cannot tell Ctrl+X from X.
            const std::optional<EditOp> op = ClipboardKeyOp(*e);
            if (!op) return false;
            SyncSelectionToBook();
            if (*op == EditOp::Copy)
                book_.EditCopy();
            else if (*op == EditOp::Paste)
                book_.EditPaste();
            else
                book_.EditCut();
            if (*op == EditOp::Paste) emit KeyPasted();
            return true;
        };
        g->onKeyRelease = [this, g](QKeyEvent* e) {
            // The release of the key that opened an in-place editor belongs to that editor.
            if (g->IsEditing()) return;
            emit KeyUp(e->key(), e->modifiers());
        };
    }

    connect(&book_, &TSheetBook::cellsChanged, this,
            [this](int r1, int c1, int r2, int c2) { model_->CellsChanged(r1, c1, r2, c2); });
    connect(&book_, &TSheetBook::maxRowChanged, this, [this] { model_->FollowRows(); });
    connect(&book_, &TSheetBook::layoutChanged, this, [this] {
        if (model_->ColumnsDiffer()) model_->Reset();
        SyncLayout();
    });
    connect(&book_, &TSheetBook::sheetReset, this, [this] {
        model_->Reset();
        SyncLayout();
        SyncAllObjects();
        StartAtSelection();
    });
    connect(&book_, &TSheetBook::objectChanged, this, [this](int id) { SyncObject(id); });
    // Where a refused save sends the person: the cell becomes current and comes into sight.
    connect(&book_, &TSheetBook::goToRequested, this, [this](int row, int col) { GoToCell(row, col); });

    // The body lays out its viewport only once it is shown or resized, after this widget
    // placed the panes: they follow the viewport's own size changes.
    grid_->viewport()->installEventFilter(this);

    SyncLayout();
    SyncAllObjects();
    StartAtSelection();
    setFocusProxy(grid_);
}

void SheetView::StartAtSelection() {
    // The current cell starts where the sheet's selection is (the first data row after a
    // template), not on a title cell.
    const SheetRange s = book_.Selection();
    if (s.c1 <= book_.MaxCol())
        grid_->selectionModel()->setCurrentIndex(model_->index(s.r1 - 1, s.c1 - 1), QItemSelectionModel::NoUpdate);
}

SheetView::~SheetView() = default;

std::vector<SheetGrid*> SheetView::AllGrids() const { return {grid_, panes_[0], panes_[1], panes_[2]}; }

QTableView* SheetView::Table() const { return grid_; }

SheetGrid* SheetView::GridShowing(int row, int col) const {
    const bool inRows = row <= book_.FrozenRows() && frozenHeight_ > 0;
    const bool inCols = col <= book_.FrozenCols() && frozenWidth_ > 0;
    if (inRows && inCols) return panes_[2];
    if (inRows) return panes_[0];
    if (inCols) return panes_[1];
    return grid_;
}

QTableView* SheetView::TableAt(int row, int col) const { return GridShowing(row, col); }

void SheetView::Edit(EditOp op) {
    CommitPendingEdit();
    switch (op) {
    case EditOp::InsertRows: book_.EditInsert(3); break;
    case EditOp::DeleteRows: book_.EditDelete(3); break;
    case EditOp::Copy: book_.EditCopy(); break;
    case EditOp::Paste: book_.EditPaste(); break;
    case EditOp::Cut: book_.EditCut(); break;
    }
}

void SheetView::ClearSelection() {
    // What 剪切 leaves, without the clipboard; the title rows are not the person's to clear.
    SyncSelectionToBook();
    const SheetRange s = book_.Selection();
    const int first = std::max(s.r1, book_.FrozenRows() + 1);
    if (first <= s.r2) book_.ClearRange(first, s.c1, s.r2, s.c2, TSheetBook::ClearContents);
}

void SheetView::CommitPendingEdit() {
    for (SheetGrid* g : AllGrids()) g->CommitEditor();
}

void SheetView::SyncSelectionToBook() {
    const QModelIndexList sel = grid_->selectionModel()->selectedIndexes();
    if (sel.isEmpty()) {
        const QModelIndex cur = grid_->currentIndex();
        if (cur.isValid()) book_.SetSelection(cur.row() + 1, cur.column() + 1, cur.row() + 1, cur.column() + 1);
        return;
    }
    int r1 = INT_MAX, c1 = INT_MAX, r2 = 0, c2 = 0;
    for (const QModelIndex& i : sel) {
        r1 = std::min(r1, i.row() + 1);
        c1 = std::min(c1, i.column() + 1);
        r2 = std::max(r2, i.row() + 1);
        c2 = std::max(c2, i.column() + 1);
    }
    book_.SetSelection(r1, c1, r2, c2);
}

QRect SheetView::CellRect(int row, int col) const {
    const QRect r = grid_->visualRect(model_->index(row - 1, col - 1));
    return QRect(grid_->viewport()->mapTo(this, r.topLeft()), r.size());
}

void SheetView::GoToCell(int row, int col) {
    const QModelIndex i = model_->index(row - 1, col - 1);
    // The cell alone, whatever modifier is held (the view's own call would add it to the
    // selection under Ctrl, as Ctrl+Home is pressed).
    grid_->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    grid_->scrollTo(i, QAbstractItemView::EnsureVisible);
    book_.SetSelection(row, col, row, col);
}

std::optional<SheetView::Step> SheetView::StepOf(const QKeyEvent& e) {
    const Qt::KeyboardModifiers mods = e.modifiers() & ~Qt::KeypadModifier;
    const bool shift = mods == Qt::ShiftModifier;
    if (mods != Qt::NoModifier && !shift) return std::nullopt;
    switch (e.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return shift ? Step::Up : Step::Down;
    case Qt::Key_Tab: return shift ? Step::Left : Step::Right;
    case Qt::Key_Backtab: return Step::Left;
    default: return std::nullopt;
    }
}

bool SheetView::MoveKey(const QKeyEvent& e) {
    if (const std::optional<Step> step = StepOf(e)) {
        StepCurrent(*step);
        return true;
    }
    const Qt::KeyboardModifiers mods = e.modifiers() & ~Qt::KeypadModifier;
    if (e.key() == Qt::Key_F2 && mods == Qt::NoModifier) {
        const QModelIndex cur = grid_->currentIndex();
        if (cur.isValid())
            OpenEditorAtEnd(GridShowing(cur.row() + 1, cur.column() + 1), cur.row() + 1, cur.column() + 1);
        return true;
    }
    if (mods != Qt::ControlModifier) return false;
    if (e.key() == Qt::Key_Home)
        GoToFirstCell();
    else if (e.key() == Qt::Key_End)
        GoToLastCell();
    else
        return false;
    return true;
}

void SheetView::StepCurrent(Step step) {
    const QModelIndex cur = grid_->currentIndex();
    (cur.isValid() ? GridShowing(cur.row() + 1, cur.column() + 1) : grid_)->Move(step);
}

void SheetView::ReturnFromEditor(std::optional<Step> step) {
    const QModelIndex cur = grid_->currentIndex();
    (cur.isValid() ? GridShowing(cur.row() + 1, cur.column() + 1) : grid_)->setFocus();
    if (step) StepCurrent(*step);
}

void SheetView::OpenEditorAtEnd(SheetGrid* g, int row, int col) {
    const QModelIndex i = model_->index(row - 1, col - 1);
    g->setFocus();
    g->EditAtEnd(i);
}

bool SheetView::FocusInSheet() const {
    const QWidget* f = window()->focusWidget();
    for (SheetGrid* g : AllGrids())
        if (f == g || g->isAncestorOf(f)) return true;
    return false;
}

int SheetView::FirstShownCol() const {
    int col = 1;
    while (col < book_.MaxCol() && !book_.IsColShown(col)) ++col;
    return col;
}

void SheetView::GoToFirstCell() {
    // The frozen titles stay in view; the data starts below them, at the sheet's left edge.
    grid_->horizontalScrollBar()->setValue(0);
    grid_->verticalScrollBar()->setValue(0);
    GoToCell(std::min(book_.FrozenRows() + 1, book_.MaxRow()), FirstShownCol());
}

void SheetView::GoToLastCell() {
    const int first = std::min(book_.FrozenRows() + 1, book_.MaxRow());
    int col = book_.LastUsedCol(first, book_.MaxCol());
    while (col > 0 && !book_.IsColShown(col)) --col;
    GoToCell(std::max(book_.LastUsedRow(), first), col > 0 ? col : FirstShownCol());
}

void SheetView::UseSystemClipboard() { book_.SetClipboard(std::make_shared<SystemClipboard>()); }

void SheetView::SyncLayout() {
    const int fr = book_.FrozenRows(), fc = book_.FrozenCols();
    for (SheetGrid* g : AllGrids()) {
        g->setUpdatesEnabled(false);
        auto* vh = g->verticalHeader();
        vh->setDefaultSectionSize((book_.DefaultRowHeight() + 14) / 15);
        for (const auto& [range, twips] : book_.RowHeightRanges())
            for (int r = range.r1; r <= std::min(range.r2, model_->rowCount()); ++r)
                vh->resizeSection(r - 1, (twips + 14) / 15);
        for (int c = 1; c <= book_.MaxCol(); ++c) {
            g->setColumnHidden(c - 1, !book_.IsColShown(c));
            g->setColumnWidth(c - 1, book_.ColWidth(c));
        }
        g->clearSpans();
        for (const SheetRange& m : book_.Merges())
            if (m.c1 <= book_.MaxCol())
                g->setSpan(m.r1 - 1, m.c1 - 1, m.r2 - m.r1 + 1, std::min(m.c2, book_.MaxCol()) - m.c1 + 1);
        g->frozenRows_ = fr;
        g->frozenCols_ = fc;
        g->setUpdatesEnabled(true);
    }
    int fh = 0, fw = 0;
    for (int r = 1; r <= fr; ++r) fh += grid_->rowHeight(r - 1);
    for (int c = 1; c <= std::min(fc, book_.MaxCol()); ++c)
        if (!grid_->isColumnHidden(c - 1)) fw += grid_->columnWidth(c - 1);
    frozenHeight_ = fh;
    frozenWidth_ = fw;
    grid_->SetFrozenArea(fh, fw);
    PlacePanes();
    PlaceObjects();
}

void SheetView::PlacePanes() {
    const QWidget* port = grid_->viewport();
    const QRect vp(port->mapTo(this, QPoint(0, 0)), port->size());
    SheetGrid* top = panes_[0];
    SheetGrid* left = panes_[1];
    SheetGrid* corner = panes_[2];
    top->setVisible(frozenHeight_ > 0);
    left->setVisible(frozenWidth_ > 0);
    corner->setVisible(frozenHeight_ > 0 && frozenWidth_ > 0);
    top->setGeometry(vp.x(), vp.y(), vp.width(), frozenHeight_);
    left->setGeometry(vp.x(), vp.y(), frozenWidth_, vp.height());
    corner->setGeometry(vp.x(), vp.y(), frozenWidth_, frozenHeight_);
    top->horizontalScrollBar()->setValue(grid_->horizontalScrollBar()->value());
    left->verticalScrollBar()->setValue(grid_->verticalScrollBar()->value());
    // Stacking is the order of creation: body, top, left, corner, then the list objects and
    // the forms' editors, which stay above the panes.
}

void SheetView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    grid_->setGeometry(rect());
    PlacePanes();
    PlaceObjects();
}

bool SheetView::eventFilter(QObject* watched, QEvent* e) {
    if (watched == grid_->viewport() && e->type() == QEvent::Resize) {
        PlacePanes();
        PlaceObjects();
        return false;
    }
    if (e->type() == QEvent::MouseButtonPress) {
        // An open list closes when the person presses anywhere else.
        if (!AnyListOpen()) {
            qApp->removeEventFilter(this);
            return false;
        }
        // The press reaches the window first, then the widget under the pointer: judge by that.
        auto* target = qobject_cast<QWidget*>(watched);
        if (!target) return false;
        for (auto& [id, w] : lists_)
            if (w->isVisible() && target != w && !w->isAncestorOf(target)) CloseList(id, false);
        return false;
    }
    if (e->type() == QEvent::KeyPress) {
        // Enter or Tab writes the chosen item and moves on as in the sheet; with no item chosen,
        // as Esc, it closes the list without writing.
        for (auto& [id, w] : lists_) {
            if (watched != w) continue;
            const auto* key = static_cast<QKeyEvent*>(e);
            const std::optional<Step> step = StepOf(*key);
            if (key->key() == Qt::Key_Escape || (step && w->selectedItems().isEmpty())) {
                CloseList(id, true);
                return true;
            }
            if (step) {
                book_.PickObjectItem(id, w->currentRow());
                CloseList(id, false);
                ReturnFromEditor(step);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, e);
}

// ---- list objects ----

QListWidget* SheetView::ObjectWidget(int id) const {
    auto it = lists_.find(id);
    if (it == lists_.end() || !it->second->isVisible()) return nullptr;
    return it->second;
}

void SheetView::SyncAllObjects() {
    for (auto& [id, w] : lists_) w->deleteLater();
    lists_.clear();
    for (int id = 0; id < book_.ObjectCount(); ++id) SyncObject(id);
}

void SheetView::SyncObject(int id) {
    if (id < 0 || id >= book_.ObjectCount()) return;
    const SheetObject& o = book_.Object(id);
    QListWidget*& w = lists_[id];
    if (!w) {
        w = new QListWidget(this);
        w->setObjectName(o.name);
        w->hide();
        // A pick writes the linked cell and closes the list; the sheet takes the keys again.
        auto pick = [this, id](QListWidgetItem* item) {
            QListWidget* lw = lists_[id];
            const bool focused = lw->hasFocus();
            book_.PickObjectItem(id, lw->row(item));
            CloseList(id, focused);
        };
        connect(w, &QListWidget::itemClicked, this, pick);
        connect(w, &QListWidget::itemActivated, this, pick);
        w->installEventFilter(this);
    }
    const QSignalBlocker block(w);
    QStringList shown;
    for (int i = 0; i < w->count(); ++i) shown << w->item(i)->text();
    if (shown != o.items) {
        w->clear();
        w->addItems(o.items);
    }
    if (o.visible) {
        PlaceObject(id);
        w->show();
        w->raise();
        w->setFocus();  // Up, Down and Enter pick from it
        qApp->installEventFilter(this);
    } else {
        w->hide();
    }
    // After the focus, which would make the first item current: no item is chosen until picked.
    w->setCurrentRow(o.selected);
    if (o.selected < 0) w->clearSelection();
}

void SheetView::CloseList(int id, bool refocus) {
    if (id >= 0 && id < book_.ObjectCount() && book_.Object(id).visible) book_.ObjectVisible(id, false);
    if (refocus) ReturnFromEditor(std::nullopt);
}

bool SheetView::AnyListOpen() const {
    for (const auto& [id, w] : lists_)
        if (w->isVisible()) return true;
    return false;
}

void SheetView::PlaceObjects() {
    for (auto& [id, w] : lists_)
        if (w->isVisible()) PlaceObject(id);
}

void SheetView::PlaceObject(int id) {
    const SheetObject& o = book_.Object(id);
    QListWidget* w = lists_[id];
    // Grid coordinates: from the boundary after column x1 / row y1 to the one after x2 / y2.
    auto colEdge = [this](int c) {  // right edge of column c (c = 0: left edge of column 1)
        if (c <= 0) return grid_->columnViewportPosition(0);
        const int cc = std::min(c, model_->columnCount()) - 1;
        return grid_->columnViewportPosition(cc) + grid_->columnWidth(cc);
    };
    auto rowEdge = [this](int r) {
        if (r <= 0) return grid_->rowViewportPosition(0);
        const int rr = std::min(r, model_->rowCount()) - 1;
        return grid_->rowViewportPosition(rr) + grid_->rowHeight(rr);
    };
    const QPoint origin = grid_->viewport()->mapTo(this, QPoint(0, 0));
    const int x1 = colEdge(o.x1), x2 = colEdge(o.x2), y1 = rowEdge(o.y1), y2 = rowEdge(o.y2);
    // At least as wide as its longest item, and inside the sheet, so no item is cut.
    const int items = w->sizeHintForColumn(0) + 2 * w->frameWidth() + w->verticalScrollBar()->sizeHint().width() + 4;
    const int width = std::max({40, x2 - x1, items});
    const int left = std::max(0, std::min(origin.x() + x1, this->width() - width));
    w->setGeometry(left, origin.y() + y1, width, std::max(20, y2 - y1));
}

}  // namespace qm
