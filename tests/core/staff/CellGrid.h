#pragma once
// A sheet without widgets for the staff store tests: cells by (row, column).

#include "core/staff/MonputStore.h"

#include <QString>

#include <map>

namespace qm::test {

struct CellGrid {
    std::map<std::pair<int, int>, QString> cells;
    QString Get(int r, int c) const {
        auto it = cells.find({r, c});
        return it == cells.end() ? QString() : it->second;
    }
    void Set(int r, int c, const QString& t) { cells[{r, c}] = t; }
    CellReader Reader() const {
        return [this](int r, int c) { return Get(r, c); };
    }
};

}  // namespace qm::test
