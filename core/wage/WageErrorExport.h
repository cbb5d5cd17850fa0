#pragma once
// The workbook of a month's wage errors: the listed people's numbers and names, written to
// ERROR/<m>月错误名单.xlsx, then the message naming the file and the folder opened.

#include "core/base/AppPaths.h"
#include "core/base/Month.h"

#include <QString>

#include <utility>
#include <vector>

namespace qm {

class UiService;
class Progress;

inline const QString kWageErrorSheetName = QStringLiteral("错误人员基本信息");

// The file's name and full path for month m.
QString WageErrorFileName(Month month);
QString WageErrorFilePath(const AppPaths& paths, Month month);

// `rows` are the error list's rows from its header row on: (姓名编号, 姓名) as shown.
// Answers whether the file was written.
bool ExportWageErrorWorkbook(UiService& ui, Progress& pb, const AppPaths& paths, Month month,
                             const std::vector<std::pair<QString, QString>>& rows);

}  // namespace qm
