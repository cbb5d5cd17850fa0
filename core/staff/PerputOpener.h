#pragma once

namespace qm {

// Who opened the single-person form. Its close refreshes the monthly list whenever the list
// it edits is a month's, and the start-of-period sheet only when that sheet opened it.
enum class PerputOpener {
    BatchSheet,  // the start-of-period sheet
    MainWindow,  // the main window's command or the staff browser
    MonthList,   // the monthly staff list
};

}  // namespace qm
