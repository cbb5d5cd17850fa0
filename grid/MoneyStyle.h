#pragma once
// Ledger-style money: a strip of unit captions (… 千 百 十 元 角 分) over a money column, and
// each amount drawn one digit per position between thin lines whose colours mark the
// decimal point and every third position left of it. Digits and captions are placed
// explicitly in their position boxes, so the drawing does not depend on letter spacing.

#include "grid/DBGridX.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>

#include <functional>
#include <vector>

namespace qm::grid {

class TMoneyStyle {
public:
    explicit TMoneyStyle(QWidget* control = nullptr);

    QFont CurrencyFont() const { return currencyFont_; }
    void SetCurrencyFont(const QFont& f);  // the digit font is never bold, italic or lined
    QFont HeadFont() const { return headFont_; }
    void SetHeadFont(const QFont& f);
    QString CurrencySymbol() const { return symbol_; }
    void SetCurrencySymbol(const QString& v);
    QColor CompartColor() const { return compart_; }
    void SetCompartColor(const QColor& c);
    QColor KilobitColor() const { return kilobit_; }
    void SetKilobitColor(const QColor& c);
    QColor RadixColor() const { return radix_; }
    void SetRadixColor(const QColor& c);
    QColor MinusColor() const { return minus_; }
    void SetMinusColor(const QColor& c);
    bool ShowMinus() const { return showMinus_; }
    void SetShowMinus(bool v);
    bool ShowZero() const { return showZero_; }
    void SetShowZero(bool v);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout v);
    int Digits() const { return digits_; }
    void SetDigits(int v);  // ignored outside 1..4
    // Position width: a CJK glyph is two half-widths of three quarters of a digit.
    int CHNWidth() const { return chnWidth_; }
    int ENGWidth() const { return engWidth_; }
    int CHNHeight() const { return chnHeight_; }
    int ENGHeight() const { return engHeight_; }
    std::function<void()> OnChange;
    // Copies fonts, symbol, colours, ShowMinus and Layout; not ShowZero and not Digits.
    void Assign(const TMoneyStyle& src);
    void CalcMetrics();
    void Changed();

    // "千百十万千百十亿" four times, "千百十万千百十", then "元角" + as many of "分毫厘" as digits.
    static QString CaptionString(int digits);
    // Colour of separator line i counted from the right (0 = rightmost).
    QColor LineColor(int i) const;
    // A painter that meets an out-of-range Digits sets it back to 2 first.
    void CheckDigits() {
        if (digits_ < 1 || digits_ > 4) digits_ = 2;
    }

private:
    QWidget* control_;
    QFont currencyFont_, headFont_;
    QString symbol_ = QStringLiteral("￥");
    QColor compart_{192, 192, 192}, kilobit_{0, 128, 0}, radix_{255, 0, 0}, minus_{255, 0, 0};
    bool showMinus_ = true, showZero_ = false;
    TTextLayout layout_ = tlCenter;
    int digits_ = 2;
    int chnWidth_ = 0, engWidth_ = 0, chnHeight_ = 0, engHeight_ = 0;
};

// Where the pieces of one amount go: the characters from the right, each in its box, the
// symbol box (when it fits), the separator lines and the text colour.
struct TMoneyCellLayout {
    QString text;  // digits (and "-") without the decimal point
    QColor color;
    std::vector<QRect> boxes;  // boxes[k]: the k-th character from the right
    bool symbol = false;
    QRect symbolBox;
    QFont symbolFont;
    std::vector<int> lineX;  // x of line i (from the right)
    std::vector<QColor> lineColor;
};

TMoneyCellLayout LayoutMoneyCell(TMoneyStyle& style, const QString& text, const QRect& rect, const QColor& textColor);
void DrawMoneyCell(TMoneyStyle& style, QPainter& p, const QString& text, const QRect& rect, const QColor& textColor);
void DrawMoneyHeader(TMoneyStyle& style, QPainter& p, const QRect& rect, const QPalette& palette);

// Every occurrence of `from` replaced by `to`, left to right, inserted text not rescanned.
QString ReplaceAll(const QString& s, const QString& from, const QString& to);

}  // namespace qm::grid
