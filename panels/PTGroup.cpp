#include "panels/PTGroup.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

namespace qm {

PTGroupClient::PTGroupClient(TPTCustomGroup* owner) : QWidget(owner), owner_(owner) {}

void PTGroupClient::paintEvent(QPaintEvent*) {
    QPainter p(this);
    owner_->Paint(p);
}

TPTCustomGroup::TPTCustomGroup(QWidget* parent) : TPTCustomGroup(parent, TPTFrameStyle::ptfsGroup) {}

TPTCustomGroup::TPTCustomGroup(QWidget* parent, TPTFrameStyle initialStyle)
    : QWidget(parent), frameStyle_(initialStyle) {
    client_ = new PTGroupClient(this);
    resize(64, 48);
    ApplyBackground();
    Relayout();
}

int TPTCustomGroup::GroupBandHeight() const {
    // The height of "0" in the panel's font is the font's full text height.
    return qm::GroupBandHeight(!caption_.isEmpty(), QFontMetrics(font()).height());
}

QMargins TPTCustomGroup::FrameInsets() const {
    return qm::FrameInsets(frameStyle_, !caption_.isEmpty(), QFontMetrics(font()).height());
}

QRect TPTCustomGroup::ClientRect() const {
    const QMargins m = FrameInsets();
    const int w = width() - m.left() - m.right();
    const int h = height() - m.top() - m.bottom();
    return QRect(m.left(), m.top(), std::max(0, w), std::max(0, h));
}

QColor TPTCustomGroup::PanelColor() const { return palette().color(QPalette::Window); }

QColor TPTCustomGroup::SysColor(FrameColor c) const {
    // Desktop colours do not follow the panel's enabled or focus state, so always the active set.
    QPalette::ColorRole role = QPalette::Dark;
    switch (c) {
    case FrameColor::BtnShadow: role = QPalette::Dark; break;
    case FrameColor::DkShadow: role = QPalette::Shadow; break;
    case FrameColor::BtnFace: role = QPalette::Button; break;
    case FrameColor::BtnHighlight: role = QPalette::Light; break;
    case FrameColor::WindowFrame: role = QPalette::WindowText; break;
    }
    return palette().color(QPalette::Active, role);
}

void TPTCustomGroup::SetFrameStyle(TPTFrameStyle value) {
    if (value == frameStyle_) return;
    frameStyle_ = value;
    FrameChanged();
}

void TPTCustomGroup::SetAlignment(TPTAlignment value) {
    alignment_ = value;
    client_->update();
}

void TPTCustomGroup::SetFrameSpace(int value) {
    frameSpace_ = value;
    client_->update();
}

void TPTCustomGroup::SetDefaultDrawing(bool value) {
    defaultDrawing_ = value;
    ApplyBackground();
    client_->update();
}

void TPTCustomGroup::SetCaption(const QString& value) {
    if (value == caption_) return;
    caption_ = value;
    client_->update();
    // The group caption's height decides where the client area starts.
    if (frameStyle_ == TPTFrameStyle::ptfsGroup) FrameChanged();
}

void TPTCustomGroup::SetChildrenEnabled(bool value) {
    for (QObject* o : client_->children())
        if (auto* w = qobject_cast<QWidget*>(o)) w->setEnabled(value);
}

void TPTCustomGroup::FrameChanged() { Relayout(); }

void TPTCustomGroup::Relayout() {
    setContentsMargins(FrameInsets());
    client_->setGeometry(ClientRect());
    update();
    client_->update();
}

void TPTCustomGroup::ApplyBackground() {
    // Without default drawing nothing erases the client area: it is left to OnPaint.
    client_->setAutoFillBackground(defaultDrawing_);
    client_->setAttribute(Qt::WA_NoSystemBackground, !defaultDrawing_);
}

void TPTCustomGroup::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setClipRegion(QRegion(rect()) - QRegion(ClientRect()));
    PaintFrame(p, rect());
}

void TPTCustomGroup::PaintFrame(QPainter& p, const QRect& r) {
    if (frameStyle_ == TPTFrameStyle::ptfsGroup) {
        PaintGroupFrame(p, r);
        return;
    }
    // One-pixel spans, so every line starts and ends on exactly its own pixels.
    for (const FrameSpan& s : FrameSpans(frameStyle_, r)) p.fillRect(s.rect, SysColor(s.color));
}

void TPTCustomGroup::PaintGroupFrame(QPainter& p, const QRect& r) {
    p.fillRect(r, PanelColor());
    const int h = GroupBandHeight();
    for (const FrameSpan& s : FrameSpans(TPTFrameStyle::ptfsGroup, r, h)) p.fillRect(s.rect, SysColor(s.color));
    if (caption_.isEmpty()) return;

    const QRect cr = GroupCaptionRect(r, h);
    if (cr.width() <= 0) return;
    const QFontMetrics fm(font());
    const QString text = fm.elidedText(caption_, Qt::ElideRight, cr.width());
    const int textWidth = std::min(fm.horizontalAdvance(text), cr.width());
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    p.setFont(font());

    // The caption's own background interrupts the frame's top lines.
    auto draw = [&](const QRect& at, const QColor& color, bool opaque) {
        p.save();
        p.setClipRect(at, Qt::IntersectClip);
        if (opaque) p.fillRect(QRect(at.left(), at.top(), textWidth, at.height()), PanelColor());
        p.setPen(color);
        p.drawText(at, flags, text);
        p.restore();
    };
    if (isEnabled()) {
        draw(cr, SysColor(FrameColor::WindowFrame), true);
    } else {
        // Engraved: a highlight copy one pixel right and down, the shadow copy over it.
        draw(cr.translated(1, 1), SysColor(FrameColor::BtnHighlight), true);
        draw(cr, SysColor(FrameColor::BtnShadow), false);
    }
}

void TPTCustomGroup::Paint(QPainter& p) {
    if (defaultDrawing_ && frameStyle_ != TPTFrameStyle::ptfsGroup && !caption_.isEmpty()) {
        const QRect cr = client_->rect().adjusted(frameSpace_, 0, -frameSpace_, 0);
        if (cr.width() > 0) {
            int flags = Qt::AlignVCenter | Qt::TextSingleLine;
            switch (alignment_) {
            case TPTAlignment::taLeftJustify: flags |= Qt::AlignLeft; break;
            case TPTAlignment::taRightJustify: flags |= Qt::AlignRight; break;
            case TPTAlignment::taCenter: flags |= Qt::AlignHCenter; break;
            }
            p.setFont(font());
            p.setPen(SysColor(FrameColor::WindowFrame));
            p.drawText(cr, flags, QFontMetrics(font()).elidedText(caption_, Qt::ElideRight, cr.width()));
        }
    }
    if (onPaint_) onPaint_(this, p);
}

void TPTCustomGroup::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    client_->setGeometry(ClientRect());
}

void TPTCustomGroup::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    switch (e->type()) {
    case QEvent::FontChange:
        // Only the group caption's height moves the client area.
        if (frameStyle_ == TPTFrameStyle::ptfsGroup)
            FrameChanged();
        else
            client_->update();
        break;
    case QEvent::EnabledChange:
        // The children follow through the widget tree and keep their own disabled state;
        // forcing them all back on would enable controls their form had disabled.
        update();
        client_->update();
        break;
    case QEvent::PaletteChange:
        update();
        client_->update();
        break;
    default: break;
    }
}

// Only the client area clicks: the frame is outside it, as a window's border is outside its
// client, so presses there are taken but raise neither click nor double-click.
void TPTCustomGroup::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) pressed_ = ClientRect().contains(e->position().toPoint());
    QWidget::mousePressEvent(e);
    e->accept();
}

void TPTCustomGroup::mouseReleaseEvent(QMouseEvent* e) {
    const bool click = pressed_ && e->button() == Qt::LeftButton && ClientRect().contains(e->position().toPoint());
    if (e->button() == Qt::LeftButton) pressed_ = false;
    e->accept();
    if (click) emit clicked();
}

void TPTCustomGroup::mouseDoubleClickEvent(QMouseEvent* e) {
    e->accept();
    if (e->button() == Qt::LeftButton && ClientRect().contains(e->position().toPoint())) emit doubleClicked();
}

}  // namespace qm
