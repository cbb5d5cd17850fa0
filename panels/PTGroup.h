#pragma once
// A container panel with one of eleven frames around its client area. The frame lives in the
// panel's margins; children go into ClientWidget(), which never overlaps the frame. The group
// style sets its caption into the top line of an etched frame; the other styles can draw the
// caption inside the client area.

#include "panels/FrameGeometry.h"

#include <QColor>
#include <QWidget>
#include <functional>

class QPainter;

namespace qm {

class TPTCustomGroup;

// The client area: erases and paints on behalf of its panel.
class PTGroupClient : public QWidget {
    Q_OBJECT
public:
    explicit PTGroupClient(TPTCustomGroup* owner);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TPTCustomGroup* owner_;
};

class TPTCustomGroup : public QWidget {
    Q_OBJECT
public:
    // Called at the end of every client paint with the panel and the client's painter.
    using TPTFramePaintEvent = std::function<void(QObject* aSender, QPainter& aCanvas)>;

    explicit TPTCustomGroup(QWidget* parent = nullptr);

    QWidget* ClientWidget() const { return client_; }
    // The client area in panel coordinates (the panel's rectangle less the frame).
    QRect ClientRect() const;

    TPTFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TPTFrameStyle value);
    TPTAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPTAlignment value);
    int FrameSpace() const { return frameSpace_; }
    void SetFrameSpace(int value);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool value);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& value);
    const TPTFramePaintEvent& OnPaint() const { return onPaint_; }
    void SetOnPaint(TPTFramePaintEvent fn) { onPaint_ = std::move(fn); }

    // Sets every child of the client area to the given state. Not used by the panel's own
    // enabling: that leaves each child's own state alone (see changeEvent).
    void SetChildrenEnabled(bool value);

    // The panel's colour (background of the client area and of the group frame).
    QColor PanelColor() const;
    // A frame colour as the desktop gives it; frames keep these colours whatever the state.
    QColor SysColor(FrameColor c) const;
    // Height of the group band: the font's text height with a caption, else 2.
    int GroupBandHeight() const;
    // Space the current frame takes from each side.
    QMargins FrameInsets() const;

signals:
    void clicked();
    void doubleClicked();

protected:
    // For descendants whose default frame differs: stored before the first layout.
    TPTCustomGroup(QWidget* parent, TPTFrameStyle initialStyle);

    // Draws the frame of the current style into r (the whole panel); the painter is already
    // clipped to the frame area.
    virtual void PaintFrame(QPainter& p, const QRect& r);
    // Client-area drawing: the caption for the non-group styles, then OnPaint.
    virtual void Paint(QPainter& p);
    // Recomputes the client area from the current style, caption and font and repaints.
    void FrameChanged();

    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    friend class PTGroupClient;
    void ApplyBackground();
    void Relayout();
    void PaintGroupFrame(QPainter& p, const QRect& r);

    PTGroupClient* client_ = nullptr;
    TPTAlignment alignment_ = TPTAlignment::taCenter;
    bool defaultDrawing_ = true;
    int frameSpace_ = 2;
    TPTFrameStyle frameStyle_ = TPTFrameStyle::ptfsGroup;
    QString caption_;
    TPTFramePaintEvent onPaint_;
    bool pressed_ = false;
};

// The panel as forms use it.
class TPTGroup : public TPTCustomGroup {
    Q_OBJECT
public:
    explicit TPTGroup(QWidget* parent = nullptr) : TPTCustomGroup(parent) {}

protected:
    TPTGroup(QWidget* parent, TPTFrameStyle initialStyle) : TPTCustomGroup(parent, initialStyle) {}
};

}  // namespace qm
