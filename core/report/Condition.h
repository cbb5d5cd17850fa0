#pragma once
// The condition texts of the report forms ("where sMon=12 and sPost in(31,32)"), read once and
// then tested in C++ exactly as SQLite tests them, so that a form can count its cells in one
// pass over its rows instead of one statement per cell. What the forms' texts use is
// understood: and, or, parentheses, = <> != < <= > >=, in (...), like, whole and decimal
// numbers, quoted texts, column names, and {name} placeholders filled from the form's values.
// A condition becomes a list of terms, each a set of tests on one column each (atoms); it
// holds when every atom of one of its terms holds.

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace qm::report::cond {

// A value as SQLite keeps it in a row.
struct Datum {
    enum class Kind : std::uint8_t { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    long long i = 0;
    double r = 0;
    std::string bytes;  // a text's UTF-8 or a blob's bytes

    static Datum Int(long long v);
    static Datum RealOf(double v);
    static Datum TextOf(std::string v);
    static Datum BlobOf(std::string v);
    bool IsNull() const { return kind == Kind::Null; }
    bool IsNumber() const { return kind == Kind::Integer || kind == Kind::Real; }
};

// SQLite's order of two values that are not NULL: numbers by value (whole and real numbers
// compared exactly), below texts by their bytes, below blobs by their bytes. <0, 0 or >0.
int Compare(const Datum& a, const Datum& b);

// The text SQLite makes of a value where it needs one (like, text affinity): whole numbers in
// decimals, reals as "%!.15g" does.
std::string TextOf(const Datum& v);

// SQLite's like: '%' any run, '_' one character, ASCII letters without regard to case.
bool Like(const std::string& pattern, const std::string& text);
// Whether the SQLite the program runs on matches no blob with like (a build option).
bool LikeSkipsBlobs();

// The affinity of a column, from its declared type as SQLite reads it.
enum class Affinity { Integer, Real, Numeric, Text, Blob };
Affinity AffinityOf(const QString& declaredType);

// A literal as a comparison with a column of affinity `a` sees it.
Datum WithAffinity(const Datum& literal, Affinity a);

// One test of one column.
struct Atom {
    enum class Op { Eq, Ne, Lt, Le, Gt, Ge, In, Like };
    int column = 0;
    Op op = Op::Eq;
    std::vector<Datum> values;  // the literals, the column's affinity applied
    std::string pattern;        // Like
    QString late;               // an in-list of a value known only after the rows are read
    bool resolved = true;       // false until a late list is given

    // As SQLite answers it; a NULL value makes every test false.
    bool Test(const Datum& v) const;
};

// The atoms a set of conditions uses, each once.
class AtomSet {
public:
    static constexpr int kMax = 128;
    using Bits = std::array<std::uint64_t, 2>;

    // The id of the atom, added when new; more than kMax atoms raise std::length_error.
    int Add(Atom a);
    int Size() const { return int(atoms_.size()); }
    const Atom& At(int id) const { return atoms_[size_t(id)]; }
    // Gives the late in-lists named `name` their values.
    void Resolve(const QString& name, const std::vector<Datum>& values);
    bool HasLate() const;

private:
    std::vector<Atom> atoms_;
    std::map<std::string, int> byKey_;
};

inline void SetBit(AtomSet::Bits& b, int id) { b[size_t(id >> 6)] |= std::uint64_t(1) << (id & 63); }

// A condition: true when one of its terms has all its atoms true. No term: never true; an empty
// term: always true.
struct Condition {
    std::vector<AtomSet::Bits> terms;
    bool Holds(const AtomSet::Bits& truth) const {
        for (const auto& t : terms)
            if ((t[0] & ~truth[0]) == 0 && (t[1] & ~truth[1]) == 0) return true;
        return false;
    }
};

// A text that is no condition of this kind.
class SyntaxError : public std::runtime_error {
public:
    explicit SyntaxError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// The columns a condition may name: their index and affinity, or -1 for an unknown name.
struct ColumnInfo {
    int index = -1;
    Affinity affinity = Affinity::Blob;
};
using ColumnLookup = std::function<ColumnInfo(const QString& name)>;

// Values of the {name} placeholders: a number, or a list in an in(...).
using Values = std::map<QString, std::vector<long long>>;

// Reads `text` (a leading "where" and a trailing "and" are dropped, as the forms splice their
// pieces) into a condition over `atoms`. A placeholder named in `late` stands for an in-list
// given later (AtomSet::Resolve); any other placeholder must be in `values`.
Condition Parse(const QString& text, const ColumnLookup& columns, AtomSet& atoms, const Values& values,
                const std::vector<QString>& late = {});

}  // namespace qm::report::cond
