#pragma once
// Reads a written workbook back for the tests: a small zip reader (central directory,
// stored or deflated entries) and the parts of the first sheet the exports rely on —
// the sheet's name, cell texts, merged ranges and each cell's number format, font size
// and horizontal alignment.

#include <QByteArray>
#include <QFile>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <zlib.h>

#include <cstdint>
#include <map>
#include <vector>

namespace qm::test {

inline uint32_t ZipLe(const QByteArray& b, qsizetype at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | uint8_t(b[at + i]);
    return v;
}

// Every entry of the zip file, by name; empty when the file is not a readable zip.
inline std::map<QString, QByteArray> ReadZip(const QString& path) {
    std::map<QString, QByteArray> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return out;
    const QByteArray z = f.readAll();
    qsizetype eocd = -1;
    for (qsizetype i = z.size() - 22; i >= 0; --i)
        if (ZipLe(z, i, 4) == 0x06054b50) {
            eocd = i;
            break;
        }
    if (eocd < 0) return out;
    const int count = int(ZipLe(z, eocd + 10, 2));
    qsizetype p = qsizetype(ZipLe(z, eocd + 16, 4));
    for (int n = 0; n < count && p + 46 <= z.size() && ZipLe(z, p, 4) == 0x02014b50; ++n) {
        const int method = int(ZipLe(z, p + 10, 2));
        const uint32_t csize = ZipLe(z, p + 20, 4), usize = ZipLe(z, p + 24, 4);
        const int nlen = int(ZipLe(z, p + 28, 2)), elen = int(ZipLe(z, p + 30, 2)), clen = int(ZipLe(z, p + 32, 2));
        const qsizetype local = qsizetype(ZipLe(z, p + 42, 4));
        const QString name = QString::fromUtf8(z.mid(p + 46, nlen));
        p += 46 + nlen + elen + clen;
        const qsizetype data = local + 30 + qsizetype(ZipLe(z, local + 26, 2)) + qsizetype(ZipLe(z, local + 28, 2));
        const QByteArray raw = z.mid(data, qsizetype(csize));
        if (method == 0) {
            out[name] = raw;
        } else if (method == 8) {
            QByteArray u(qsizetype(usize), '\0');
            z_stream s{};
            inflateInit2(&s, -MAX_WBITS);
            s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.constData()));
            s.avail_in = uInt(raw.size());
            s.next_out = reinterpret_cast<Bytef*>(u.data());
            s.avail_out = uInt(u.size());
            const int rc = inflate(&s, Z_FINISH);
            inflateEnd(&s);
            if (rc == Z_STREAM_END) out[name] = u;
        }
    }
    return out;
}

struct XlsxStyle {
    QString numFmt;  // the format code: "@" for text, empty for general
    double fontSize = 0;
    QString align;  // "center", "left", ... empty for general
};

struct XlsxSheet {
    bool ok = false;
    QString name;                   // the first sheet's name
    QMap<QString, QString> cells;   // "A1" -> text
    QMap<QString, int> styleOf;     // "A1" -> index into styles
    QStringList merges;             // "A1:B1"
    std::vector<XlsxStyle> styles;  // cellXfs
    int colStyleA = -1;             // the style given to column A as a whole

    XlsxStyle StyleOf(const QString& ref) const {
        const int i = styleOf.value(ref, 0);
        return i >= 0 && size_t(i) < styles.size() ? styles[size_t(i)] : XlsxStyle{};
    }
    // The texts of one row ("2" -> {"A": ..., "B": ...}) as a list from column A.
    QStringList Row(int row, int cols) const {
        QStringList r;
        for (int c = 0; c < cols; ++c) r << cells.value(QString(QChar('A' + c)) + QString::number(row));
        return r;
    }
    int RowCount() const {
        int n = 0;
        for (auto it = cells.begin(); it != cells.end(); ++it) {
            QString digits = it.key();
            while (!digits.isEmpty() && digits[0].isLetter()) digits.remove(0, 1);
            n = std::max(n, digits.toInt());
        }
        return n;
    }
};

inline XlsxSheet ReadXlsxSheet(const QString& path) {
    XlsxSheet s;
    const auto zip = ReadZip(path);
    if (!zip.count(QStringLiteral("xl/worksheets/sheet1.xml"))) return s;

    std::vector<QString> shared;
    if (zip.count(QStringLiteral("xl/sharedStrings.xml"))) {
        QXmlStreamReader x(zip.at(QStringLiteral("xl/sharedStrings.xml")));
        QString cur;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == u"si")
                cur.clear();
            else if (x.isStartElement() && x.name() == u"t")
                cur += x.readElementText();
            else if (x.isEndElement() && x.name() == u"si")
                shared.push_back(cur);
        }
    }
    {
        QXmlStreamReader x(zip.at(QStringLiteral("xl/workbook.xml")));
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == u"sheet") {
                s.name = x.attributes().value(QLatin1String("name")).toString();
                break;
            }
        }
    }
    {
        std::vector<double> fonts;
        std::map<int, QString> codes{{49, QStringLiteral("@")}};
        QXmlStreamReader x(zip.at(QStringLiteral("xl/styles.xml")));
        bool inFonts = false, inXfs = false;
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement()) {
                if (x.name() == u"fonts")
                    inFonts = true;
                else if (x.name() == u"cellXfs")
                    inXfs = true;
                else if (x.name() == u"numFmt")
                    codes[x.attributes().value(QLatin1String("numFmtId")).toInt()] =
                        x.attributes().value(QLatin1String("formatCode")).toString();
                else if (inFonts && x.name() == u"font")
                    fonts.push_back(0);
                else if (inFonts && x.name() == u"sz" && !fonts.empty())
                    fonts.back() = x.attributes().value(QLatin1String("val")).toDouble();
                else if (inXfs && x.name() == u"xf") {
                    XlsxStyle st;
                    const int id = x.attributes().value(QLatin1String("numFmtId")).toInt();
                    st.numFmt = codes.count(id) ? codes[id] : QString();
                    const int font = x.attributes().value(QLatin1String("fontId")).toInt();
                    st.fontSize = font >= 0 && size_t(font) < fonts.size() ? fonts[size_t(font)] : 0;
                    s.styles.push_back(st);
                } else if (inXfs && x.name() == u"alignment" && !s.styles.empty())
                    s.styles.back().align = x.attributes().value(QLatin1String("horizontal")).toString();
            } else if (x.isEndElement()) {
                if (x.name() == u"fonts")
                    inFonts = false;
                else if (x.name() == u"cellXfs")
                    inXfs = false;
            }
        }
    }
    QXmlStreamReader x(zip.at(QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref, type;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) continue;
        if (x.name() == u"col" && x.attributes().value(QLatin1String("min")).toInt() == 1)
            s.colStyleA = x.attributes().hasAttribute(QLatin1String("style"))
                              ? x.attributes().value(QLatin1String("style")).toInt()
                              : 0;
        else if (x.name() == u"c") {
            ref = x.attributes().value(QLatin1String("r")).toString();
            type = x.attributes().value(QLatin1String("t")).toString();
            s.styleOf[ref] = x.attributes().value(QLatin1String("s")).toInt();
        } else if (x.name() == u"v") {
            const QString v = x.readElementText();
            s.cells[ref] =
                type == u"s" ? (size_t(v.toInt()) < shared.size() ? shared[size_t(v.toInt())] : QString()) : v;
        } else if (x.name() == u"mergeCell")
            s.merges << x.attributes().value(QLatin1String("ref")).toString();
    }
    s.ok = true;
    return s;
}

}  // namespace qm::test
