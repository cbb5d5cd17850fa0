#include "grid/InplaceEdit.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace qm::grid {

namespace {
// Only printable text is typing. X11 gives keys control characters as their text (Delete
// "\x7f", Ctrl+letter its code): those keys belong to the editor's key handling.
bool IsTypedText(const QString& t) {
    return !t.isEmpty() &&
           std::none_of(t.begin(), t.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}
}  // namespace

int FindPickListItem(const QStringList& list, const QString& text) {
    for (int i = 0; i < list.size(); ++i)
        if (list[i].startsWith(text, Qt::CaseInsensitive)) return i;
    return -1;
}

void RaiseGridError(const QString& message) { throw EInvalidGridOperation(message); }

int TextRectHeight(const QFont& font, const QString& text) {
    return QFontMetrics(font).boundingRect(QRect(0, 0, INT_MAX / 2, INT_MAX / 2), 0, text).height();
}

QRect PlacePopup(const QRect& editor, QSize size, const QRect& work) {
    QPoint p(editor.left(), editor.bottom() + 1);
    if (p.y() + size.height() > work.bottom() + 1) p.setY(editor.top() - size.height());
    if (size.width() > work.width()) size.setWidth(work.width());
    if (p.x() + size.width() > work.right() + 1) p.setX(work.right() + 1 - size.width());
    return QRect(p, size);
}

QDate CalendarDateOf(const QString& text, const QDate& today) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return today;
    for (const char* f : {"yyyy-MM-dd", "yyyy/M/d", "yyyy-M-d", "yyyy.M.d", "yyyyMMdd"}) {
        const QDate d = QDate::fromString(t, QString::fromLatin1(f));
        if (d.isValid()) return d;
    }
    return today;  // text that is no date opens on today rather than failing
}

// ---------------------------------------------------------------- TPopupListbox

TPopupListbox::TPopupListbox(TDBGridInplaceEdit* editor) : QListWidget(nullptr), editor_(editor) {
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrameShape(QFrame::Box);
    setUniformItemSizes(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TickCount = [] {
        static QElapsedTimer t;
        if (!t.isValid()) t.start();
        return t.elapsed();
    };
}

void TPopupListbox::TypeAhead(QChar c) {
    const qint64 now = TickCount();
    if (now - SearchTickCount > 2000) SearchText.clear();
    SearchTickCount = now;
    if (SearchText.size() < 32) SearchText += c;
    for (int i = 0; i < count(); ++i)
        if (item(i)->text().startsWith(SearchText, Qt::CaseInsensitive)) {
            setCurrentRow(i);
            break;
        }
}

void TPopupListbox::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Escape) {
        SearchText.clear();
        if (e->key() == Qt::Key_Escape) editor_->CloseUp(false);
        return;
    }
    const QString t = e->text();
    if (t.size() == 1 && IsTypedText(t) && !(e->modifiers() & Qt::ControlModifier)) {
        TypeAhead(t[0]);
        return;
    }
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        editor_->CloseUp(true);
        return;
    }
    QListWidget::keyPressEvent(e);
}

void TPopupListbox::mouseReleaseEvent(QMouseEvent* e) {
    QListWidget::mouseReleaseEvent(e);
    editor_->CloseUp(rect().contains(e->position().toPoint()));
}

// ---------------------------------------------------------------- TPopupDataList

TPopupDataList::TPopupDataList(TDBGridInplaceEdit* editor) : QTreeWidget(nullptr), editor_(editor) {
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);  // the editor keeps the keys
    setFrameShape(QFrame::Box);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setIndentation(0);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

db::Value TPopupDataList::KeyValue() const {
    const int row = currentItem() ? indexOfTopLevelItem(currentItem()) : -1;
    return row >= 0 && row < int(Keys.size()) ? Keys[size_t(row)] : db::Value();
}

void TPopupDataList::SetKeyValue(const db::Value& key) {
    for (size_t i = 0; !key.IsNull() && i < Keys.size(); ++i)
        if (Keys[i] == key || Keys[i].AsString() == key.AsString()) {
            setCurrentItem(topLevelItem(int(i)));
            return;
        }
    setCurrentItem(nullptr);
}

QString TPopupDataList::SelectedText() const { return currentItem() ? currentItem()->text(ListFieldIndex) : QString(); }

void TPopupDataList::mousePressEvent(QMouseEvent* e) {
    QTreeWidget::mousePressEvent(e);
    if (e->button() == Qt::LeftButton) editor_->FollowDataList();
}

void TPopupDataList::mouseMoveEvent(QMouseEvent* e) {
    QTreeWidget::mouseMoveEvent(e);
    if (e->buttons() & Qt::LeftButton) {
        if (QTreeWidgetItem* it = itemAt(e->position().toPoint())) setCurrentItem(it);
        editor_->FollowDataList();
    }
}

void TPopupDataList::mouseReleaseEvent(QMouseEvent* e) {
    QTreeWidget::mouseReleaseEvent(e);
    editor_->CloseUp(rect().contains(e->position().toPoint()));
}

// ---------------------------------------------------------------- TInplaceWrapEdit

TInplaceWrapEdit::TInplaceWrapEdit(TDBGridInplaceEdit* editor) : QPlainTextEdit(editor), editor_(editor) {
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // wraps, never scrolls sideways
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(false);  // Tab reaches the key routing, which hands it to the grid
    document()->setDocumentMargin(0);
    hide();
}

namespace {
// The line of the wrapped layout the caret is on, and the number of lines of its block.
QTextLine CaretLine(const QPlainTextEdit* e, int* lineCount) {
    const QTextCursor c = e->textCursor();
    const QTextBlock b = c.block();
    const QTextLayout* l = b.layout();
    *lineCount = l ? l->lineCount() : 0;
    return l ? l->lineForTextPosition(c.positionInBlock()) : QTextLine();
}
}  // namespace

bool TInplaceWrapEdit::CaretOnFirstLine() const {
    int n = 0;
    const QTextLine line = CaretLine(this, &n);
    return textCursor().block() == document()->firstBlock() && (!line.isValid() || line.lineNumber() == 0);
}

bool TInplaceWrapEdit::CaretOnLastLine() const {
    int n = 0;
    const QTextLine line = CaretLine(this, &n);
    return textCursor().block() == document()->lastBlock() && (!line.isValid() || line.lineNumber() == n - 1);
}

void TInplaceWrapEdit::keyPressEvent(QKeyEvent* e) { editor_->HandleKey(e); }

void TInplaceWrapEdit::inputMethodEvent(QInputMethodEvent* e) { editor_->HandleInputMethod(e, this); }

void TInplaceWrapEdit::focusOutEvent(QFocusEvent* e) {
    QPlainTextEdit::focusOutEvent(e);
    editor_->ListFocusLost();
}

// ---------------------------------------------------------------- TDBGridInplaceEdit

TDBGridInplaceEdit::TDBGridInplaceEdit(TCustomDBGridX* grid) : QLineEdit(grid->viewport()), grid_(grid) {
    buttonWidth_ = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    setFrame(false);
    setMouseTracking(true);  // the cursor changes over the edit button
    setMaxLength(INT_MAX);   // a line edit cuts at 32767 characters, and the cut text would be written back
    hide();
    WorkArea = [this] {
        QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    };
    // The multi-line box shows whatever the editor's text becomes.
    QObject::connect(this, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!wrap_ || !wordWrap_ || syncing_ || wrap_->toPlainText() == t) return;
        syncing_ = true;
        wrap_->setPlainText(t);
        wrap_->moveCursor(QTextCursor::End);
        syncing_ = false;
    });
}

TDBGridInplaceEdit::~TDBGridInplaceEdit() {
    // The pop-ups are windows of their own, not children: they go with the editor.
    delete pickList_;
    delete dataList_;
    delete calendarFrame_;
}

void TDBGridInplaceEdit::SetWordWrap(bool v) {
    if (v == wordWrap_) return;
    wordWrap_ = v;
    if (v && !wrap_) {
        wrap_ = new TInplaceWrapEdit(this);
        QObject::connect(wrap_, &QPlainTextEdit::textChanged, this, [this] {
            if (syncing_) return;
            syncing_ = true;
            setText(wrap_->toPlainText());
            syncing_ = false;
        });
    }
    if (wrap_) {
        if (v) {
            syncing_ = true;
            wrap_->setPlainText(text());
            syncing_ = false;
        }
        wrap_->setVisible(v);
        setFocusProxy(v ? wrap_ : nullptr);
        if (v && hasFocus()) wrap_->setFocus();
    }
    BoundsChanged();
}

int TDBGridInplaceEdit::CaretPos() const { return wordWrap_ ? wrap_->textCursor().position() : cursorPosition(); }

bool TDBGridInplaceEdit::HasSel() const { return wordWrap_ ? wrap_->textCursor().hasSelection() : hasSelectedText(); }

int TDBGridInplaceEdit::SelStart() const { return wordWrap_ ? wrap_->textCursor().selectionStart() : selectionStart(); }

void TDBGridInplaceEdit::SetSel(int start, int length) {
    if (!wordWrap_) {
        setSelection(start, length);
        return;
    }
    QTextCursor c = wrap_->textCursor();
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    wrap_->setTextCursor(c);
}

void TDBGridInplaceEdit::SelectAllText() {
    if (wordWrap_)
        wrap_->selectAll();
    else
        selectAll();
}

void TDBGridInplaceEdit::BaseKey(QKeyEvent* e) {
    if (wordWrap_)
        wrap_->BaseKeyPress(e);
    else
        QLineEdit::keyPressEvent(e);
}

TColumnX* TDBGridInplaceEdit::Column() const {
    const int i = grid_->SelectedIndex();
    return i >= 0 && i < grid_->Columns().Count() ? grid_->Columns()[i] : nullptr;
}

void TDBGridInplaceEdit::SetEditStyle(int v) {
    if (v != editStyle_) {
        editStyle_ = v;
        switch (v) {
        case esPickList:
            if (!pickList_) {
                pickList_ = new TPopupListbox(this);
                pickList_->hide();
            }
            activeList_ = pickList_;
            break;
        case esDataList:
            if (!dataList_) {
                dataList_ = new TPopupDataList(this);
                dataList_->hide();
            }
            activeList_ = dataList_;
            break;
        case esDateCalendar:
            if (!calendar_) {
                calendarFrame_ = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint);
                calendarFrame_->setAttribute(Qt::WA_ShowWithoutActivating);
                auto* l = new QVBoxLayout(calendarFrame_);
                l->setContentsMargins(1, 1, 1, 1);
                calendar_ = new QCalendarWidget(calendarFrame_);
                l->addWidget(calendar_);
                QObject::connect(calendar_, &QCalendarWidget::clicked, calendarFrame_, [this] { CloseUp(true); });
            }
            activeList_ = calendarFrame_;
            break;
        case esUpDown:
            if (!up_) {
                up_ = new QToolButton(this);
                down_ = new QToolButton(this);
                up_->setArrowType(Qt::UpArrow);
                down_->setArrowType(Qt::DownArrow);
                for (QToolButton* b : {up_, down_}) {
                    b->setAutoRepeat(true);  // held down, a button keeps stepping
                    b->setFocusPolicy(Qt::NoFocus);
                    b->setCursor(Qt::ArrowCursor);  // not the editor's I-beam
                }
                QObject::connect(up_, &QToolButton::clicked, this, [this] { UpDownClick(true); });
                QObject::connect(down_, &QToolButton::clicked, this, [this] { UpDownClick(false); });
            }
            activeList_ = nullptr;  // the steps need no pop-up
            break;
        default: activeList_ = nullptr; break;
        }
    }
    if (up_) {
        up_->setVisible(editStyle_ == esUpDown);
        down_->setVisible(editStyle_ == esUpDown);
    }
    TColumnX* c = Column();
    setReadOnly(c && c->ReadOnly());
    BoundsChanged();
    UpdateCursor(mapFromGlobal(QCursor::pos()));
    update();
}

void TDBGridInplaceEdit::UpdateCursor(const QPoint& p) {
    const bool onButton = editStyle_ != esSimple && editStyle_ != esUpDown && ButtonRect().contains(p);
    setCursor(onButton ? Qt::ArrowCursor : Qt::IBeamCursor);
}

void TDBGridInplaceEdit::UpdateContents() {
    TColumnX* c = Column();
    SetEditStyle(c ? grid_->GetColumnEditStyle(c) : esSimple);
    if (!c) return;
    TFont f = c->Font();
    QColor bg = c->Color();
    grid_->GetCellParams(c, f, bg, TGridDrawState{gdFocused});
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, bg);
    pal.setColor(QPalette::Text, f.ColorOr(grid_->palette().color(QPalette::Text)));
    setPalette(pal);
    SetWordWrap(c->WordWrap() && grid_->MultiLineRows());
    if (wrap_) {
        wrap_->setFont(f);
        wrap_->setPalette(pal);
    }
    setText(grid_->EditTextOf(c));
}

void TDBGridInplaceEdit::BoundsChanged() {
    const int right = editStyle_ != esSimple ? buttonWidth_ : 0;
    const int top = grid_->Flat() ? 1 : 2;
    setTextMargins(2, top, 2 + right, 0);
    if (wrap_)  // the formatting rectangle of the multi-line box
        wrap_->setGeometry(2, top, std::max(0, width() - 4 - right),
                           std::max(0, height() - top - (grid_->Flat() ? 1 : 0)));
    if (up_ && editStyle_ == esUpDown) {
        up_->setGeometry(width() - buttonWidth_, 0, buttonWidth_, height() / 2);
        down_->setGeometry(width() - buttonWidth_, height() / 2, buttonWidth_, height() - height() / 2);
    }
}

void TDBGridInplaceEdit::resizeEvent(QResizeEvent* e) {
    QLineEdit::resizeEvent(e);
    BoundsChanged();
}

void TDBGridInplaceEdit::DropDown() {
    if (listVisible_ || !activeList_) return;
    TColumnX* c = Column();
    if (!c) return;
    QSize size;
    if (activeList_ == pickList_) {
        pickList_->setFont(font());
        pickList_->setPalette(palette());
        pickList_->clear();
        const int n = c->KeyList().isEmpty() ? int(c->PickList().size())
                                             : int(std::min(c->KeyList().size(), c->PickList().size()));
        const int itemHeight = PickItemHeight(pickList_->fontMetrics().height());
        for (int i = 0; i < n; ++i) {
            auto* it = new QListWidgetItem(c->PickList()[i]);
            it->setSizeHint(QSize(0, itemHeight));
            pickList_->addItem(it);
        }
        int sel = -1;
        if (c->Field() && !c->Field()->IsNull()) sel = int(c->PickList().indexOf(text()));
        pickList_->setCurrentRow(sel);
        int w = width();
        for (int i = 0; i < n; ++i) w = std::max(w, pickList_->fontMetrics().horizontalAdvance(c->PickList()[i]) + 8);
        size = QSize(w, PickListHeight(n, c->DropDownRows, itemHeight));
        pickList_->SearchText.clear();
    } else if (activeList_ == dataList_) {
        dataList_->setFont(font());
        dataList_->setPalette(palette());
        size = FillDataList(c);
        dataList_->SetKeyValue(grid_->EditKeyValue());
    } else if (activeList_ == calendarFrame_) {
        calendar_->setFont(font());
        calendar_->setPalette(palette());
        calendar_->setSelectedDate(CalendarDateOf(text(), QDate::currentDate()));
        size = calendarFrame_->minimumSizeHint().expandedTo(calendarFrame_->sizeHint());
    }
    const QRect editor(mapToGlobal(QPoint(0, 0)), this->size());
    const QRect r = PlacePopup(editor, size, WorkArea());
    activeList_->setGeometry(r);
    activeList_->setFixedSize(r.size());
    activeList_->show();
    listVisible_ = true;
    qApp->installEventFilter(this);  // a press anywhere else cancels the list
    update();
}

QSize TDBGridInplaceEdit::FillDataList(TColumnX* c) {
    TField* f = c->Field();
    TDataSet* l = f ? f->LookupDataSet : nullptr;
    dataList_->clear();
    dataList_->Keys.clear();
    QStringList names;
    for (const QString& n : c->LookupDisplayFields().split(u';', Qt::SkipEmptyParts))
        if (!n.trimmed().isEmpty()) names << n.trimmed();
    if (names.isEmpty() && f) names << f->LookupResultField;
    dataList_->ListFieldIndex = 0;
    for (int i = 0; f && i < names.size(); ++i)
        if (names[i].compare(f->LookupResultField, Qt::CaseInsensitive) == 0) dataList_->ListFieldIndex = i;
    dataList_->setColumnCount(std::max(1, int(names.size())));
    // Each display field is as wide as its display width in digits, plus 4.
    const int zero = QFontMetrics(font()).horizontalAdvance(QLatin1Char('0'));
    int measured = 0;
    std::vector<TField*> shown;
    for (int i = 0; l && l->Active() && i < names.size(); ++i) {
        TField* d = l->FieldByName(names[i]);
        shown.push_back(d);
        const int w = d->DisplayWidth() * zero + 4;
        dataList_->setColumnWidth(i, w);
        measured += w;
    }
    if (l && l->Active() && !l->IsEmpty()) {
        // The walk leaves the lookup data set on the record it was on.
        TField* key = l->FieldByName(f->LookupKeyFields);
        const TBookmark at = l->Bookmark();
        TControlsDisabled still(*l);
        for (l->First(); !l->Eof(); l->Next()) {
            auto* it = new QTreeWidgetItem;
            for (size_t i = 0; i < shown.size(); ++i) it->setText(int(i), shown[i]->DisplayText());
            dataList_->addTopLevelItem(it);
            dataList_->Keys.push_back(key->AsValue());
        }
        l->GotoBookmark(at);
    }
    int w = width();
    if (c->DropDownWidth == -1)
        w = std::max(measured + 2, width());
    else if (c->DropDownWidth > 0)
        w = c->DropDownWidth + 2;
    const int rowHeight =
        dataList_->topLevelItemCount() > 0 ? dataList_->sizeHintForRow(0) : QFontMetrics(font()).height() + 2;
    return QSize(w, c->DropDownRows * rowHeight + 2);
}

void TDBGridInplaceEdit::FollowDataList() {
    if (dataList_ && dataList_->currentItem()) setText(dataList_->SelectedText());
}

void TDBGridInplaceEdit::CloseUp(bool accept) {
    if (!listVisible_) return;
    tracking_ = listTracking_ = false;
    TColumnX* c = Column();
    QString value;
    bool hasValue = false;
    if (activeList_ == dataList_) {
        value = dataList_->SelectedText();
        hasValue = dataList_->currentItem() != nullptr;
    }
    const db::Value listKey = activeList_ == dataList_ ? dataList_->KeyValue() : db::Value();
    if (activeList_ == pickList_ && pickList_->currentRow() >= 0) {
        const int i = pickList_->currentRow();
        hasValue = true;
        value =
            (c && !c->KeyList().isEmpty() && i < c->KeyList().size()) ? c->KeyList()[i] : pickList_->item(i)->text();
    }
    activeList_->hide();
    qApp->removeEventFilter(this);
    listVisible_ = false;
    update();
    if (!c) return;
    if (!accept) {
        setText(grid_->EditTextOf(c));  // back to what the field holds
        return;
    }
    if (activeList_ == dataList_) {
        TField* key = c->ModifiedField();
        if (hasValue && key && key->CanModify() && c->CanModify(true)) {
            key->SetValue(listKey);
            c->Field()->SetText(value);
            setText(value);
            grid_->SetEditKeyValue(listKey);
            grid_->SetEditText(value);
        }
    } else if (activeList_ == calendarFrame_) {
        if (c->CanModify(true) && c->Field()) {
            const QString d = calendar_->selectedDate().toString(QStringLiteral("yyyy-MM-dd"));
            c->Field()->SetText(d);
            setText(d);
        }
    } else if (activeList_ == pickList_ && hasValue && grid_->CanEditModifyAny()) {
        if (!c->KeyList().isEmpty()) {
            setText(pickList_->currentItem()->text());
            c->Field()->SetText(value);
        } else {
            setText(value);
            c->Field()->SetText(value);
        }
    }
    SelectAllText();
}

bool TDBGridInplaceEdit::DoDropDownKeys(int key, Qt::KeyboardModifiers shift) {
    const bool alt = shift & Qt::AltModifier;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) && listVisible_ && !alt) {
        CloseUp(key != Qt::Key_Escape);
        return true;
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && alt) {
        if (listVisible_)
            CloseUp(true);
        else
            DropDown();
        return true;
    }
    return false;
}

bool TDBGridInplaceEdit::Complete(QChar ch) {
    TColumnX* c = Column();
    if (!c || ch.unicode() <= 31) return false;
    if (!(c->ColumnKind() == 3 || editStyle_ == esPickList)) return false;
    // The typed text so far ends where the selected completion begins.
    const QString s = text().left(HasSel() ? SelStart() : CaretPos()) + ch;
    const int i = FindPickListItem(c->PickList(), s);
    if (i < 0 || !grid_->CanEditModifyAny()) return false;
    const QString item = c->PickList()[i];
    setText(item);
    SetSel(int(s.size()), int(item.size() - s.size()));
    grid_->DataLink()->Edit();
    grid_->DataLink()->SetModified();
    grid_->SetEditText(item);
    if (listVisible_ && pickList_) pickList_->setCurrentRow(i);
    return true;
}

bool TDBGridInplaceEdit::CompleteLookup(QChar ch) {
    TColumnX* c = Column();
    if (!c || editStyle_ != esDataList || ch.unicode() < 32 || !grid_->CanModifyRecord()) return false;
    TField* f = c->Field();
    TDataSet* l = f ? f->LookupDataSet : nullptr;
    if (!l || !l->Active()) return false;
    const QString s = text().left(HasSel() ? SelStart() : CaretPos()) + ch;
    if (!l->Locate(f->LookupResultField, s, true, true)) return false;
    grid_->DataLink()->Edit();
    grid_->DataLink()->SetModified();
    const QString item = l->FieldByName(f->LookupResultField)->Text();
    const db::Value key = l->FieldByName(f->LookupKeyFields)->AsValue();
    setText(item);
    SetSel(int(s.size()), int(item.size() - s.size()));
    grid_->SetEditKeyValue(key);
    grid_->SetEditText(item);
    if (listVisible_ && activeList_ == dataList_) dataList_->SetKeyValue(key);
    return true;
}

void TDBGridInplaceEdit::HandleKey(QKeyEvent* e) {
    const int key = e->key();
    const Qt::KeyboardModifiers mods = e->modifiers();
    if (editStyle_ == esPickList || editStyle_ == esDataList || editStyle_ == esDateCalendar) {
        if (DoDropDownKeys(key, mods)) return;
        const bool calendarOpen = listVisible_ && activeList_ == calendarFrame_;
        if (listVisible_ &&
            (key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up || key == Qt::Key_Down ||
             ((key == Qt::Key_Home || key == Qt::Key_End) && (mods & Qt::ControlModifier)) ||
             (calendarOpen && (key == Qt::Key_Left || key == Qt::Key_Right)))) {
            if (activeList_ == pickList_) {
                QKeyEvent copy(e->type(), key, mods & ~Qt::ControlModifier);
                QApplication::sendEvent(pickList_, &copy);
                if (pickList_->currentItem() && pickList_->currentItem()->text() != text())
                    setText(pickList_->currentItem()->text());
            } else if (activeList_ == dataList_) {
                QKeyEvent copy(e->type(), key, mods & ~Qt::ControlModifier);
                QApplication::sendEvent(dataList_, &copy);
                FollowDataList();
            } else if (calendarOpen) {
                // The calendar's day table moves the date: a day, a week, a month.
                QWidget* days = calendar_->focusProxy() ? calendar_->focusProxy() : calendar_;
                QKeyEvent copy(e->type(), key, mods);
                QApplication::sendEvent(days, &copy);
            }
            return;
        }
        const QString t = e->text();
        TColumnX* c = Column();
        if (t.size() == 1 && IsTypedText(t) && !listVisible_ && c && c->AutoDropDown) DropDown();
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (mods & Qt::ControlModifier) &&
        (editStyle_ == esEllipsis || editStyle_ == esDropDown)) {
        grid_->EditButtonClick();  // no line break goes into the text
        return;
    }
    TColumnX* c = Column();
    if (key == Qt::Key_Delete && mods == Qt::NoModifier && !HasSel() && CaretPos() == text().size() && c &&
        ((editStyle_ == esPickList && c->ColumnKind() == 3) || editStyle_ == esDataList) && c->CanModify(true)) {
        if (editStyle_ == esDataList) {
            // Delete at the end empties the lookup: its key goes.
            if (TField* k = c->ModifiedField(); k && k->CanModify()) k->Clear();
            grid_->SetEditKeyValue(db::Value());
            c->Field()->Clear();
        }
        clear();
        grid_->SetEditText(QString());
        return;
    }
    if (key == Qt::Key_Backspace && c && (c->ColumnKind() == 2 || c->ColumnKind() == 3)) {
        QKeyEvent left(e->type(), Qt::Key_Left, Qt::NoModifier);
        BaseKey(&left);
        return;
    }
    // A multi-line box keeps Up and Down for its lines; a grid that always shows the editor
    // takes them on the first or last line, or with the caret at the end of the text.
    if (wordWrap_ && (key == Qt::Key_Up || key == Qt::Key_Down) && !(mods & Qt::AltModifier)) {
        const bool toGrid = grid_->Options().Has(dgAlwaysShowEditor) &&
                            ((key == Qt::Key_Up && wrap_->CaretOnFirstLine()) ||
                             (key == Qt::Key_Down && wrap_->CaretOnLastLine()) || CaretPos() == text().size());
        if (!toGrid) {
            BaseKey(e);
            return;
        }
    }
    const QString t = e->text();
    if (t.size() == 1 && IsTypedText(t) && (CompleteLookup(t[0]) || Complete(t[0]))) return;
    // A character the field cannot take (a letter in a number) is not typed.
    if (IsTypedText(t) && !(mods & Qt::ControlModifier) && Acceptable(t) != t) {
        QApplication::beep();
        return;
    }
    // Keys that move between cells belong to the grid.
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: grid_->EditorKey(key, mods); return;
    case Qt::Key_Insert:
        // Insert adds a record; with a modifier (Shift+Insert pastes, Ctrl+Insert copies)
        // it stays the editor's, for its text.
        if (mods == Qt::NoModifier) {
            grid_->EditorKey(key, mods);
            return;
        }
        break;
    default: break;
    }
    const QString before = text();
    const int caret = CaretPos();
    BaseKey(e);
    TextChangedFrom(before, caret);
}

QString TDBGridInplaceEdit::Acceptable(const QString& input) const {
    QString kept;
    for (QChar ch : input)
        if (grid_->CanEditAcceptKey(ch)) kept += ch;
    return kept;
}

void TDBGridInplaceEdit::TextChangedFrom(const QString& before, int caret) {
    if (text() != before) {
        // A change needs the record in edit state; a cell that may not change keeps its text.
        // Nor does a string field take more than its size (a longer stored text is not cut,
        // but it does not grow).
        const int limit = grid_->GetEditLimit();
        const bool tooLong = limit > 0 && text().size() > limit && text().size() > before.size();
        if (tooLong || !grid_->CanEditModifyAny()) {
            if (tooLong) QApplication::beep();
            setText(before);
            SetSel(std::min(caret, int(before.size())), 0);
            return;
        }
        grid_->DataLink()->SetModified();
    }
    grid_->SetEditText(text());
}

void TDBGridInplaceEdit::HandleInputMethod(QInputMethodEvent* e, QWidget* box) {
    // Text an input method commits passes the same gates as typed keys: characters the field
    // cannot take are left out, and no more than the field's size is taken.
    QString commit = Acceptable(e->commitString());
    const int limit = grid_->GetEditLimit();
    if (limit > 0) {
        const int selected =
            HasSel() ? int((wordWrap_ ? wrap_->textCursor().selectedText() : selectedText()).size()) : 0;
        commit = commit.left(std::max(0, limit - (int(text().size()) - selected)));
    }
    if (commit != e->commitString()) QApplication::beep();
    const QString before = text();
    const int caret = CaretPos();
    QInputMethodEvent copy(e->preeditString(), e->attributes());
    copy.setCommitString(commit, e->replacementStart(), e->replacementLength());
    if (box == wrap_)
        wrap_->BaseInputMethod(&copy);
    else
        QLineEdit::inputMethodEvent(&copy);
    if (!commit.isEmpty()) TextChangedFrom(before, caret);
}

void PaintEditButton(QPainter& p, const QWidget* w, const QRect& r, int editStyle, bool active, bool pressed) {
    QStyleOptionButton o;
    o.rect = r;
    o.palette = w->palette();
    o.state =
        (active ? QStyle::State_Enabled : QStyle::State_None) | (pressed ? QStyle::State_Sunken : QStyle::State_Raised);
    w->style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &o, &p, w);
    if (editStyle == esEllipsis) {
        // Three dots: an eighth of the button, 1 to 2 pixels, the middle one centred.
        const int d = std::clamp(std::min(r.width(), r.height()) / 8, 1, 2);
        const int x = r.left() + r.width() / 2 - 1 + (pressed ? 1 : 0);
        const int y = r.top() + r.height() / 2 - 1 + (pressed ? 1 : 0);
        for (int k : {-2, 0, 2}) p.fillRect(x + k * d, y, d, d, Qt::black);
    } else {
        QStyleOption a;
        a.rect = r.adjusted(3, 3, -3, -3);
        a.palette = w->palette();
        a.state = active ? QStyle::State_Enabled : QStyle::State_None;
        w->style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &a, &p, w);
    }
}

void PaintUpDownButton(QPainter& p, const QWidget* w, const QRect& r, bool active) {
    const QRect up(r.left(), r.top(), r.width(), r.height() / 2);
    const QRect down(r.left(), up.bottom() + 1, r.width(), r.height() - up.height());
    for (const QRect& half : {up, down}) {
        QStyleOptionButton o;
        o.rect = half;
        o.palette = w->palette();
        o.state = (active ? QStyle::State_Enabled : QStyle::State_None) | QStyle::State_Raised;
        w->style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &o, &p, w);
        QStyleOption a;
        a.rect = half.adjusted(3, 1, -3, -1);
        a.palette = w->palette();
        a.state = o.state;
        w->style()->drawPrimitive(half == up ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &a, &p, w);
    }
}

void TDBGridInplaceEdit::paintEvent(QPaintEvent* e) {
    QLineEdit::paintEvent(e);
    if (editStyle_ == esSimple || editStyle_ == esUpDown) return;
    QPainter p(this);
    PaintEditButton(p, this, ButtonRect(), editStyle_, true, pressed_);
}

void TDBGridInplaceEdit::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && editStyle_ != esSimple && editStyle_ != esUpDown &&
        ButtonRect().contains(e->position().toPoint())) {
        if (listVisible_) {
            CloseUp(false);
        } else {
            tracking_ = true;
            TrackButton(e->position().toPoint());
            if (activeList_) DropDown();
        }
        return;
    }
    QLineEdit::mousePressEvent(e);
}

void TDBGridInplaceEdit::TrackButton(const QPoint& p) {
    const bool now = ButtonRect().contains(p);
    if (now == pressed_) return;
    pressed_ = now;
    update(ButtonRect());
}

namespace {
// Sends a mouse event at the editor's point p to the list's viewport, in its coordinates.
void SendToList(const QWidget* editor, QWidget* list, QEvent::Type type, const QPoint& p, Qt::MouseButton button,
                Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    const QPoint at = list->mapFromGlobal(editor->mapToGlobal(p));
    QMouseEvent e(type, QPointF(at), QPointF(list->mapToGlobal(at)), button, buttons, mods);
    QApplication::sendEvent(list, &e);
}
}  // namespace

QWidget* TDBGridInplaceEdit::ListViewport() const {
    if (!listVisible_) return nullptr;
    if (activeList_ == pickList_) return pickList_->viewport();
    if (activeList_ == dataList_) return dataList_->viewport();
    return nullptr;
}

void TDBGridInplaceEdit::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (e->buttons() == Qt::NoButton) UpdateCursor(p);
    QWidget* list = ListViewport();
    if (listTracking_ && list) {
        // The press that opened the list goes on inside it: its item follows the mouse.
        SendToList(this, list, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton, e->modifiers());
        return;
    }
    if (tracking_) {
        TrackButton(p);
        if (list && list->rect().contains(list->mapFromGlobal(mapToGlobal(p)))) {
            tracking_ = false;
            TrackButton(QPoint(-1, -1));
            listTracking_ = true;
            SendToList(this, list, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton, e->modifiers());
        }
        return;
    }
    QLineEdit::mouseMoveEvent(e);
}

void TDBGridInplaceEdit::mouseReleaseEvent(QMouseEvent* e) {
    if (listTracking_) {
        listTracking_ = false;
        // Released over the list: its choice is taken (the list closes itself).
        if (QWidget* list = ListViewport())
            SendToList(this, list, QEvent::MouseButtonRelease, e->position().toPoint(), e->button(), Qt::NoButton,
                       e->modifiers());
        return;
    }
    tracking_ = false;
    const bool was = pressed_;
    pressed_ = false;
    update();
    if (e->button() == Qt::LeftButton && was && (editStyle_ == esEllipsis || editStyle_ == esDropDown) &&
        ButtonRect().contains(e->position().toPoint())) {
        grid_->EditButtonClick();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
}

void TDBGridInplaceEdit::mouseDoubleClickEvent(QMouseEvent* e) {
    if (editStyle_ != esSimple && ButtonRect().contains(e->position().toPoint())) return;  // ignored on the button
    QLineEdit::mouseDoubleClickEvent(e);
    TColumnX* c = Column();
    if (c && c->DblClickNextVal) c->SetNextFieldValue((e->modifiers() & Qt::ShiftModifier) ? -1 : 1);
}

void TDBGridInplaceEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    ListFocusLost();
}

bool TDBGridInplaceEdit::eventFilter(QObject* watched, QEvent* e) {
    if (listVisible_ && (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) &&
        watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        const bool ours =
            w == this || isAncestorOf(w) || (activeList_ && (w == activeList_ || activeList_->isAncestorOf(w)));
        if (!ours) CloseUp(false);
    }
    return QLineEdit::eventFilter(watched, e);
}

void TDBGridInplaceEdit::ListFocusLost() {
    if (listVisible_ && !(activeList_ && activeList_->isAncestorOf(QApplication::focusWidget()))) CloseUp(false);
}

void TDBGridInplaceEdit::UpDownClick(bool up) {
    TColumnX* c = Column();
    if (!c || !c->CanModify(true)) return;
    if (grid_->EditTextOf(c) != text() && c->Field()) c->Field()->SetText(text());
    double step = up ? c->Increment : -c->Increment;
    if (c->ColumnKind() != 0) step = -step;
    c->SetNextFieldValue(step);
    setText(grid_->EditTextOf(c));
}

}  // namespace qm::grid
