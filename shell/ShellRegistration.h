#pragma once

namespace qm {
class FormFactory;

// Registers the shell's own forms with the factory.
void RegisterShellForms(FormFactory& forms);
}  // namespace qm
