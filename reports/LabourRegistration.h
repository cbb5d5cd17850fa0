#pragma once

namespace qm {
class FormFactory;

// Registers the labour reports (TFrm_JLabor, TFrm_NLabor) and the wage payment list
// (TFrm_chooseMon) with the factory, in place of their placeholders.
void RegisterLabourForms(FormFactory& forms);
}  // namespace qm
