#include "core/report/PaymentList.h"

#include "core/base/ByteIndex.h"
#include "core/base/Money.h"
#include "core/base/Progress.h"
#include "core/db/Db.h"
#include "core/report/Fmt.h"
#include "core/sheet/SheetBook.h"
#include "core/wage/WageAudit.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qm::report {

namespace {

// The month cell: a stored number in its shortest form, a stored text trimmed.
QString AmountText(const db::Value& v) {
    switch (v.kind()) {
    case db::Value::Kind::Null: return {};
    case db::Value::Kind::Integer: return QString::number(v.rawInteger());
    case db::Value::Kind::Real: {
        // As it counts in the totals: to the ten-thousandth (an older file may hold more).
        const std::optional<Money> m = Money::FromDouble(v.rawReal());
        return ShortFloat(m ? m->ToDouble() : v.rawReal());
    }
    case db::Value::Kind::Text: return v.rawText().trimmed();
    }
    return {};
}

// What a stored total adds to the person's total; none for a total that is no finite number,
// an error row as in the wage error list.
std::optional<double> AmountOf(const db::Value& v) {
    switch (v.kind()) {
    case db::Value::Kind::Null: return 0.0;
    case db::Value::Kind::Integer: return double(v.rawInteger());
    case db::Value::Kind::Real:
        if (std::isfinite(v.rawReal())) return v.rawReal();
        return std::nullopt;
    case db::Value::Kind::Text: {
        // Stored text is never a number the sheet wrote; an empty one is none either.
        const Amount parsed = ParseAmount(v.rawText());
        if (parsed.ok && parsed.value) return *parsed.value;
        return std::nullopt;
    }
    }
    return std::nullopt;
}

// The bytes of a number or a name as read (a number stored in such a column as its text).
std::string_view BytesOf(const db::Row& row, const db::Cell& cell, int col) {
    switch (cell.kind) {
    case db::Cell::Kind::Null: return {};
    case db::Cell::Kind::Text:
    case db::Cell::Kind::Blob: return cell.bytes;
    default: return row.Text(col);
    }
}

}  // namespace

namespace detail {

// Fills the lines from the wage rows: persons as they are met, their month cells as the rows
// store them, then the order of the lines and the totals.
class PaymentBuilder {
public:
    PaymentBuilder(PaymentList& list, db::Connection& c) : list_(list), lines_(list.lines), c_(c) {
        lines_.from_ = list.from;
        lines_.span_ = list.to - list.from + 1;
    }

    // The persons from one pass over the table, which takes the months of the range on the
    // way. A person is the kind and the bytes of a number and a name, as the engine groups
    // them: a name that is NULL, bytes that are no UTF-8 or a blob make persons of their own
    // and bring their months, as the reports count them whatever the name.
    void TakeRows();
    // The totals and the problems, line by line; the bar follows the lines done.
    void Finish(Progress* pb);

private:
    using Kind = PaymentLines::Kind;
    using Person = PaymentLines::Person;
    // The storage class of a number or a name, in the engine's order: NULL, text, blob (a
    // number stored in a text column is text). A person's kinds are the number's, then the
    // name's shifted by kNameShift.
    enum : quint8 { kNull = 0, kText = 1, kBlob = 2 };
    static constexpr int kNameShift = 2;
    static constexpr quint8 kNumberKind = 3;  // the number's kind within a person's kinds
    static quint8 KindOf(db::Cell::Kind kind) {
        return kind == db::Cell::Kind::Null ? kNull : kind == db::Cell::Kind::Blob ? kBlob : kText;
    }

    quint32 AddPerson(std::string_view number, std::string_view name);
    // The slot of the person with these kinds, number and name, added when first met.
    quint32 PersonOf(quint8 kinds, std::string_view number, std::string_view name);
    void Take(quint32 slot, int month, const db::Cell& total);
    // Sorts the persons as "order by cast(sNumber as integer), sNumber, sName" orders texts,
    // blobs and NULLs.
    void Order();
    long long AsWhole(std::string_view number);

    std::string_view NumberOf(const Person& p) const { return {lines_.bytes_.data() + p.at, p.numberLen}; }
    std::string_view NameOf(const Person& p) const { return {lines_.bytes_.data() + p.at + p.numberLen, p.nameLen}; }

    PaymentList& list_;
    PaymentLines& lines_;
    db::Connection& c_;
    // While the persons are met: their kinds and numbers read as whole numbers, by slot.
    std::vector<quint8> kinds_;
    std::vector<long long> whole_;
    // The persons met by their kinds, number and name, numbered by slot; the key of the row
    // being read.
    ByteIndex index_;
    std::string key_;
    // The statement that casts a number that is no plain digits, made when first needed.
    std::unique_ptr<db::Statement> cast_;
    // The person that followed each one in the rows, and the last one met.
    static constexpr quint32 kNone = ~quint32(0);
    std::vector<quint32> next_;
    quint32 last_ = kNone;
    // A total replaced by a later row of the same month still counts, or is still named.
    struct Earlier {
        quint32 slot;
        int month;
        db::Value total;
    };
    std::vector<Earlier> earlier_;
};

quint32 PaymentBuilder::AddPerson(std::string_view number, std::string_view name) {
    Person p;
    p.at = lines_.bytes_.size();
    p.numberLen = quint32(number.size());
    p.nameLen = quint32(name.size());
    p.slot = quint32(lines_.persons_.size());
    lines_.bytes_.append(number);
    lines_.bytes_.append(name);
    lines_.persons_.push_back(p);
    const size_t span = size_t(lines_.span_);
    if (p.slot % PaymentLines::kBlock == 0) {
        PaymentLines::Block b;
        b.kinds.reserve(PaymentLines::kBlock * span);
        b.values.reserve(PaymentLines::kBlock * span);
        lines_.blocks_.push_back(std::move(b));
    }
    PaymentLines::Block& b = lines_.blocks_.back();
    b.kinds.resize(b.kinds.size() + span, Kind::None);
    b.values.resize(b.values.size() + span, 0);
    return p.slot;
}

void PaymentBuilder::Take(quint32 slot, int month, const db::Cell& total) {
    const size_t at = lines_.CellOf(slot, month);
    PaymentLines::Block& b = lines_.blocks_[slot / PaymentLines::kBlock];
    if (b.kinds[at] != Kind::None) earlier_.push_back({slot, month, lines_.Stored(slot, month)});
    Kind& kind = b.kinds[at];
    quint64& value = b.values[at];
    switch (total.kind) {
    case db::Cell::Kind::Integer:
        kind = Kind::Integer;
        value = quint64(total.integer);
        break;
    case db::Cell::Kind::Real:
        kind = Kind::Real;
        value = std::bit_cast<quint64>(total.real);
        break;
    case db::Cell::Kind::Null: kind = Kind::None; break;
    default: {
        const std::string_view text = total.bytes;
        kind = Kind::Text;
        value = lines_.texts_.size();
        lines_.texts_.push_back(QString::fromUtf8(text.data(), qsizetype(text.size())));
    }
    }
}

long long PaymentBuilder::AsWhole(std::string_view number) {
    // Plain decimal digits read as themselves; anything else as the engine's cast reads it.
    const bool negative = !number.empty() && number.front() == '-';
    const std::string_view digits = number.substr(negative ? 1 : 0);
    if (!digits.empty() && digits.size() <= 18 &&
        std::all_of(digits.begin(), digits.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
        long long v = 0;
        for (char ch : digits) v = v * 10 + (ch - '0');
        return negative ? -v : v;
    }
    if (!cast_) cast_ = std::make_unique<db::Statement>(c_, QStringLiteral("select cast(? as integer)"));
    db::Cell text;
    text.kind = db::Cell::Kind::Text;
    text.bytes = number;
    const long long v = cast_->Add(text).Step() ? cast_->Integer(0) : 0;
    cast_->Reset();
    return v;
}

quint32 PaymentBuilder::PersonOf(quint8 kinds, std::string_view number, std::string_view name) {
    // The key: the kinds, the number's length, the number and the name.
    const quint32 numberLen = quint32(number.size());
    key_.assign(1, char(kinds));
    key_.append(reinterpret_cast<const char*>(&numberLen), sizeof numberLen);
    key_.append(number);
    key_.append(name);
    // The months' rows mostly come in the same order of persons: the one that followed the
    // last person before is tried first, without a hash.
    if (last_ != kNone && next_[last_] != kNone && index_.Key(next_[last_]) == key_) return last_ = next_[last_];
    const auto [slot, fresh] = index_.Add(key_);
    if (fresh) {
        AddPerson(number, name);  // the next slot, as the index numbers it
        kinds_.push_back(kinds);
        whole_.push_back((kinds & kNumberKind) == kNull ? 0 : AsWhole(number));
        next_.push_back(kNone);
    }
    if (last_ != kNone) next_[last_] = slot;
    return last_ = slot;
}

void PaymentBuilder::TakeRows() {
    db::Statement st(c_, QStringLiteral("select sNumber, sName, Smon, sTotal from Wage_Info not indexed"));
    const int from = list_.from, to = list_.to;
    index_.Reserve(512);
    while (st.Step()) {
        const db::Cell numberCell = st.At(0), nameCell = st.At(1);
        const quint8 kn = KindOf(numberCell.kind), km = KindOf(nameCell.kind);
        const std::string_view number = BytesOf(st, numberCell, 0);
        const std::string_view name = BytesOf(st, nameCell, 1);
        const quint32 slot = PersonOf(quint8(kn | km << kNameShift), number, name);
        if (kn == kNull) continue;  // a row without a number joins no staff row: no report counts it
        long long m = 0;
        const db::Cell month = st.At(2);
        switch (month.kind) {
        case db::Cell::Kind::Integer: m = month.integer; break;
        case db::Cell::Kind::Real: {
            // 3.5 is no month: "Smon=3" of the other reports takes no such row either.
            const double d = month.real;
            if (!(d >= from && d <= to) || d != std::trunc(d)) continue;
            m = static_cast<long long>(d);
            break;
        }
        default: continue;  // a text or blob month lies above every number
        }
        if (m < from || m > to) continue;
        Take(slot, int(m), st.At(3));
    }
    index_ = ByteIndex();
    key_ = {};
    cast_.reset();
    next_ = {};
    Order();
}

void PaymentBuilder::Order() {
    // A NULL number casts to NULL, first; then the whole number; then the kind (text before
    // blob) and the bytes; the name likewise.
    auto before = [&](const Person& a, const Person& b) {
        const int na = kinds_[a.slot] & kNumberKind, nb = kinds_[b.slot] & kNumberKind;
        if ((na == kNull) != (nb == kNull)) return na == kNull;
        if (na != kNull && whole_[a.slot] != whole_[b.slot]) return whole_[a.slot] < whole_[b.slot];
        if (na != nb) return na < nb;
        if (const int n = NumberOf(a).compare(NumberOf(b))) return n < 0;
        const int ma = kinds_[a.slot] >> kNameShift, mb = kinds_[b.slot] >> kNameShift;
        if (ma != mb) return ma < mb;
        return NameOf(a) < NameOf(b);
    };
    std::sort(lines_.persons_.begin(), lines_.persons_.end(), before);
    kinds_ = {};
    whole_ = {};
}

void PaymentBuilder::Finish(Progress* pb) {
    // Each person's total and the grand total are summed exactly, then shown once as a real.
    // The rows a later one replaced are met in the order they came.
    std::stable_sort(earlier_.begin(), earlier_.end(), [](const Earlier& x, const Earlier& y) {
        return std::pair(x.slot, x.month) < std::pair(y.slot, y.month);
    });
    const size_t n = lines_.persons_.size();
    lines_.totals_.assign(n, 0);
    MoneySum grand;
    for (size_t k = 0; k < n; ++k) {
        const quint32 slot = lines_.persons_[k].slot;
        MoneySum sum;
        auto take = [&](int month, const db::Value& total) {
            if (const auto amount = AmountOf(total))
                sum.Add(*amount);
            else
                list_.problems.push_back({int(k), month, total.AsString()});
        };
        auto e = std::lower_bound(earlier_.begin(), earlier_.end(), slot,
                                  [](const Earlier& x, quint32 s) { return x.slot < s; });
        for (int m = list_.from; m <= list_.to; ++m) {
            for (; e != earlier_.end() && e->slot == slot && e->month == m; ++e) take(m, e->total);
            const PaymentLines::Block& b = lines_.BlockOf(slot);
            const size_t at = lines_.CellOf(slot, m);
            switch (b.kinds[at]) {
            case Kind::None: break;
            case Kind::Integer: sum.Add(double(static_cast<long long>(b.values[at]))); break;
            default: take(m, lines_.Stored(slot, m));
            }
        }
        lines_.totals_[k] = sum.Approx();
        grand += sum;
        if (pb) pb->SetPosition(int((k + 1) * 100 / n));
    }
    list_.grandTotal = grand.Approx();
    earlier_ = {};
}

}  // namespace detail

db::Value PaymentLines::Stored(quint32 slot, int month) const {
    const size_t at = CellOf(slot, month);
    const Block& b = BlockOf(slot);
    switch (b.kinds[at]) {
    case Kind::None: return {};
    case Kind::Integer: return db::Value(static_cast<long long>(b.values[at]));
    case Kind::Real: return db::Value(std::bit_cast<double>(b.values[at]));
    case Kind::Text: return db::Value(texts_[size_t(b.values[at])]);
    }
    return {};
}

QString PaymentLines::Name(size_t line) const {
    const Person& p = persons_[line];
    return QString::fromUtf8(bytes_.data() + p.at + p.numberLen, qsizetype(p.nameLen)).trimmed();
}

QString PaymentLines::Number(size_t line) const {
    const Person& p = persons_[line];
    return QString::fromUtf8(bytes_.data() + p.at, qsizetype(p.numberLen)).trimmed();
}

QString PaymentLines::MonthText(size_t line, int month) const {
    if (month < from_ || month >= from_ + span_) return {};
    const quint32 slot = persons_[line].slot;
    const size_t at = CellOf(slot, month);
    const Kind kind = BlockOf(slot).kinds[at];
    if (kind != Kind::Integer && kind != Kind::Real) return AmountText(Stored(slot, month));
    // Amounts repeat from person to person and month to month: each text is made once and
    // shared while it stays in the cache.
    if (made_.empty()) made_.resize(kMade);
    const quint64 bits = BlockOf(slot).values[at];
    Made& m = made_[size_t((bits * 0x9E3779B97F4A7C15ull) >> 52) % kMade];
    if (m.kind != kind || m.bits != bits) {
        m.kind = kind;
        m.bits = bits;
        m.text = AmountText(Stored(slot, month));
    }
    return m.text;
}

PaymentLine PaymentLines::operator[](size_t line) const {
    PaymentLine l;
    l.name = Name(line);
    l.number = Number(line);
    for (int m = 1; m <= 12; ++m) l.months[size_t(m)] = MonthText(line, m);
    l.total = Total(line);
    return l;
}

PaymentList BuildPaymentList(db::Connection& c, int from, int to, Progress* pb) {
    if (from < 1 || to > 12 || from > to) throw std::invalid_argument("month range must lie within 1..12");
    PaymentList list;
    list.from = from;
    list.to = to;
    detail::PaymentBuilder build(list, c);
    build.TakeRows();
    build.Finish(pb);
    return list;
}

QString PaymentCaption(const QString& depName) {
    return QStringLiteral("[") + depName + QStringLiteral("] 工资发放汇总清单");
}

QString PaymentTitle(int from, int to) {
    return QString::number(from) + QStringLiteral("月 - ") + QString::number(to) +
           QStringLiteral("月 的工资发放汇总清单");
}

QString PaymentDateLine(const QDate& today) { return QStringLiteral("统计日期：") + DateText(today); }

QString PaymentAmount(double v) { return ShortFloat(v); }

QString PaymentProblemsText(const PaymentList& list) {
    if (list.problems.empty()) return {};
    QStringList rows;
    for (const PaymentProblem& p : list.problems) {
        const size_t l = size_t(p.line);
        rows << QStringLiteral("%1（姓名编号%2）%3月：“%4”")
                    .arg(list.lines.Name(l), list.lines.Number(l))
                    .arg(p.month)
                    .arg(p.text);
    }
    return QStringLiteral("以下工资合计不是数字，未计入合计，请在工资录入或工资错误信息中改正：\n") +
           rows.join(QLatin1Char('\n'));
}

PaymentWidestRows FillPaymentSheet(TSheetBook& sheet, const PaymentList& list) {
    sheet.BeginUpdate();
    PaymentWidestRows widest{};
    std::array<qsizetype, 16> room{};
    const auto put = [&](int row, int col, const QString& text) {
        sheet.SetCellText(row, col, text);
        qsizetype r = text.size();
        for (const QChar ch : text)
            if (ch.unicode() > 0xff) ++r;
        if (r > room[size_t(col)]) room[size_t(col)] = r, widest[size_t(col)] = row;
    };
    const PaymentLines& lines = list.lines;
    // Person k lies in row k + 2, every one of them, and the "总计：" line below the last.
    const size_t n = lines.size();
    for (size_t k = 0; k < n; ++k) {
        const int row = int(k) + 2;
        put(row, 1, lines.Name(k));
        put(row, 2, lines.Number(k));
        for (int m = list.from; m <= list.to; ++m) {
            const QString text = lines.MonthText(k, m);
            if (!text.isEmpty()) put(row, m + 2, text);
        }
        put(row, 15, PaymentAmount(lines.Total(k)));
    }
    const int totalRow = int(n) + 2;
    put(totalRow, 14, QStringLiteral("总计："));
    put(totalRow, 15, PaymentAmount(list.grandTotal));
    for (const PaymentProblem& p : list.problems) {
        if (p.line + 2 > sheet.MaxRow()) continue;  // past any sheet: the mark would land on another cell
        sheet.SetSelection(p.line + 2, p.month + 2, p.line + 2, p.month + 2);
        sheet.SetPattern(TSheetBook::kMarkPattern, 200, 255);
    }
    sheet.SetSelection(1, 1, 1, 1);
    sheet.EndUpdate();
    return widest;
}

}  // namespace qm::report
