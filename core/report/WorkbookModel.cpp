#include "core/report/WorkbookModel.h"

#include <QRegularExpression>

#include <stdexcept>

namespace qm::report {

namespace {

int ColumnOf(const QString& letters) {
    int c = 0;
    for (QChar ch : letters) c = c * 26 + (ch.toUpper().unicode() - 'A' + 1);
    return c;
}

}  // namespace

XRange A1(const QString& ref) {
    static const QRegularExpression re(QStringLiteral("^([A-Za-z]{1,3})([0-9]+)(?::([A-Za-z]{1,3})([0-9]+))?$"));
    const auto m = re.match(ref.trimmed());
    if (!m.hasMatch()) throw std::invalid_argument("not a cell reference: " + ref.toStdString());
    XRange r;
    r.c1 = ColumnOf(m.captured(1));
    r.r1 = m.captured(2).toInt();
    r.c2 = m.captured(3).isEmpty() ? r.c1 : ColumnOf(m.captured(3));
    r.r2 = m.captured(4).isEmpty() ? r.r1 : m.captured(4).toInt();
    if (r.r1 < 1 || r.r2 < r.r1 || r.c2 < r.c1) throw std::invalid_argument("not a cell block: " + ref.toStdString());
    return r;
}

QString ColumnLetters(int col) {
    QString s;
    while (col > 0) {
        const int m = (col - 1) % 26;
        s.prepend(QChar('A' + m));
        col = (col - 1) / 26;
    }
    return s;
}

void WorkbookModel::SetText(int r, int c, const QString& text) {
    XCell& x = At(r, c);
    x.text = text;
    x.hasText = true;
}

QString WorkbookModel::Text(int r, int c) const {
    const XCell* x = Find(r, c);
    return x ? x->text : QString();
}

bool WorkbookModel::HasText(int r, int c) const {
    const XCell* x = Find(r, c);
    return x && x->hasText && !x->text.isEmpty();
}

XCell& WorkbookModel::At(int r, int c) { return cells_[{r, c}]; }

const XCell* WorkbookModel::Find(int r, int c) const {
    auto it = cells_.find({r, c});
    return it == cells_.end() ? nullptr : &it->second;
}

void WorkbookModel::ClearText(const XRange& b) {
    for (int r = b.r1; r <= b.r2; ++r)
        for (int c = b.c1; c <= b.c2; ++c) {
            auto it = cells_.find({r, c});
            if (it == cells_.end()) continue;
            it->second.text.clear();
            it->second.hasText = false;
        }
}

void WorkbookModel::Merge(const XRange& b) {
    for (int r = b.r1; r <= b.r2; ++r)
        for (int c = b.c1; c <= b.c2; ++c) {
            if (r == b.r1 && c == b.c1) continue;
            auto it = cells_.find({r, c});
            if (it == cells_.end()) continue;
            it->second.text.clear();
            it->second.hasText = false;
        }
    // A block merged again, or overlapping an earlier one, replaces it: a sheet holds no
    // two merges over one cell.
    std::erase_if(merges_,
                  [&](const XRange& m) { return !(m.r2 < b.r1 || m.r1 > b.r2 || m.c2 < b.c1 || m.c1 > b.c2); });
    merges_.push_back(b);
}

const XRange* WorkbookModel::MergeAt(int r, int c) const {
    for (const XRange& m : merges_)
        if (m.Contains(r, c)) return &m;
    return nullptr;
}

void WorkbookModel::AllLines(const XRange& b) {
    for (int r = b.r1; r <= b.r2; ++r)
        for (int c = b.c1; c <= b.c2; ++c) {
            XCell& x = At(r, c);
            x.top = std::max(x.top, kThin);
            x.bottom = std::max(x.bottom, kThin);
            x.left = std::max(x.left, kThin);
            x.right = std::max(x.right, kThin);
        }
}

void WorkbookModel::BottomEdge(const XRange& b, int weight) {
    for (int r = b.r1; r <= b.r2; ++r)
        for (int c = b.c1; c <= b.c2; ++c) {
            At(r, c).bottom = weight;
            // The same line is the top edge of the cell below; keep the two alike.
            if (XCell* below = cells_.count({r + 1, c}) ? &cells_[{r + 1, c}] : nullptr; below && below->top)
                below->top = weight;
        }
}

std::optional<double> WorkbookModel::ColumnWidth(int c) const {
    auto it = widths_.find(c);
    return it == widths_.end() ? std::nullopt : std::optional<double>(it->second);
}

std::optional<double> WorkbookModel::RowHeight(int r) const {
    auto it = heights_.find(r);
    return it == heights_.end() ? std::nullopt : std::optional<double>(it->second);
}

bool WorkbookModel::RowHidden(int r) const {
    auto h = RowHeight(r);
    return h && *h == 0;
}

WorkbookModel::Inches WorkbookModel::MarginInches() const {
    auto in = [](const std::optional<double>& pt) { return pt ? *pt / 72.0 : -1.0; };
    return {in(margins.left), in(margins.right), in(margins.top), in(margins.bottom)};
}

}  // namespace qm::report
