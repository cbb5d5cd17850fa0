// Export, import and the clipboard: byte-exact outputs of the four formats for a small grid
// with titles and a footer, the selection kinds, malformed streams that change nothing,
// the GRIDBIF round trip through the clipboard, and the delete prompts.
#include "core/base/ScriptedUiService.h"
#include "core/db/Errors.h"
#include "grid/Clipboard.h"
#include "grid/Export.h"
#include "grid/Import.h"
#include "grid/InplaceEdit.h"
#include "tests/grid/GridTestSupport.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::grid;

namespace {

QString Golden(const QString& name) {
    // The source tree: from the test environment, else from where this file lies.
    const QString root = qEnvironmentVariable(
        "QM_SOURCE_DIR", QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../.."));
    return root + QStringLiteral("/tests/golden/") + name;
}

QByteArray ReadGolden(const QString& name) {
    QFile f(Golden(name));
    if (!f.open(QIODevice::ReadOnly)) return "<missing " + name.toUtf8() + ">";
    return f.readAll();
}

// Three columns (编号 integer, 姓名 text, 金额 float) and two records; a footer row with
// the count, a fixed text and the sum.
struct SmallGrid {
    test::GridHost host{400, 200};
    TMemDataSet ds;
    ScriptedUiService ui;
    TDBGridX& g;
    SmallGrid() : g(*host.grid) {
        ds.Open({{QStringLiteral("code"), ftInteger, 0},
                 {QStringLiteral("name"), ftString, 10},
                 {QStringLiteral("amount"), ftFloat, 0}},
                {{db::Value(1), db::Value(QStringLiteral("A\"b")), db::Value(10.5)},
                 {db::Value(2), db::Value(QStringLiteral("中{x}\\")), db::Value(2.25)}});
        const char* names[] = {"code", "name", "amount"};
        const char* captions[] = {"编号", "姓名", "金额"};
        const int widths[] = {60, 80, 72};
        for (int i = 0; i < 3; ++i) {
            TColumnX* c = g.Columns().Add();
            c->SetFieldName(QString::fromLatin1(names[i]));
            c->SetWidth(widths[i]);
            c->Title()->SetCaption(QString::fromUtf8(captions[i]));
        }
        host.Bind(ds);
        g.SetUiService(&ui);
        g.SetFooterRowCount(1);
        g.Columns()[0]->Footer()->SetValueType(fvtCount);
        g.Columns()[1]->Footer()->SetValueType(fvtStaticText);
        g.Columns()[1]->Footer()->SetValue(QStringLiteral("合计"));
        g.Columns()[2]->Footer()->SetValueType(fvtSum);
    }
    template <class E>
    QByteArray Export(bool all = true) {
        QByteArray b;
        QBuffer buf(&b);
        buf.open(QIODevice::WriteOnly);
        ExportGridToStream<E>(g, buf, all);
        return b;
    }
    template <class I>
    void Import(const QByteArray& bytes, bool all = false) {
        QByteArray b = bytes;
        QBuffer buf(&b);
        buf.open(QIODevice::ReadOnly);
        ImportGridFromStream<I>(g, buf, all);
    }
    // Every stored value, record by record.
    QStringList Dump() {
        QStringList out;
        const TBookmark at = ds.Bookmark();
        ds.First();
        while (!ds.Eof()) {
            QStringList r;
            for (int i = 0; i < ds.FieldCount(); ++i) r << ds.Fields(i)->AsString();
            out << r.join(u'|');
            ds.Next();
        }
        if (at >= 0 && ds.BookmarkValid(at)) ds.GotoBookmark(at);
        return out;
    }
};

QByteArray Hex(const char* hex) { return QByteArray::fromHex(QByteArray(hex)); }

std::vector<TImportRecord> TextRecords(const QByteArray& bytes) {
    TTextImportReader r(bytes);
    std::vector<TImportRecord> out;
    for (TImportRecord rec; r.Next(rec);) out.push_back(rec);
    return out;
}

TEST(GridExport, TextAndCsvBytesOfASmallGridWithTitlesAndAFooter) {
    SmallGrid s;
    ASSERT_EQ(s.g.logicalDpiX(), 96);
    EXPECT_EQ(s.Export<TDBGridXExportAsText>(),
              QByteArray("编号\t姓名\t金额\r\n1\tA\"b\t10.5\r\n2\t中{x}\\\t2.25\r\n2\t合计\t12.75"));
    EXPECT_EQ(s.Export<TDBGridXExportAsCSV>(),
              QByteArray("\"编号\";\"姓名\";\"金额\"\r\n\"1\";\"A\"\"b\";\"10.5\"\r\n\"2\";\"中{x}\\\";\"2.25\"\r\n"
                         "\"2\";\"合计\";\"12.75\""));
    // Without titles the stream starts with the first record, no leading CR LF.
    s.g.SetOptions(s.g.Options().Without(dgTitles));
    EXPECT_TRUE(s.Export<TDBGridXExportAsText>().startsWith("1\tA\"b\t10.5\r\n"));
}

// A file export is written beside its file and renamed over it: a link planted at its name
// (or at the old temporary name) is never written through.
TEST(GridExport, AFileExportNeverWritesThroughALinkInItsFolder) {
    SmallGrid s;
    QTemporaryDir out;
    const QString target = out.filePath(QStringLiteral("grid.txt")), victim = out.filePath(QStringLiteral("x"));
    ASSERT_TRUE(QFile::link(victim, target) && QFile::link(victim, target + QStringLiteral(".tmp")));
    TDBGridXExportAsText(&s.g).ExportToFile(target, true);
    QFile f(target);
    EXPECT_TRUE(!QFileInfo(target).isSymLink() && f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), s.Export<TDBGridXExportAsText>());
    EXPECT_FALSE(QFileInfo::exists(victim));
}

// Two footer rows: each footer totals the field it names, else its column's, row by row and
// column by column; a footer naming no field of the data set stays empty.
TEST(GridExport, FooterRowsTotalTheFieldEachFooterNames) {
    SmallGrid s;
    struct Foot {
        TFooterValueType type;
        const char* field;
    };
    const Foot feet[3][2] = {{{fvtCount, ""}, {fvtSum, "amount"}},
                             {{fvtStaticText, ""}, {fvtSum, "nosuch"}},
                             {{fvtSum, ""}, {fvtCount, "code"}}};
    for (int c = 0; c < 3; ++c)
        for (const Foot& f : feet[c]) {
            TColumnFooterX* footer = s.g.Columns()[c]->Footers()->Add();
            footer->SetValueType(f.type);
            footer->SetFieldName(QString::fromLatin1(f.field));
        }
    s.g.SetFooterRowCount(2);
    EXPECT_EQ(s.Export<TDBGridXExportAsText>(),
              QByteArray("编号\t姓名\t金额\r\n1\tA\"b\t10.5\r\n2\t中{x}\\\t2.25\r\n2\t\t12.75\r\n12.75\t\t2"));
    // A rectangle of the last two columns: their own footers.
    s.ds.Last();
    const TBookmark second = s.ds.Bookmark();
    s.ds.First();
    s.g.Selection().Rect().Select(1, s.ds.Bookmark(), false);
    s.g.Selection().Rect().Select(2, second, true);
    EXPECT_TRUE(s.Export<TDBGridXExportAsText>(false).endsWith("2.25\r\n\t12.75\r\n\t2"));
}

TEST(GridExport, GridbifBytes) {
    SmallGrid s;
    const QByteArray expected = QByteArray("GRIDBIF") + Hex("01"
                                                            "03000000"
                                                            "0100"
                                                            "0100"
                                                            "0100"
                                                            "03"
                                                            "01000000"
                                                            "05"
                                                            "03000000"
                                                            "41"
                                                            "22"
                                                            "62"
                                                            "04"
                                                            "0000000000002540"
                                                            "03"
                                                            "02000000"
                                                            "05"
                                                            "07000000"
                                                            "E4B8AD7B787D5C"
                                                            "04"
                                                            "0000000000000240"
                                                            "00");
    EXPECT_EQ(s.Export<TDBGridXExportAsGRIDBIF>().toHex(), expected.toHex());
}

TEST(GridExport, RtfBytesMatchTheGoldenFile) {
    SmallGrid s;
    const QByteArray rtf = s.Export<TDBGridXExportAsRTF>();
    if (qEnvironmentVariableIsSet("QM_WRITE_GOLDEN")) {
        QFile f(Golden(QStringLiteral("grid_export.rtf")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(rtf);
    }
    EXPECT_EQ(rtf, ReadGolden(QStringLiteral("grid_export.rtf")));
}

// Rows and cells whose looks differ from record to record are written with their own
// backgrounds and fonts, also when earlier rows were written from the same columns.
TEST(GridExport, RtfRowsFollowTheLookOfEachRecord) {
    SmallGrid s;
    s.g.OnGetCellParams = [&](TColumnX* c, TFont& f, QColor& bg, TGridDrawState) {
        if (s.ds.FieldByName(QStringLiteral("code"))->AsInteger() == 2) {
            bg = QColor(255, 0, 0);
            if (c->Index() == 1) f.setBold(true);
        }
    };
    const QByteArray rtf = s.Export<TDBGridXExportAsRTF>();
    ASSERT_TRUE(rtf.contains("\\red255\\green0\\blue0;"));
    const QList<QByteArray> rows = rtf.split('\n');
    QList<QByteArray> prefixes, names;
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].startsWith("\\clcbpat")) prefixes << rows[i].trimmed();
        if (rows[i].contains("\\cell}") && (rows[i].contains(" A\"b") || rows[i].contains("\\u20013?")))
            names << rows[i].trimmed();
    }
    ASSERT_EQ(names.size(), 2);
    EXPECT_FALSE(names[0].contains("\\b\\f"));  // the first record's name is not bold
    EXPECT_TRUE(names[1].contains("\\b\\f"));
    // The colour's index: the entries before it in the colour table.
    const int red = int(rtf.left(rtf.indexOf("\\red255\\green0\\blue0;")).count(';'));
    EXPECT_TRUE(names[1].contains("\\cb" + QByteArray::number(red) + " "));
    EXPECT_FALSE(names[0].contains("\\cb" + QByteArray::number(red) + " "));
    // Title, two records, footer: three cells each; the second record's on red.
    ASSERT_EQ(prefixes.size(), 12);
    // A cell's background is its background colour, not a solid pattern (which readers draw
    // in the pattern's foreground, black).
    EXPECT_EQ(prefixes[6], "\\clcbpat" + QByteArray::number(red) + "\\cellx900");
    EXPECT_NE(prefixes[3], prefixes[6]);
    EXPECT_FALSE(rtf.contains("\\clshdng"));
    EXPECT_FALSE(rtf.contains("\\clcfpat"));
}

TEST(GridExport, RtfEscapesBracesBackslashesLineBreaksAndWritesUnicode) {
    EXPECT_EQ(TDBGridXExportAsRTF::Escaped(QStringLiteral("a{b}\\c")), QByteArray("a\\{b\\}\\\\c"));
    // 中 U+4E2D = 20013; 额 U+989D = 39069, written as a signed 16-bit number.
    EXPECT_EQ(TDBGridXExportAsRTF::Escaped(QStringLiteral("中额x")), QByteArray("\\uc1\\u20013?\\u-26467?x"));
    // Line breaks of every kind stay line breaks in the cell.
    EXPECT_EQ(TDBGridXExportAsRTF::Escaped(QStringLiteral("line\nbreak")), QByteArray("line\\line break"));
    EXPECT_EQ(TDBGridXExportAsRTF::Escaped(QStringLiteral("a\r\nb\rc\n\nd")),
              QByteArray("a\\line b\\line c\\line \\line d"));
    EXPECT_EQ(TDBGridXExportAsRTF::PointSize(test::PinnedFont(), 96), 9);
}

// Shaded columns whose texts hold braces, backslashes, line breaks and Chinese: the
// document's groups stay balanced, every text is there once, every shaded cell carries its
// colour. (With QM_SHOT_DIR set the document is kept there, for a word processor.)
TEST(GridExport, RtfOfShadedCellsWithBracesBreaksAndChineseTextStaysOneTable) {
    SmallGrid s;
    s.ds.First();
    s.ds.FieldByName(QStringLiteral("name"))->SetText(QStringLiteral("第一行\n第二行\r\n{三}"));
    s.ds.Post();
    s.g.Columns()[1]->SetColor(QColor(255, 255, 160));
    const QByteArray rtf = s.Export<TDBGridXExportAsRTF>();
    if (qEnvironmentVariableIsSet("QM_SHOT_DIR")) {
        QFile f(qEnvironmentVariable("QM_SHOT_DIR") + QStringLiteral("/grid-export.rtf"));
        if (f.open(QIODevice::WriteOnly)) f.write(rtf);
    }
    int depth = 0, lowest = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\')
            ++i;  // an escaped character, or a control word's first letter
        else
            depth += rtf[i] == '{' ? 1 : rtf[i] == '}' ? -1 : 0;
        lowest = std::min(lowest, depth);
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(lowest, 0);
    for (const QString& t : {QStringLiteral("第一行\n第二行\r\n{三}"), QStringLiteral("中{x}\\")})
        EXPECT_EQ(rtf.count(TDBGridXExportAsRTF::Escaped(t)), 1) << t.toStdString();
    EXPECT_EQ(rtf.count("\\line "), 2);
    const QByteArray yellow = QByteArray::number(rtf.left(rtf.indexOf("\\red255\\green255\\blue160;")).count(';'));
    EXPECT_EQ(rtf.count("\\clcbpat" + yellow + "\\cellx2100"), 2);  // the name column of both records
}

// A hundred records, each on a colour of its own (more looks than the export keeps to repeat),
// one text holding a 0 character and one longer than the export's blocks: every row and cell
// carries its own colour's index, and the texts come out whole, the 0 byte as it is.
TEST(GridExport, RtfOfManyLooksLongTextsAndZeroCharactersIsWrittenWhole) {
    test::GridHost host(400, 200);
    TMemDataSet ds;
    const QString zero = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    QString longText;
    for (int i = 0; i < 40000; ++i) longText += QStringLiteral("中x{}");
    std::vector<std::vector<db::Value>> rows;
    for (int r = 0; r < 100; ++r)
        rows.push_back({db::Value(r), db::Value(r == 7 ? zero : r == 8 ? longText : QStringLiteral("R%1").arg(r))});
    ds.Open({{QStringLiteral("code"), ftInteger, 0}, {QStringLiteral("name"), ftString, 10}}, rows);
    host.Bind(ds);
    TDBGridX& g = *host.grid;
    g.OnGetCellParams = [&](TColumnX* c, TFont& f, QColor& bg, TGridDrawState) {
        const int r = int(ds.FieldByName(QStringLiteral("code"))->AsInteger());
        bg = QColor(r, 0, 255 - r);
        f.setBold(c->Index() == 1 && r % 2);
    };
    QByteArray rtf;
    QBuffer buf(&rtf);
    buf.open(QIODevice::WriteOnly);
    ExportGridToStream<TDBGridXExportAsRTF>(g, buf, true);

    const QByteArray table = rtf.mid(rtf.indexOf("{\\colortbl"), rtf.indexOf("}") - rtf.indexOf("{\\colortbl"));
    const QList<QByteArray> colours = table.mid(table.indexOf("\\red")).split(';');
    QList<QByteArray> records;
    for (qsizetype at = rtf.indexOf("\\trowd"); at >= 0;) {
        const qsizetype next = rtf.indexOf("\\trowd", at + 1);
        records << rtf.mid(at, next < 0 ? -1 : next - at);
        at = next;
    }
    ASSERT_EQ(records.size(), 101);  // the title row, then the records
    for (int r = 0; r < 100; ++r) {
        const QByteArray entry = "\\red" + QByteArray::number(r) + "\\green0\\blue" + QByteArray::number(255 - r);
        const QByteArray index = QByteArray::number(colours.indexOf(entry));
        ASSERT_NE(index, "-1") << r;
        const QByteArray& row = records[r + 1];
        EXPECT_EQ(row.count("\\clcbpat" + index + "\\cellx"), 2) << r;
        EXPECT_EQ(row.count("\\cb" + index + " "), 2) << r;
        EXPECT_EQ(row.count("\\b\\f"), r % 2) << r;
    }
    EXPECT_TRUE(records[8].contains(QByteArray(" a") + char(0) + QByteArray("b\\cell}")));
    EXPECT_EQ(rtf.count(TDBGridXExportAsRTF::Escaped(longText)), 1);
    EXPECT_EQ(rtf.count(QByteArray(1, 0)), 1);
    EXPECT_TRUE(rtf.endsWith("\\pard\\intbl\\row}\r\n}"));
}

TEST(GridExport, CsvSeparatorIsTakenWhenTheExporterIsMadeAndQuotesAreDoubled) {
    SmallGrid s;
    struct Probe : TDBGridXExportAsCSV {
        using TDBGridXExportAsCSV::TDBGridXExportAsCSV;
    };
    Probe e(&s.g);
    CsvSeparator = u',';
    QByteArray b;
    QBuffer buf(&b);
    buf.open(QIODevice::WriteOnly);
    e.ExportData(buf, true);
    EXPECT_TRUE(b.startsWith("\"编号\";\"姓名\";"));
    EXPECT_TRUE(s.Export<TDBGridXExportAsCSV>().startsWith("\"编号\",\"姓名\","));
    CsvSeparator = u';';
    EXPECT_EQ(TDBGridXExportAsCSV::Quoted(QStringLiteral("say \"hi\"")), QStringLiteral("\"say \"\"hi\"\"\""));
}

TEST(GridExport, SelectionKindsChooseColumnsAndRecordsAndKeepThePlace) {
    SmallGrid s;
    EXPECT_TRUE(s.Export<TDBGridXExportAsText>(false).isEmpty());  // nothing selected: nothing written
    s.ds.Last();
    const TBookmark second = s.ds.Bookmark();
    s.ds.First();
    s.g.Selection().Rect().Select(1, s.ds.Bookmark(), false);
    s.g.Selection().Rect().Select(2, second, true);
    ASSERT_EQ(s.g.Selection().SelectionType(), gstRectangle);
    s.ds.Last();
    EXPECT_EQ(s.Export<TDBGridXExportAsText>(false),
              QByteArray("姓名\t金额\r\nA\"b\t10.5\r\n中{x}\\\t2.25\r\n合计\t12.75"));
    EXPECT_EQ(s.ds.Bookmark(), second);  // back where the person was
    EXPECT_FALSE(s.ds.ControlsDisabled());

    s.g.Selection().Clear();
    s.g.Selection().Columns().Add(s.g.Columns()[2], false);
    EXPECT_EQ(s.Export<TDBGridXExportAsText>(false), QByteArray("金额\r\n10.5\r\n2.25\r\n12.75"));
}

TEST(GridExport, AnIntegerBeyondThirtyTwoBitsTravelsAsTextAndComesBack) {
    SmallGrid s;
    s.ds.First();
    s.ds.FieldByName(QStringLiteral("code"))->SetValue(db::Value(5000000000LL));
    s.ds.Post();
    const QByteArray bif = s.Export<TDBGridXExportAsGRIDBIF>();
    EXPECT_TRUE(
        bif.contains(QByteArray("\x05\x0a\x00\x00\x00"
                                "5000000000",
                                15)));
    s.ds.First();
    s.ds.FieldByName(QStringLiteral("code"))->SetValue(db::Value(7));
    s.ds.Post();
    s.g.Selection().SelectAll();
    s.Import<TDBGridXImportAsGRIDBIF>(bif);
    s.ds.First();
    EXPECT_EQ(s.ds.FieldByName(QStringLiteral("code"))->AsInteger(), 5000000000LL);
}

TEST(GridClipboard, GridbifCopyAndPasteRoundTripRestoresValues) {
    SmallGrid s;
    s.g.Selection().SelectAll();
    GridCopy(s.g, false);
    const QMimeData* m = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(m);
    for (const QString& t : {kMimeGridbif, kMimeCsv, kMimeRtf, kMimeRtfApp})
        EXPECT_TRUE(m->hasFormat(t)) << t.toStdString();
    EXPECT_FALSE(m->data(kMimeGridbif).isEmpty());
    EXPECT_FALSE(m->text().contains(QChar(0)));
    EXPECT_FALSE(m->data(kMimeCsv).contains('\0'));
    const QStringList before = s.Dump();

    s.ds.First();
    s.ds.FieldByName(QStringLiteral("name"))->SetValue(db::Value(QStringLiteral("changed")));
    s.ds.FieldByName(QStringLiteral("amount"))->Clear();
    s.ds.Post();
    s.ds.Last();
    s.ds.FieldByName(QStringLiteral("code"))->SetValue(db::Value(99));
    s.ds.Post();
    ASSERT_NE(s.Dump(), before);
    s.g.Selection().SelectAll();
    ASSERT_TRUE(s.g.CanPaste());
    GridPaste(s.g, false);
    EXPECT_EQ(s.Dump(), before);
    EXPECT_EQ(s.ds.State(), dsBrowse);
}

TEST(GridImport, MalformedGridbifStreamsAreRefusedBeforeAnythingChanges) {
    SmallGrid s;
    const QByteArray good = s.Export<TDBGridXExportAsGRIDBIF>();
    s.g.Selection().SelectAll();
    const QStringList before = s.Dump();
    auto refused = [&](const QByteArray& bytes, const char* text) {
        try {
            s.Import<TDBGridXImportAsGRIDBIF>(bytes);
            ADD_FAILURE() << "accepted";
        } catch (const EGridImportError& e) {
            EXPECT_EQ(e.Text(), QString::fromLatin1(text));
        }
        EXPECT_EQ(s.Dump(), before);
        EXPECT_FALSE(s.ds.ControlsDisabled());
        EXPECT_EQ(s.ds.State(), dsBrowse);
    };
    QByteArray wrongSig = good;
    wrongSig[0] = 'X';
    refused(wrongSig, "TDBGridXImportAsGRIDBIF.ReadPrefix: Invalid GRIDBIF format");
    refused(good.left(10), "TDBGridXImportAsGRIDBIF.ReadPrefix: Invalid GRIDBIF format");
    // A cell tagged 7 (unknown), here the second record's first cell.
    QByteArray tag7 = good;
    const int second = int(good.indexOf(Hex("0302000000")));
    ASSERT_GT(second, 0);
    tag7[second] = 7;
    refused(tag7, "TDBGridXImportAsGRIDBIF.ReadDataCell: Invalid GRIDBIF format");
    // A text length far past the end, and a stream cut before its end tag.
    QByteArray huge = good;
    const int text = int(good.indexOf(Hex("0503000000")));
    huge.replace(text + 1, 4, Hex("FFFFFF7F"));
    refused(huge, "TDBGridXImportAsGRIDBIF.ReadDataCell: Invalid GRIDBIF format");
    refused(good.left(good.size() - 1), "TDBGridXImportAsGRIDBIF.ReadDataCell: Invalid GRIDBIF format");
    refused(QByteArray("1\tA\rB"), "TDBGridXImportAsGRIDBIF.ReadPrefix: Invalid GRIDBIF format");
}

TEST(GridImport, TextImportRulesNulExtraAndMissingValuesAndAppend) {
    SmallGrid s;
    // A pasted text block ending in NUL (and anything after it) makes no extra record.
    s.ds.First();
    s.Import<TDBGridXImportAsText>(QByteArray("5\tX\t1\r\n6\tY\t2\r\n\0garbage", 22));
    EXPECT_EQ(s.Dump(), (QStringList{"5|X|1", "6|Y|2"}));
    EXPECT_EQ(s.ds.RecordCount(), 2);

    // From the current column on: extra values are dropped, missing ones leave the cells.
    s.ds.First();
    s.g.SetSelectedIndex(1);
    s.Import<TDBGridXImportAsText>(QByteArray("P\t7\tdropped\r\nQ"));
    EXPECT_EQ(s.Dump(), (QStringList{"5|P|7", "6|Q|2"}));

    // At the last record with appending allowed, the rest becomes new records.
    s.ds.Last();
    s.g.SetSelectedIndex(0);
    s.Import<TDBGridXImportAsText>(QByteArray("8\tR\t3\r\n9\tS\t4\r\n10\tT\t5"));
    EXPECT_EQ(s.Dump(), (QStringList{"5|P|7", "8|R|3", "9|S|4", "10|T|5"}));

    EXPECT_EQ(TextRecords(QByteArray("a\t\tb\r\n\r\nc\t")).size(), 3u);
    EXPECT_EQ(TextRecords(QByteArray("a\t\tb")).front().size(), 3u);
    EXPECT_TRUE(TextRecords(QByteArray("\0a\tb", 4)).empty());
}

TEST(GridImport, TextFromLinuxAndWindowsProgramsImportsRecordByRecord) {
    // LF (Linux), CR LF (Windows) and a lone CR (old Mac) each end a record; a last line
    // end makes no empty record.
    for (const char* text : {"7\t张三\t1\n8\t李四\t2\n", "7\t张三\t1\r\n8\t李四\t2", "7\t张三\t1\r8\t李四\t2\r"}) {
        SmallGrid s;
        s.g.Selection().SelectAll();
        QApplication::clipboard()->setText(QString::fromUtf8(text));
        GridPaste(s.g, false);
        EXPECT_EQ(s.Dump(), (QStringList{"7|张三|1", "8|李四|2"})) << text;
        EXPECT_TRUE(s.ui.shown.empty()) << text;  // nothing left over
    }
    EXPECT_EQ(TextRecords(QByteArray("a\r\rb\n\r\nc")).size(), 5u);  // empty lines stay records
}

TEST(GridImport, ValuesRecordsAndTextThatNothingTakesAreCountedAndTold) {
    SmallGrid s;
    s.g.AllowedOperations = {alopUpdateX};  // no appending: the rows there are, are all
    s.ds.First();
    s.g.SetSelectedIndex(1);  // from the name column on: two columns take values
    s.Import<TDBGridXImportAsText>(QByteArray("P\t7\tx\ty\r\nQ\t8\t\r\nR\t9\r\nS\r\n\r\n\0tail\0\0", 33));
    EXPECT_EQ(s.Dump(), (QStringList{"1|P|7", "2|Q|8"}));
    ASSERT_EQ(s.ui.shown.size(), 1u);
    EXPECT_EQ(s.ui.shown[0].kind, DlgKind::Warning);
    EXPECT_EQ(s.ui.shown[0].text, QStringLiteral("以下内容没有导入：\n"
                                                 "最后一列之后的 2 个值\n"
                                                 "最后一条可填记录之后的 2 条记录\n"
                                                 "空字符（NUL）之后的 4 个字符"));
    // Only NULs after the data, and empty values beyond the columns: nothing to tell.
    s.ui.shown.clear();
    s.ds.First();
    s.Import<TDBGridXImportAsText>(QByteArray("A\t1\t\t\0\0\0", 8));
    EXPECT_TRUE(s.ui.shown.empty());
    EXPECT_EQ(s.Dump(), (QStringList{"1|A|1", "2|Q|8"}));

    // GRIDBIF of three columns into two selected columns: the third column's values.
    const QByteArray bif = s.Export<TDBGridXExportAsGRIDBIF>();
    s.g.Selection().Columns().Add(s.g.Columns()[0], false);
    s.g.Selection().Columns().Add(s.g.Columns()[1], true);
    s.Import<TDBGridXImportAsGRIDBIF>(bif);
    EXPECT_EQ(s.ui.Texts(), QStringList{"以下内容没有导入：\n最后一列之后的 2 个值"});
    // Without a message service the import says it in an error.
    s.g.SetUiService(nullptr);
    try {
        s.Import<TDBGridXImportAsGRIDBIF>(bif);
        ADD_FAILURE() << "nothing said";
    } catch (const EGridImportError& e) {
        EXPECT_EQ(e.Text(), QStringLiteral("以下内容没有导入：\n最后一列之后的 2 个值"));
    }
    EXPECT_FALSE(s.ds.ControlsDisabled());
}

TEST(GridImport, ABadValueAskedAndAnsweredNoAbortsAndLeavesNoDanglingInsert) {
    SmallGrid s;
    // The first line overwrites the last record, the second would be appended but fails.
    s.ds.Last();
    s.g.SetSelectedIndex(0);
    s.ui.answers = {DlgAnswer::No};
    EXPECT_THROW(s.Import<TDBGridXImportAsText>(QByteArray("3\tN\t1\r\nabc\tM\t2")), SilentAbort);
    ASSERT_EQ(s.ui.shown.size(), 1u);
    EXPECT_EQ(s.ui.shown[0].text,
              QStringLiteral("Error during insert value: \n'abc' is not a valid integer value\n\nIgnore error?"));
    EXPECT_EQ(s.ui.shown[0].buttons, DlgButtons::YesNoAll);
    EXPECT_EQ(s.ui.shown[0].kind, DlgKind::Error);
    EXPECT_EQ(s.ds.State(), dsBrowse);  // the half-filled new record is gone
    EXPECT_EQ(s.Dump(), (QStringList{"1|A\"b|10.5", "3|N|1"}));
    EXPECT_FALSE(s.ds.ControlsDisabled());

    // "All" ignores this error and every later one without asking again.
    s.ui.shown.clear();
    s.ui.answers = {DlgAnswer::All};
    s.ds.Last();
    s.Import<TDBGridXImportAsText>(QByteArray("x\tP\t1\r\ny\tQ\t2"));
    EXPECT_EQ(s.ui.shown.size(), 1u);
    EXPECT_EQ(s.Dump(), (QStringList{"1|A\"b|10.5", "3|P|1", "|Q|2"}));
}

TEST(GridDelete, PromptsPerKindAndNoKeepsEveryRecord) {
    SmallGrid s;
    s.g.SetOptions(s.g.Options().With(dgConfirmDelete));
    s.g.Selection().SelectAll();
    s.ui.answers = {DlgAnswer::Cancel};
    GridDelete(s.g, false);
    ASSERT_EQ(s.ui.shown.size(), 1u);
    EXPECT_EQ(s.ui.shown[0].text, QStringLiteral("Delete all records?"));
    EXPECT_EQ(s.ds.RecordCount(), 2);

    s.ui.shown.clear();
    s.g.Selection().Clear();
    s.g.Selection().Columns().Add(s.g.Columns()[1], false);
    s.ui.answers = {DlgAnswer::Cancel};
    GridDelete(s.g, false);
    EXPECT_EQ(s.ui.shown.back().text, QStringLiteral("Clear selected columns?"));
    EXPECT_EQ(s.Dump(), (QStringList{"1|A\"b|10.5", "2|中{x}\\|2.25"}));
    s.ui.answers = {DlgAnswer::Ok};
    GridDelete(s.g, false);
    EXPECT_EQ(s.Dump(), (QStringList{"1||10.5", "2||2.25"}));
    EXPECT_EQ(s.ds.State(), dsBrowse);  // every cleared record is posted

    // A rectangle asks to clear cells and clears rather than deletes.
    s.g.Selection().Clear();
    s.ds.Last();
    const TBookmark last = s.ds.Bookmark();
    s.ds.First();
    s.g.Selection().Rect().Select(2, s.ds.Bookmark(), false);
    s.g.Selection().Rect().Select(2, last, true);
    s.ui.answers = {DlgAnswer::Ok};
    GridDelete(s.g, false);
    EXPECT_EQ(s.ui.shown.back().text, QStringLiteral("Clear selected cells?"));
    EXPECT_EQ(s.Dump(), (QStringList{"1||", "2||"}));

    // Deleting everything after "OK".
    s.g.Selection().SelectAll();
    s.ui.answers = {DlgAnswer::Ok};
    GridDelete(s.g, false);
    EXPECT_EQ(s.ds.RecordCount(), 0);
    EXPECT_FALSE(s.ds.ControlsDisabled());
}

TEST(GridDelete, DeletedRecordsLeaveTheSelection) {
    SmallGrid s;
    s.g.SetOptions(s.g.Options().With(dgMultiSelect));
    s.ds.First();
    s.g.SelectedRows().SetCurrentRowSelected(true);
    ASSERT_EQ(s.g.Selection().SelectionType(), gstRecordBookmarks);
    s.g.AllowedOperations = {alopDeleteX, alopUpdateX};
    ASSERT_TRUE(s.g.CanDelete());
    s.ui.answers = {DlgAnswer::Ok};
    GridDelete(s.g, false);
    EXPECT_EQ(s.ds.RecordCount(), 1);
    EXPECT_EQ(s.g.SelectedRows().Count(), 0);
    EXPECT_EQ(s.g.Selection().SelectionType(), gstNone);
    EXPECT_FALSE(s.g.CanCopy());
}

TEST(GridClipboard, ShiftInsertPastesShiftDeleteCutsAndActionsNeedTheGridsFocus) {
    SmallGrid s;
    s.g.setFocus();
    s.g.EditActions = {geaPasteX, geaCutX, geaCopyX};
    s.ds.First();
    s.g.SetSelectedIndex(1);
    QApplication::clipboard()->setText(QStringLiteral("王五\t3"));
    QTest::keyClick(&s.g, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(s.Dump(), (QStringList{"1|王五|3", "2|中{x}\\|2.25"}));
    EXPECT_EQ(s.ds.RecordCount(), 2);  // and no record inserted
    // Shift+Delete cuts the selected cells: copied, then cleared once the person agrees.
    s.g.Selection().Columns().Add(s.g.Columns()[2], false);
    s.ui.answers = {DlgAnswer::Ok};
    QTest::keyClick(&s.g, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(s.ui.Texts(), QStringList{QStringLiteral("Clear selected columns?")});
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("金额\r\n3\r\n2.25\r\n5.25"));
    EXPECT_EQ(s.Dump(), (QStringList{"1|王五|", "2|中{x}\\|"}));
    // In the editor Shift+Insert pastes into the text, and the grid's edit actions are not
    // the grid's to answer: they act only while the grid itself has the focus.
    s.g.Selection().Clear();
    s.g.SetSelectedIndex(1);
    s.g.ShowEditor();
    ASSERT_TRUE(s.g.EditorMode());
    QApplication::clipboard()->setText(QStringLiteral("赵"));
    s.g.InplaceEditor()->setCursorPosition(0);
    QTest::keyClick(s.g.InplaceEditor(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(s.g.InplaceEditor()->text(), QStringLiteral("赵王五"));
    s.g.EditActions = {geaCopyX, geaSelectAllX};
    bool enabled = false;
    EXPECT_FALSE(s.g.UpdateAction(geaSelectAllX, enabled));
    EXPECT_FALSE(s.g.ExecuteAction(geaSelectAllX));
    EXPECT_EQ(s.g.Selection().SelectionType(), gstNone);
    s.g.HideEditor(false);
    s.g.setFocus();
    EXPECT_TRUE(s.g.UpdateAction(geaSelectAllX, enabled));
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(s.g.ExecuteAction(geaSelectAllX));
    EXPECT_EQ(s.g.Selection().SelectionType(), gstAll);
}

// On X11 Delete carries the text "\x7f": a key whose text is a control character starts no
// editor, so Delete leaves the cells and Shift+Delete cuts the selected column.
TEST(GridClipboard, DeleteAsX11SendsItIsAKeyNotTyping) {
    for (const bool shift : {false, true}) {
        SmallGrid s;
        s.g.setFocus();
        s.g.EditActions = {geaCutX};
        s.g.SetSelectedIndex(1);
        s.g.Selection().Columns().Add(s.g.Columns()[1], false);
        s.ui.answers = {DlgAnswer::Ok};
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, shift ? Qt::ShiftModifier : Qt::NoModifier,
                      QStringLiteral("\x7f"));
        QApplication::sendEvent(&s.g, &del);
        EXPECT_FALSE(s.g.EditorMode());
        EXPECT_EQ(s.Dump().join(u' '),
                  shift ? QStringLiteral("1||10.5 2||2.25") : QStringLiteral("1|A\"b|10.5 2|中{x}\\|2.25"));
    }
}

TEST(GridClipboard, AvailabilityTests) {
    SmallGrid s;
    s.g.setFocus();               // the grid answers for the edit actions while it has the focus
    EXPECT_FALSE(s.g.CanCopy());  // nothing selected
    EXPECT_TRUE(s.g.CanSelectAll());
    s.g.Selection().SelectAll();
    EXPECT_TRUE(s.g.CanCopy());
    EXPECT_TRUE(s.g.CanDelete());
    EXPECT_TRUE(s.g.CanCut());
    s.g.AllowedOperations = {alopUpdateX};
    EXPECT_FALSE(s.g.CanDelete());  // deleting all records needs the delete operation
    s.g.SetReadOnly(true);
    QApplication::clipboard()->setText(QStringLiteral("1"));
    EXPECT_FALSE(s.g.CanPaste());
    s.g.SetReadOnly(false);
    EXPECT_TRUE(s.g.CanPaste());
    bool enabled = true;
    EXPECT_FALSE(s.g.UpdateAction(geaPasteX, enabled));  // not among the grid's edit actions
    s.g.EditActions = {geaPasteX};
    EXPECT_TRUE(s.g.UpdateAction(geaPasteX, enabled));
    EXPECT_TRUE(enabled);
}

}  // namespace
