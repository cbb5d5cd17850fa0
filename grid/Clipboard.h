#pragma once
// Copy puts all four export formats on the clipboard at once; Paste takes GRIDBIF when
// present, else text; Cut is Copy then Delete; Delete removes the selected records or
// clears the selected cells. The MIME types on Linux: text/plain (UTF-8), text/csv,
// text/rtf and application/rtf, and the private application/x-gridbif. No payload carries
// a terminating NUL.
#include "grid/DBGridX.h"

#include <QMimeData>

#include <memory>

namespace qm::grid {

inline const QString kMimeGridbif = QStringLiteral("application/x-gridbif");
inline const QString kMimeCsv = QStringLiteral("text/csv");
inline const QString kMimeRtf = QStringLiteral("text/rtf");
inline const QString kMimeRtfApp = QStringLiteral("application/rtf");

// The four formats of what a copy would place (also usable without a clipboard).
std::unique_ptr<QMimeData> GridMimeData(TCustomDBGridX& grid, bool forWholeGrid);
void GridCopy(TCustomDBGridX& grid, bool forWholeGrid);
void GridPaste(TCustomDBGridX& grid, bool forWholeGrid);
void GridCut(TCustomDBGridX& grid, bool forWholeGrid);
void GridDelete(TCustomDBGridX& grid, bool forWholeGrid);

}  // namespace qm::grid
