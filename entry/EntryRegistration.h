#pragma once

namespace qm {
class FormFactory;

// Registers the staff and wage entry forms with the factory, in place of their placeholders.
void RegisterEntryForms(FormFactory& forms);
}  // namespace qm
