#include "core/files/XlsxWriter.h"

#include "core/files/ReplacingFile.h"

#include <QFile>

#include <xlsxwriter.h>

namespace qm::xlsx {
namespace {

lxw_row_t Row(int row) { return lxw_row_t(row - 1); }
lxw_col_t Col(int col) { return lxw_col_t(col - 1); }

QByteArray Utf8(const QString& s) { return s.toUtf8(); }

uint8_t AlignOf(Align a) {
    switch (a) {
    case Align::General: return LXW_ALIGN_NONE;
    case Align::Left: return LXW_ALIGN_LEFT;
    case Align::Center: return LXW_ALIGN_CENTER;
    case Align::Right: return LXW_ALIGN_RIGHT;
    }
    return LXW_ALIGN_NONE;
}

uint8_t VAlignOf(VAlign a) {
    switch (a) {
    case VAlign::Default: return LXW_ALIGN_NONE;
    case VAlign::Top: return LXW_ALIGN_VERTICAL_TOP;
    case VAlign::Center: return LXW_ALIGN_VERTICAL_CENTER;
    case VAlign::Bottom: return LXW_ALIGN_VERTICAL_BOTTOM;
    }
    return LXW_ALIGN_NONE;
}

}  // namespace

Workbook::Workbook(const QString& path) : path_(path) {
    try {
        file_ = std::make_unique<files::ReplacingFile>(path);
    } catch (const files::ReplaceError& e) {
        throw Error(QStringLiteral("%1: %2").arg(path_, e.Text()));
    }
    // The writer takes a file name and opens it only when the workbook is closed: it gets one
    // that denotes the temporary file itself, which no name planted in the folder can redirect.
    wb_ = workbook_new(QFile::encodeName(file_->DescriptorPath()).constData());
    if (!wb_) throw StartError(QStringLiteral("cannot start the workbook %1").arg(path));
}

Workbook::~Workbook() {
    if (wb_) lxw_workbook_free(wb_);
}

Sheet& Workbook::AddSheet(const QString& name) {
    if (!wb_) throw Error(QStringLiteral("the workbook is closed"));
    lxw_worksheet* ws = workbook_add_worksheet(wb_, Utf8(name).constData());
    if (!ws) throw Error(QStringLiteral("cannot add the sheet '%1'").arg(name));
    sheets_.push_back(std::unique_ptr<Sheet>(new Sheet(*this, ws)));
    return *sheets_.back();
}

void Workbook::Close() {
    if (!wb_) return;
    lxw_workbook* wb = wb_;
    wb_ = nullptr;  // workbook_close frees it, written or not
    const lxw_error e = workbook_close(wb);
    if (e != LXW_NO_ERROR) throw Error(QStringLiteral("%1: %2").arg(path_, QString::fromUtf8(lxw_strerror(e))));
    try {
        file_->Commit();
    } catch (const files::ReplaceError& r) {
        throw Error(QStringLiteral("%1: %2").arg(path_, r.Text()));
    }
}

lxw_format* Workbook::Format(const CellFormat& f) {
    if (f == CellFormat{}) return nullptr;
    for (const auto& [key, fmt] : formats_)
        if (key == f) return fmt;
    lxw_format* fmt = workbook_add_format(wb_);
    // "@" is the built-in text format; naming it by its index writes it as Excel itself does.
    if (f.numFormat == QLatin1String("@"))
        format_set_num_format_index(fmt, 49);
    else if (!f.numFormat.isEmpty())
        format_set_num_format(fmt, Utf8(f.numFormat).constData());
    if (f.fontSize > 0) format_set_font_size(fmt, f.fontSize);
    if (!f.fontName.isEmpty()) format_set_font_name(fmt, Utf8(f.fontName).constData());
    if (f.bold) format_set_bold(fmt);
    if (f.align != Align::General) format_set_align(fmt, AlignOf(f.align));
    if (f.valign != VAlign::Default) format_set_align(fmt, VAlignOf(f.valign));
    if (f.wrap) format_set_text_wrap(fmt);
    if (f.border) format_set_border(fmt, LXW_BORDER_THIN);
    formats_.emplace_back(f, fmt);
    return fmt;
}

void Sheet::Check(int code, const char* what) const {
    if (code != LXW_NO_ERROR)
        throw Error(
            QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromUtf8(lxw_strerror(lxw_error(code)))));
}

void Sheet::Text(int row, int col, const QString& text, const CellFormat& fmt) {
    Check(worksheet_write_string(ws_, Row(row), Col(col), Utf8(text).constData(), book_.Format(fmt)), "write a cell");
}

void Sheet::Number(int row, int col, double value, const CellFormat& fmt) {
    Check(worksheet_write_number(ws_, Row(row), Col(col), value, book_.Format(fmt)), "write a cell");
}

void Sheet::Merge(int row1, int col1, int row2, int col2, const QString& text, const CellFormat& fmt) {
    Check(worksheet_merge_range(ws_, Row(row1), Col(col1), Row(row2), Col(col2), Utf8(text).constData(),
                                book_.Format(fmt)),
          "merge cells");
}

void Sheet::Columns(int col1, int col2, double width, const CellFormat& fmt) {
    Check(worksheet_set_column(ws_, Col(col1), Col(col2), width < 0 ? LXW_DEF_COL_WIDTH : width, book_.Format(fmt)),
          "set columns");
}

void Sheet::RowHeight(int row, double points) { Check(worksheet_set_row(ws_, Row(row), points, nullptr), "set a row"); }

void Sheet::Landscape() { worksheet_set_landscape(ws_); }

void Sheet::MarginsPt(double left, double right, double top, double bottom) {
    worksheet_set_margins(ws_, left / 72.0, right / 72.0, top / 72.0, bottom / 72.0);
}

}  // namespace qm::xlsx
