#include "grid/MoneyStyle.h"

#include "grid/NumberFormat.h"

#include <QFontMetrics>
#include <QWidget>

namespace qm::grid {

namespace {

// The head font's own family is a Windows font; fontconfig falls back to a CJK face.
QFont DefaultHeadFont() {
    QFont f(QStringLiteral("楷体_GB2312"));
    f.setFamilies({QStringLiteral("楷体_GB2312"), QStringLiteral("AR PL UKai CN"), QStringLiteral("Noto Serif CJK SC"),
                   QStringLiteral("Noto Sans CJK SC")});
    return f;
}

}  // namespace

TMoneyStyle::TMoneyStyle(QWidget* control) : control_(control), headFont_(DefaultHeadFont()) {
    if (control) currencyFont_ = control->font();
    CalcMetrics();
}

void TMoneyStyle::CalcMetrics() {
    const QFontMetrics cm(currencyFont_);
    engWidth_ = cm.horizontalAdvance(QLatin1Char('0'));
    engHeight_ = cm.height();
    chnWidth_ = 2 * ((engWidth_ + engWidth_ / 2) / 2);
    chnHeight_ = QFontMetrics(headFont_).height();
}

void TMoneyStyle::Changed() {
    if (OnChange) OnChange();
    if (control_) control_->update();
}

void TMoneyStyle::SetCurrencyFont(const QFont& f) {
    currencyFont_ = f;
    currencyFont_.setBold(false);
    currencyFont_.setItalic(false);
    currencyFont_.setUnderline(false);
    currencyFont_.setStrikeOut(false);
    CalcMetrics();
    Changed();
}

void TMoneyStyle::SetHeadFont(const QFont& f) {
    headFont_ = f;
    CalcMetrics();
    Changed();
}

#define QM_SETTER(Name, member, Type)     \
    void TMoneyStyle::Set##Name(Type v) { \
        if (v == member) return;          \
        member = v;                       \
        Changed();                        \
    }
QM_SETTER(CurrencySymbol, symbol_, const QString&)
QM_SETTER(CompartColor, compart_, const QColor&)
QM_SETTER(KilobitColor, kilobit_, const QColor&)
QM_SETTER(RadixColor, radix_, const QColor&)
QM_SETTER(MinusColor, minus_, const QColor&)
QM_SETTER(ShowMinus, showMinus_, bool)
QM_SETTER(ShowZero, showZero_, bool)
QM_SETTER(Layout, layout_, TTextLayout)
#undef QM_SETTER

void TMoneyStyle::SetDigits(int v) {
    if (v == digits_ || v < 1 || v > 4) return;
    digits_ = v;
    Changed();
}

void TMoneyStyle::Assign(const TMoneyStyle& src) {
    currencyFont_ = src.currencyFont_;
    headFont_ = src.headFont_;
    symbol_ = src.symbol_;
    compart_ = src.compart_;
    kilobit_ = src.kilobit_;
    radix_ = src.radix_;
    showMinus_ = src.showMinus_;
    minus_ = src.minus_;
    layout_ = src.layout_;
    CalcMetrics();
    Changed();  // what the fonts' change handlers did
}

QString TMoneyStyle::CaptionString(int digits) {
    QString p;
    for (int i = 0; i < 4; ++i) p += QStringLiteral("千百十万千百十亿");
    p += QStringLiteral("千百十万千百十");
    static const QString kTail[] = {QStringLiteral("元角"), QStringLiteral("元角分"), QStringLiteral("元角分毫"),
                                    QStringLiteral("元角分毫厘")};
    return p + kTail[std::clamp(digits, 1, 4) - 1];
}

QColor TMoneyStyle::LineColor(int i) const {
    if (i == digits_) return radix_;
    // Every third position from the decimal point, on both sides of it (with 3 or 4
    // decimals one falls among the decimals).
    if ((i - digits_) % 3 == 0) return kilobit_;
    return compart_;
}

QString ReplaceAll(const QString& s, const QString& from, const QString& to) {
    if (from.isEmpty()) return s;
    QString out;
    int i = 0;
    for (;;) {
        const int j = int(s.indexOf(from, i));
        if (j < 0) break;
        out += s.mid(i, j - i) + to;
        i = j + int(from.size());
    }
    return out + s.mid(i);
}

TMoneyCellLayout LayoutMoneyCell(TMoneyStyle& style, const QString& text, const QRect& rect, const QColor& textColor) {
    style.CheckDigits();
    TMoneyCellLayout l;
    TCurrency v = 0;
    if (!StrToCurr(text, v)) v = 0;  // a text that is no amount is drawn as 0
    QString digits = CurrToStrFixed(v < 0 ? -v : v, style.Digits());
    l.color = textColor;
    if (v < 0) {
        l.color = style.MinusColor();
        if (style.ShowMinus()) digits.prepend(u'-');
    } else if (v == 0 && !style.ShowZero()) {
        digits.clear();
    }
    l.text = ReplaceAll(digits, QStringLiteral("."), QString());
    const int w = std::max(1, style.CHNWidth());
    const int right = rect.right() + 1;  // exclusive right edge
    for (int k = 0; k < l.text.size(); ++k)
        l.boxes.push_back(QRect(right - 2 - (k + 1) * w, rect.top(), w, rect.height()));
    // The symbol in the head font at the digits' height.
    l.symbolFont = style.HeadFont();
    l.symbolFont.setPixelSize(std::max(1, style.ENGHeight()));
    if (!l.text.isEmpty()) {
        const int symRight = right - w * int(l.text.size());
        l.symbolBox = QRect(symRight - w, rect.top(), w, rect.height());
        l.symbol = l.symbolBox.left() > rect.left();
    }
    for (int x = right - 2, i = 0; x > rect.left(); x -= w, ++i) {
        l.lineX.push_back(x);
        l.lineColor.push_back(style.LineColor(i));
    }
    return l;
}

namespace {

Qt::Alignment VAlign(TTextLayout l) {
    return l == tlTop ? Qt::AlignTop : l == tlBottom ? Qt::AlignBottom : Qt::AlignVCenter;
}

// A head-font glyph squeezed into a box of the position width.
void DrawSqueezed(QPainter& p, const QFont& font, const QString& ch, const QRect& box, Qt::Alignment v) {
    const QFontMetrics fm(font);
    const int natural = std::max(1, fm.horizontalAdvance(ch));
    p.save();
    p.setFont(font);
    const double sx = std::min(1.0, double(box.width()) / natural);
    p.translate(box.left() + (box.width() - natural * sx) / 2.0, box.top());
    p.scale(sx, 1.0);
    p.drawText(QRect(0, 0, natural, box.height()), int(Qt::AlignHCenter | v), ch);
    p.restore();
}

}  // namespace

void DrawMoneyCell(TMoneyStyle& style, QPainter& p, const QString& text, const QRect& rect, const QColor& textColor) {
    const TMoneyCellLayout l = LayoutMoneyCell(style, text, rect, textColor);
    p.fillRect(rect, p.brush().color());
    p.setFont(style.CurrencyFont());
    p.setPen(l.color);
    const Qt::Alignment v = VAlign(style.Layout());
    for (int k = 0; k < l.text.size(); ++k)
        p.drawText(l.boxes[size_t(k)], int(Qt::AlignHCenter | v), QString(l.text[l.text.size() - 1 - k]));
    if (l.symbol) DrawSqueezed(p, l.symbolFont, style.CurrencySymbol(), l.symbolBox, v);
    for (size_t i = 0; i < l.lineX.size(); ++i) {
        p.setPen(l.lineColor[i]);
        p.drawLine(l.lineX[i], rect.top(), l.lineX[i], rect.bottom());
    }
}

void DrawMoneyHeader(TMoneyStyle& style, QPainter& p, const QRect& rect, const QPalette& palette) {
    style.CheckDigits();
    const QString captions = TMoneyStyle::CaptionString(style.Digits());
    const int w = std::max(1, style.CHNWidth());
    const int right = rect.right() + 1;
    p.setPen(palette.color(QPalette::ButtonText));
    for (int k = 0; k < captions.size(); ++k) {
        const QRect box(right - 2 - (k + 1) * w, rect.top(), w, rect.height());
        if (box.left() < rect.left()) break;  // only the captions that fit, the rightmost first
        DrawSqueezed(p, style.HeadFont(), QString(captions[captions.size() - 1 - k]), box, Qt::AlignBottom);
    }
    p.setPen(palette.color(QPalette::Dark));
    p.drawLine(rect.left(), rect.top() - 1, rect.right(), rect.top() - 1);
    p.setPen(palette.color(QPalette::Light));
    p.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
    for (int x = right - 2, i = 0; x > rect.left(); x -= w, ++i) {
        p.setPen(style.LineColor(i));
        p.drawLine(x, rect.top(), x, rect.bottom());
    }
}

}  // namespace qm::grid
