#pragma once

namespace qm {
class FormFactory;

// Registers the report forms and their choosers with the factory, in place of their placeholders.
void RegisterReportForms(FormFactory& forms);
}  // namespace qm
