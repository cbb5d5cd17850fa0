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

// `text` as the pattern of `like ?` that finds it anywhere in a value. The text's own % and _
// stay the wildcards of LIKE (any run of characters, any one character), as the searches
// have always offered them; the text is bound, never spliced into the statement.
QString LikeAnywhere(const QString& text);

}  // namespace qm
