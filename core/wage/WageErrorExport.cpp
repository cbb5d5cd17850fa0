#include "core/wage/WageErrorExport.h"

#include "core/base/Progress.h"
#include "core/base/UiService.h"
#include "core/files/XlsxWriter.h"
#include "core/wage/WageAudit.h"

#include <QDir>

#include <optional>

namespace qm {

QString WageErrorFileName(Month month) { return month.Text() + QStringLiteral("月错误名单.xlsx"); }

QString WageErrorFilePath(const AppPaths& paths, Month month) {
    return paths.Error() + QLatin1Char('/') + WageErrorFileName(month);
}

bool ExportWageErrorWorkbook(UiService& ui, Progress& pb, const AppPaths& paths, Month month,
                             const std::vector<std::pair<QString, QString>>& rows) {
    const QString folder = paths.Error() + QLatin1Char('/');
    QDir().mkpath(paths.Error());  // a failure here shows as the save failing below
    pb.SetPosition(0);
    std::optional<xlsx::Workbook> wb;
    try {
        wb.emplace(WageErrorFilePath(paths, month));
        // Every cell is text, so staff numbers keep their leading zeros.
        xlsx::Sheet& s = wb->AddSheet(kWageErrorSheetName);
        s.Columns(1, 2, -1, xlsx::CellFormat::Text());
        xlsx::CellFormat cell = xlsx::CellFormat::Text();
        cell.fontSize = 10;
        cell.align = xlsx::Align::Center;  // the original's horizontal alignment 3
        const int n = int(rows.size());
        for (int r = 0; r < n; ++r) {
            s.Text(r + 2, 1, RtlTrim(rows[size_t(r)].first), cell);
            s.Text(r + 2, 2, RtlTrim(rows[size_t(r)].second), cell);
            if ((r & 1023) == 0) pb.SetPosition(r * 100 / n);
        }
        xlsx::CellFormat title = xlsx::CellFormat::Text();
        title.align = xlsx::Align::Center;
        s.Merge(1, 1, 1, 2, QStringLiteral("未输入名单"), title);
        wb->Close();
    } catch (const xlsx::StartError&) {
        ui.Titled(QStringLiteral("无法打开Xls文件，请确认已经安装EXCEL."), QStringLiteral("警告"), DlgKind::Error);
        return false;
    } catch (const xlsx::Error& e) {
        pb.SetPosition(0);
        ui.Titled(xlsx::ExportFailedText(WageErrorFilePath(paths, month), e.Text()), QStringLiteral("消息"),
                  DlgKind::Information);
        return false;
    }
    ui.Info(QStringLiteral("你导出到'") + folder + QStringLiteral("'里,文件名为:") + WageErrorFileName(month));
    ui.OpenFolder(folder);
    pb.SetPosition(100);
    pb.SetPosition(0);
    return true;
}

}  // namespace qm
