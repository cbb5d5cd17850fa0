#include "core/base/UnitClass.h"

#include "core/base/RtlText.h"

namespace qm {

namespace {

const QString kOrgan = QStringLiteral("机关单位");

}  // namespace

UnitClass UnitClass::Decode(const QString& depType, const QString& depInfo) {
    const QString i = RtlTrim(depInfo);
    Kind k = Kind::Unknown;
    if (i == QStringLiteral("否"))
        k = Kind::Other;
    else if (i == QStringLiteral("规上"))
        k = Kind::AboveSize;
    else if (i == QStringLiteral("是1"))
        k = Kind::GeneralContract;
    else if (i == QStringLiteral("是2"))
        k = Kind::LabourSubcontract;
    return UnitClass(RtlTrim(depType) == kOrgan, k);
}

QString UnitClass::DepTypeText() const { return organ_ ? kOrgan : QStringLiteral("企业事业单位"); }

QString UnitClass::DepInfoText() const {
    switch (kind_) {
    case Kind::Other: return QStringLiteral("否");
    case Kind::AboveSize: return QStringLiteral("规上");
    case Kind::GeneralContract: return QStringLiteral("是1");
    case Kind::LabourSubcontract: return QStringLiteral("是2");
    case Kind::Unknown: break;
    }
    return {};
}

QString UnitClass::StatusText() const {
    if (organ_) return kOrgan;
    switch (kind_) {
    case Kind::Other: return QStringLiteral("其他企业事业单位");
    case Kind::AboveSize: return QStringLiteral("规模以上工业单位");
    case Kind::GeneralContract: return QStringLiteral("有总承包和专业承包资质的建筑业单位");
    case Kind::LabourSubcontract: return QStringLiteral("有劳务分包资质的建筑业单位");
    case Kind::Unknown: break;
    }
    return {};
}

FoundingMonth FoundingMonth::Decode(const QString& stored) {
    const QString t = RtlTrim(stored);
    if (t == QStringLiteral("99")) return NotThisYear();
    // The founding month itself is 1..12, so the month before it is 0..11.
    const std::optional<Month> m = Month::Parse(t);
    if (!m || *m == Month::YearEnd()) return {std::nullopt, false};
    return Before(*m);
}

QString FoundingMonth::Text() const { return before ? before->Text() : QStringLiteral("99"); }

}  // namespace qm
