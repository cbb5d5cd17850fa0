#include "tools/report/ReportTool.h"

namespace qm::reporttool {

namespace {
std::map<QString, FormEntry>& Forms() {
    static std::map<QString, FormEntry> forms;
    return forms;
}
}  // namespace

FormRegistrar::FormRegistrar(const char* form, const char* usage, Runner run) {
    Forms()[QString::fromUtf8(form)] = {QString::fromUtf8(usage), std::move(run)};
}

const std::map<QString, FormEntry>& AllForms() { return Forms(); }

}  // namespace qm::reporttool
