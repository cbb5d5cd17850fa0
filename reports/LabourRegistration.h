#pragma once

namespace qm {
class FormFactory;

// Registers the labour reports (TFrm_JLabor, TFrm_NLabor) with the factory, in place of
// their placeholders.
void RegisterLabourForms(FormFactory& forms);
}  // namespace qm
