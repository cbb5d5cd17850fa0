#include "core/report/WorkbookExport.h"

#include "core/base/Progress.h"
#include "core/base/UiService.h"
#include "core/files/ReplacingFile.h"
#include "core/files/XlsxWriter.h"
#include "core/sheet/SheetBook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <tuple>

namespace qm::report {

namespace {

const QString kHeiti = QStringLiteral("黑体");

// The writer itself could not be started (no file was touched).
struct WriterStartError : std::runtime_error {
    WriterStartError() : std::runtime_error("cannot start the workbook writer") {}
};

// Looks of one written cell; equal looks share one format of the workbook.
struct Look {
    double fontSize;
    QString fontName;
    HAlign align;
    bool wrap;
    int top, bottom, left, right;
    bool operator==(const Look&) const = default;
};

uint8_t BorderOf(int weight) {
    if (weight >= kThick) return LXW_BORDER_THICK;
    if (weight > 0) return LXW_BORDER_THIN;
    return LXW_BORDER_NONE;
}

class Emitter {
public:
    explicit Emitter(const QString& path) {
        wb_ = workbook_new(QFile::encodeName(path).constData());
        if (!wb_) throw WriterStartError();
    }
    ~Emitter() {
        if (wb_) lxw_workbook_free(wb_);
    }
    lxw_workbook* wb() const { return wb_; }

    lxw_format* Format(const XCell& x) {
        const Look l{x.fontSize, x.fontName, x.align, x.wrap, x.top, x.bottom, x.left, x.right};
        for (const auto& [k, f] : formats_)
            if (k == l) return f;
        lxw_format* f = workbook_add_format(wb_);
        format_set_num_format_index(f, 49);  // "@": every value stays text
        if (l.fontSize > 0) format_set_font_size(f, l.fontSize);
        format_set_font_name(f, (l.fontName.isEmpty() ? QStringLiteral("宋体") : l.fontName).toUtf8().constData());
        if (l.align == HAlign::Center) format_set_align(f, LXW_ALIGN_CENTER);
        if (l.wrap) format_set_text_wrap(f);
        if (l.top) format_set_top(f, BorderOf(l.top));
        if (l.bottom) format_set_bottom(f, BorderOf(l.bottom));
        if (l.left) format_set_left(f, BorderOf(l.left));
        if (l.right) format_set_right(f, BorderOf(l.right));
        formats_.emplace_back(l, f);
        return f;
    }

    void Close() {
        lxw_workbook* wb = wb_;
        wb_ = nullptr;  // workbook_close frees it, written or not
        errno = 0;      // what the failure leaves is its own cause, not an earlier call's
        const lxw_error e = workbook_close(wb);
        if (e != LXW_NO_ERROR) throw std::runtime_error(xlsx::FailureText(e, errno).toStdString());
    }

private:
    lxw_workbook* wb_ = nullptr;
    std::vector<std::pair<Look, lxw_format*>> formats_;
};

// Cells are kept in memory until the workbook is closed: no disk cause here.
void Check(lxw_error e) {
    if (e != LXW_NO_ERROR) throw std::runtime_error(xlsx::FailureText(e, 0).toStdString());
}

QString Native(const QString& p) { return QDir::toNativeSeparators(p); }

// The copied block, cell by cell, as text.
void CopyBlock(WorkbookModel& m, const ExportLayout& l, const TSheetBook& sheet, Progress* pb) {
    for (int r = l.firstRow; r <= l.lastRow; ++r) {
        for (int c = l.firstCol; c <= l.lastCol; ++c) {
            const int xr = r + l.rowOffset;
            const QString text = sheet.GetCellText(r, c);
            m.SetText(xr, c, l.cellText ? l.cellText(r, c, text) : text);
            XCell& x = m.At(xr, c);
            x.wrap = true;
            if (l.copiedFontSize > 0) x.fontSize = l.copiedFontSize;
            if (std::find(l.centredColumns.begin(), l.centredColumns.end(), c) != l.centredColumns.end())
                x.align = HAlign::Center;
        }
        if (pb) pb->SetPosition(r * 100 / (l.progressDivisor > 0 ? l.progressDivisor : 1));
    }
    for (const QString& ref : l.centredCells) {
        const XRange b = A1(ref);
        m.At(b.r1, b.c1).align = HAlign::Center;
    }
}

// The title, merged over its range in the heading font.
void PutTitle(WorkbookModel& m, const ExportLayout& l) {
    if (l.titleRange.isEmpty()) return;
    const XRange t = A1(l.titleRange);
    m.Merge(t);
    m.SetText(t.r1, t.c1, l.titleText);
    XCell& x = m.At(t.r1, t.c1);
    x.align = HAlign::Center;
    x.fontSize = l.titleSize;
    x.fontName = kHeiti;
    if (l.titleRowHeight > 0) m.SetRowHeight(t.r1, l.titleRowHeight);
}

// One head line, merge or fixed text; a block that sets no looks touches no cell's looks.
void PutBlock(WorkbookModel& m, const FixedBlock& b) {
    const XRange r = A1(b.range);
    if (b.clear) m.ClearText(r);
    if (b.merge) m.Merge(r);
    if (b.text) m.SetText(r.r1, r.c1, *b.text);
    if (b.fontSize <= 0 && b.fontName.isEmpty() && !b.align && !b.wrap) return;
    for (int rr = r.r1; rr <= r.r2; ++rr)
        for (int cc = r.c1; cc <= r.c2; ++cc) {
            XCell& x = m.At(rr, cc);
            if (b.fontSize > 0) x.fontSize = b.fontSize;
            if (!b.fontName.isEmpty()) x.fontName = b.fontName;
            if (b.align) x.align = *b.align;
            if (b.wrap) x.wrap = true;
        }
}

}  // namespace

FixedBlock TextBlock(const QString& range, std::optional<QString> text, double size, bool merge,
                     std::optional<HAlign> align, bool wrap) {
    FixedBlock b;
    b.range = range;
    b.text = std::move(text);
    b.merge = merge;
    b.fontSize = size;
    b.align = align;
    b.wrap = wrap;
    return b;
}

void AddUnitLines(ExportLayout& l, int row, const QString& depName, const QString& depNo, double size) {
    l.blocks.push_back(TextBlock(QStringLiteral("A%1").arg(row), QStringLiteral("单位名称：") + depName, size, false));
    l.blocks.push_back(
        TextBlock(QStringLiteral("A%1").arg(row + 1), QStringLiteral("法人单位代码：") + depNo, size, false));
}

void AddTextLines(ExportLayout& l, const QString& rangePattern, int firstRow, const QStringList& lines, double size,
                  bool merge, std::optional<HAlign> align) {
    for (int i = 0; i < lines.size(); ++i)
        l.blocks.push_back(TextBlock(rangePattern.arg(firstRow + i),
                                     lines[i].isEmpty() ? std::nullopt : std::optional<QString>(lines[i]), size, merge,
                                     align));
}

QString WorkbookFileName(const QString& stem) { return stem + QStringLiteral(".xlsx"); }

QString WorkbookPath(const AppPaths& paths, const QString& stem) {
    return paths.Xls() + QLatin1Char('/') + WorkbookFileName(stem);
}

WorkbookModel BuildWorkbook(const ExportLayout& l, const TSheetBook& sheet, Progress* pb) {
    WorkbookModel m;
    m.sheetName = l.sheetName;
    if (pb) pb->SetPosition(0);
    for (size_t i = 0; i < l.columnWidths.size(); ++i) m.SetColumnWidth(int(i) + 1, l.columnWidths[i]);
    for (const auto& h : l.rowHeights)
        for (int r = h.r1; r <= h.r2; ++r) m.SetRowHeight(r, h.points);
    CopyBlock(m, l, sheet, pb);
    PutTitle(m, l);
    for (const FixedBlock& b : l.blocks) PutBlock(m, b);
    for (const QString& ref : l.allLines) m.AllLines(A1(ref));
    for (const auto& [ref, weight] : l.bottomEdges) m.BottomEdge(A1(ref), weight);
    m.margins = l.margins;
    m.landscape = l.landscape;
    return m;
}

void WriteXlsx(const WorkbookModel& m, const QString& path) {
    // Written beside the target and put in place only when complete: a failure on the way
    // (a full disk) leaves an earlier workbook of the name as it was.
    files::ReplacingFile file(path);
    // The writer opens the name it is given only when it closes: it gets one that denotes the
    // temporary file itself, which no name planted in the folder can redirect.
    Emitter e(file.DescriptorPath());
    // The sheet is named as it is created, so the saved file carries the name.
    lxw_worksheet* ws =
        workbook_add_worksheet(e.wb(), m.sheetName.isEmpty() ? nullptr : m.sheetName.toUtf8().constData());
    if (!ws) throw std::runtime_error(QStringLiteral("不能添加工作表“%1”").arg(m.sheetName).toStdString());
    for (const auto& [c, w] : m.ColumnWidths())
        Check(worksheet_set_column(ws, lxw_col_t(c - 1), lxw_col_t(c - 1), w, nullptr));
    for (const auto& [r, h] : m.RowHeights()) {
        if (h == 0) {
            lxw_row_col_options hidden = {1, 0, 0};
            Check(worksheet_set_row_opt(ws, lxw_row_t(r - 1), LXW_DEF_ROW_HEIGHT, nullptr, &hidden));
        } else {
            Check(worksheet_set_row(ws, lxw_row_t(r - 1), h, nullptr));
        }
    }
    for (const auto& [rc, x] : m.Cells()) {
        if (m.MergeAt(rc.first, rc.second)) continue;  // written with their block below
        const lxw_row_t r = lxw_row_t(rc.first - 1);
        const lxw_col_t c = lxw_col_t(rc.second - 1);
        if (x.hasText && !x.text.isEmpty())
            Check(worksheet_write_string(ws, r, c, x.text.toUtf8().constData(), e.Format(x)));
        else
            Check(worksheet_write_blank(ws, r, c, e.Format(x)));
    }
    for (const XRange& b : m.Merges()) {
        const XCell* tl = m.Find(b.r1, b.c1);
        const XCell none;
        Check(worksheet_merge_range(ws, lxw_row_t(b.r1 - 1), lxw_col_t(b.c1 - 1), lxw_row_t(b.r2 - 1),
                                    lxw_col_t(b.c2 - 1), (tl ? tl->text : QString()).toUtf8().constData(),
                                    e.Format(tl ? *tl : none)));
        // The other cells of the block keep their own borders.
        for (int r = b.r1; r <= b.r2; ++r)
            for (int c = b.c1; c <= b.c2; ++c) {
                if (r == b.r1 && c == b.c1) continue;
                if (const XCell* x = m.Find(r, c))
                    Check(worksheet_write_blank(ws, lxw_row_t(r - 1), lxw_col_t(c - 1), e.Format(*x)));
            }
    }
    const auto in = m.MarginInches();
    worksheet_set_margins(ws, in.left, in.right, in.top, in.bottom);
    if (m.landscape) worksheet_set_landscape(ws);
    e.Close();
    file.Commit();
}

bool ExportWorkbook(UiService& ui, Progress& pb, const AppPaths& paths, const ExportLayout& layout,
                    const TSheetBook& sheet) {
    const QString folder = Native(paths.Xls() + QLatin1Char('/'));
    const QString path = WorkbookPath(paths, layout.stem);
    const WorkbookModel model = BuildWorkbook(layout, sheet, &pb);
    try {
        // A missing folder is made; one that cannot be made fails the save below.
        QDir().mkpath(paths.Xls());
        WriteXlsx(model, path);
    } catch (const WriterStartError&) {
        ui.Titled(QStringLiteral("无法打开Xls文件，请确认已经安装EXCEL."), QStringLiteral("警告"), DlgKind::Error);
        return false;
    } catch (const std::runtime_error& e) {
        ui.Titled(xlsx::ExportFailedText(path, QString::fromUtf8(e.what())), QStringLiteral("消息"),
                  DlgKind::Information);
        return false;
    }
    const QString name = WorkbookFileName(layout.stem);
    if (layout.exportedToMessage)
        ui.Info(QStringLiteral("你导出到'") + folder + QStringLiteral("'里,文件名为:") + name);
    else
        ui.Info(QStringLiteral("文件所在路径:'") + folder + QStringLiteral("';\n文件名为:") + name);
    ui.OpenFolder(folder);
    pb.SetPosition(100);
    pb.SetPosition(0);
    return true;
}

void PrintWorkbook(UiService& ui, const AppPaths& paths, const QString& stem) {
    const QString path = WorkbookPath(paths, stem);
    if (QFileInfo(path).isFile())
        ui.OpenDocument(path);
    else
        ui.Info(QStringLiteral("必须导成EXCEL才支持打印。"));
}

}  // namespace qm::report
