#include "core/files/XlsxWriter.h"

#include "core/base/SystemError.h"
#include "core/files/ReplacingFile.h"

#include <QDir>
#include <QFile>

#include <xlsxwriter.h>

#include <cerrno>

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

QString FailureText(int code, int err) {
    switch (err) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
    case EROFS:
    case EIO: return SystemErrorText(err);
    default: return QStringLiteral("工作簿写入出错（代码 %1）").arg(code);
    }
}

QString ExportFailedText(const QString& path, const QString& cause) {
    return QStringLiteral("数据导出错误！\n工作簿“%1”未能保存：%2").arg(QDir::toNativeSeparators(path), cause);
}

Workbook::Workbook(const QString& path) : path_(path) {
    try {
        file_ = std::make_unique<files::ReplacingFile>(path);
    } catch (const files::ReplaceError& e) {
        throw Error(e.Text());
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
    if (!wb_) throw Error(QStringLiteral("工作簿已关闭"));
    lxw_worksheet* ws = workbook_add_worksheet(wb_, Utf8(name).constData());
    if (!ws) throw Error(QStringLiteral("不能添加工作表“%1”").arg(name));
    sheets_.push_back(std::unique_ptr<Sheet>(new Sheet(*this, ws)));
    return *sheets_.back();
}

void Workbook::Close() {
    if (!wb_) return;
    lxw_workbook* wb = wb_;
    wb_ = nullptr;  // workbook_close frees it, written or not
    errno = 0;      // what the failure leaves is its own cause, not an earlier call's
    const lxw_error e = workbook_close(wb);
    if (e != LXW_NO_ERROR) throw Error(FailureText(e, errno));
    try {
        file_->Commit();
    } catch (const files::ReplaceError& r) {
        throw Error(r.Text());
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

void Sheet::Check(int code) const {
    // Cells are kept in memory until the workbook is closed: no disk cause here.
    if (code != LXW_NO_ERROR) throw Error(FailureText(code, 0));
}

void Sheet::Text(int row, int col, const QString& text, const CellFormat& fmt) {
    Check(worksheet_write_string(ws_, Row(row), Col(col), Utf8(text).constData(), book_.Format(fmt)));
}

void Sheet::Number(int row, int col, double value, const CellFormat& fmt) {
    Check(worksheet_write_number(ws_, Row(row), Col(col), value, book_.Format(fmt)));
}

void Sheet::Merge(int row1, int col1, int row2, int col2, const QString& text, const CellFormat& fmt) {
    Check(worksheet_merge_range(ws_, Row(row1), Col(col1), Row(row2), Col(col2), Utf8(text).constData(),
                                book_.Format(fmt)));
}

void Sheet::Columns(int col1, int col2, double width, const CellFormat& fmt) {
    Check(worksheet_set_column(ws_, Col(col1), Col(col2), width < 0 ? LXW_DEF_COL_WIDTH : width, book_.Format(fmt)));
}

void Sheet::RowHeight(int row, double points) { Check(worksheet_set_row(ws_, Row(row), points, nullptr)); }

void Sheet::Landscape() { worksheet_set_landscape(ws_); }

void Sheet::MarginsPt(double left, double right, double top, double bottom) {
    worksheet_set_margins(ws_, left / 72.0, right / 72.0, top / 72.0, bottom / 72.0);
}

}  // namespace qm::xlsx
