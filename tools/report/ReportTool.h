#pragma once
// qm-report: computes a report form on a program folder exactly as its window does, with
// no window, and prints the form's sheet as CSV for checking figures by hand.
//
//   qm-report DIR FORM [ARGS] [--upload] [--xlsx]
//
// Each form registers itself from a file of its own with QM_REPORT_FORM, so adding a form
// touches nothing else.

#include "core/base/AppContext.h"
#include "core/base/Progress.h"
#include "core/base/ScriptedUiService.h"
#include "core/db/Db.h"
#include "core/sheet/SheetBook.h"
#include "core/unit/Gates.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <stdexcept>

namespace qm::reporttool {

// What a form's run is given; `state` holds the current unit, loaded by the tool.
struct Run {
    db::Connection& db;
    ScriptedUiService& ui;  // records every message; the tool prints them
    AppPaths paths;
    MainState& state;
    Gates& gates;
    MemoryProgress& pb;
    QStringList args;  // the form's own arguments, after FORM
    bool upload = false;
    bool xlsx = false;
    TSheetBook sheet{nullptr};  // the form's sheet, printed after a run that answers true
};

// Gates, computation and store, then the upload and the workbook when asked. Answers false
// when the run was refused or a file could not be written (the message is in `ui`).
using Runner = std::function<bool(Run&)>;

// Wrong arguments for a form: the tool prints the text and the form's usage.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

struct FormRegistrar {
    FormRegistrar(const char* form, const char* usage, Runner run);
};

struct FormEntry {
    QString usage;
    Runner run;
};
// Every registered form by its name; the benchmark times the same runs.
const std::map<QString, FormEntry>& AllForms();

}  // namespace qm::reporttool

#define QM_REPORT_CAT2(a, b) a##b
#define QM_REPORT_CAT(a, b) QM_REPORT_CAT2(a, b)
#define QM_REPORT_FORM(form, usage, fn) \
    static ::qm::reporttool::FormRegistrar QM_REPORT_CAT(qmReportForm_, __LINE__)(form, usage, fn)
