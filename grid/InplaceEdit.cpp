#include "grid/InplaceEdit.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>

#include <climits>

namespace qm::grid {

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
    if (t.size() == 1 && t[0].unicode() >= 32 && !(e->modifiers() & Qt::ControlModifier)) {
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

// ---------------------------------------------------------------- TDBGridInplaceEdit

TDBGridInplaceEdit::TDBGridInplaceEdit(TCustomDBGridX* grid) : QLineEdit(grid->viewport()), grid_(grid) {
    buttonWidth_ = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    setFrame(false);
    hide();
    WorkArea = [this] {
        QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    };
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
    update();
}

void TDBGridInplaceEdit::UpdateContents() {
    TColumnX* c = Column();
    SetEditStyle(c ? grid_->GetColumnEditStyle(c) : esSimple);
    if (!c) return;
    QFont f = c->Font();
    QColor bg = c->Color();
    grid_->GetCellParams(c, f, bg, TGridDrawState{gdFocused});
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, bg);
    setPalette(pal);
    setText(grid_->EditTextOf(c));
}

void TDBGridInplaceEdit::BoundsChanged() {
    const int right = editStyle_ != esSimple ? buttonWidth_ : 0;
    setTextMargins(2, grid_->Flat() ? 1 : 2, 2 + right, 0);
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
        pickList_->clear();
        const int n = c->KeyList().isEmpty() ? int(c->PickList().size())
                                             : int(std::min(c->KeyList().size(), c->PickList().size()));
        for (int i = 0; i < n; ++i) {
            auto* it = new QListWidgetItem(c->PickList()[i]);
            it->setSizeHint(QSize(0, 11));
            pickList_->addItem(it);
        }
        int sel = -1;
        if (c->Field() && !c->Field()->IsNull()) sel = int(c->PickList().indexOf(text()));
        pickList_->setCurrentRow(sel);
        int w = width();
        for (int i = 0; i < n; ++i) w = std::max(w, pickList_->fontMetrics().horizontalAdvance(c->PickList()[i]) + 8);
        size = QSize(w, PickListHeight(n, c->DropDownRows));
        pickList_->SearchText.clear();
    } else if (activeList_ == calendarFrame_) {
        calendar_->setSelectedDate(CalendarDateOf(text(), QDate::currentDate()));
        size = calendarFrame_->minimumSizeHint().expandedTo(calendarFrame_->sizeHint());
    }
    const QRect editor(mapToGlobal(QPoint(0, 0)), this->size());
    const QRect r = PlacePopup(editor, size, WorkArea());
    activeList_->setGeometry(r);
    activeList_->setFixedSize(r.size());
    activeList_->show();
    listVisible_ = true;
    update();
}

void TDBGridInplaceEdit::CloseUp(bool accept) {
    if (!listVisible_) return;
    TColumnX* c = Column();
    QString value;
    bool hasValue = false;
    if (activeList_ == pickList_ && pickList_->currentRow() >= 0) {
        const int i = pickList_->currentRow();
        hasValue = true;
        value =
            (c && !c->KeyList().isEmpty() && i < c->KeyList().size()) ? c->KeyList()[i] : pickList_->item(i)->text();
    }
    activeList_->hide();
    listVisible_ = false;
    update();
    if (!c) return;
    if (!accept) {
        setText(grid_->EditTextOf(c));  // back to what the field holds
        return;
    }
    if (activeList_ == calendarFrame_) {
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
    selectAll();
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
    const QString s = text().left(hasSelectedText() ? selectionStart() : cursorPosition()) + ch;
    const int i = FindPickListItem(c->PickList(), s);
    if (i < 0 || !grid_->CanEditModifyAny()) return false;
    const QString item = c->PickList()[i];
    setText(item);
    setSelection(int(s.size()), int(item.size() - s.size()));
    grid_->DataLink()->Edit();
    grid_->DataLink()->SetModified();
    grid_->SetEditText(item);
    if (listVisible_ && pickList_) pickList_->setCurrentRow(i);
    return true;
}

void TDBGridInplaceEdit::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    const Qt::KeyboardModifiers mods = e->modifiers();
    if (editStyle_ == esPickList || editStyle_ == esDataList || editStyle_ == esDateCalendar) {
        if (DoDropDownKeys(key, mods)) return;
        if (listVisible_ &&
            (key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Up || key == Qt::Key_Down ||
             ((key == Qt::Key_Home || key == Qt::Key_End) && (mods & Qt::ControlModifier)))) {
            if (activeList_ == pickList_) {
                QKeyEvent copy(e->type(), key, mods & ~Qt::ControlModifier);
                QApplication::sendEvent(pickList_, &copy);
                if (pickList_->currentItem() && pickList_->currentItem()->text() != text())
                    setText(pickList_->currentItem()->text());
            }
            return;
        }
        const QString t = e->text();
        TColumnX* c = Column();
        if (t.size() == 1 && t[0].unicode() >= 32 && !listVisible_ && c && c->AutoDropDown) DropDown();
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (mods & Qt::ControlModifier) &&
        (editStyle_ == esEllipsis || editStyle_ == esDropDown)) {
        grid_->EditButtonClick();  // no line break goes into the text
        return;
    }
    TColumnX* c = Column();
    if (key == Qt::Key_Delete && mods == Qt::NoModifier && !hasSelectedText() && cursorPosition() == text().size() &&
        c && c->CanModify(true) && editStyle_ == esPickList && c->ColumnKind() == 3) {
        clear();
        grid_->SetEditText(QString());
        return;
    }
    if (key == Qt::Key_Backspace && c && (c->ColumnKind() == 2 || c->ColumnKind() == 3)) {
        cursorBackward(false);
        return;
    }
    const QString t = e->text();
    if (t.size() == 1 && Complete(t[0])) return;
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
    case Qt::Key_Escape:
    case Qt::Key_Insert: grid_->EditorKey(key, mods); return;
    default: break;
    }
    const QString before = text();
    QLineEdit::keyPressEvent(e);
    if (text() != before) {
        // A change needs the record in edit state; a cell that may not change keeps its text.
        if (!grid_->CanEditModifyAny()) {
            setText(before);
            return;
        }
        grid_->DataLink()->SetModified();
    }
    grid_->SetEditText(text());
}

void TDBGridInplaceEdit::paintEvent(QPaintEvent* e) {
    QLineEdit::paintEvent(e);
    if (editStyle_ == esSimple || editStyle_ == esUpDown) return;
    QPainter p(this);
    const QRect r = ButtonRect();
    QStyleOptionButton o;
    o.rect = r;
    o.state = QStyle::State_Enabled | (pressed_ ? QStyle::State_Sunken : QStyle::State_Raised);
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &o, &p, this);
    if (editStyle_ == esEllipsis) {
        // Three dots: an eighth of the button, 1 to 2 pixels, the middle one centred.
        const int d = std::clamp(std::min(r.width(), r.height()) / 8, 1, 2);
        const int x = r.left() + r.width() / 2 - 1 + (pressed_ ? 1 : 0);
        const int y = r.top() + r.height() / 2 - 1 + (pressed_ ? 1 : 0);
        for (int k : {-2, 0, 2}) p.fillRect(x + k * d, y, d, d, Qt::black);
    } else {
        QStyleOption a;
        a.rect = r.adjusted(3, 3, -3, -3);
        a.state = QStyle::State_Enabled;
        style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &a, &p, this);
    }
}

void TDBGridInplaceEdit::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && editStyle_ != esSimple && editStyle_ != esUpDown &&
        ButtonRect().contains(e->position().toPoint())) {
        if (listVisible_) {
            CloseUp(false);
        } else {
            pressed_ = true;
            update();
            if (activeList_) DropDown();
        }
        return;
    }
    QLineEdit::mousePressEvent(e);
}

void TDBGridInplaceEdit::mouseReleaseEvent(QMouseEvent* e) {
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
