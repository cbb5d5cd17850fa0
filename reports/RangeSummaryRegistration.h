#pragma once

namespace qm {
class FormFactory;

// Registers the month-range choosers and the Gid-matrix summaries with the factory, in place
// of their placeholders.
void RegisterRangeSummaryForms(FormFactory& forms);
}  // namespace qm
