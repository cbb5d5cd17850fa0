#pragma once
// A list a form opens as its grid's data set, and the search pattern its statements bind.

#include "core/db/Db.h"

#include <QString>

namespace qm {

// A statement and its bound values, for a form to open as its grid's data set.
struct ListQuery {
    QString sql;
    db::Params params;
};

// `text` as the pattern of `like ? escape '\'` that finds it anywhere in a value: the text's
// own %, _ and \ are escaped, so a name is searched as typed.
QString LikeContains(const QString& text);

}  // namespace qm
