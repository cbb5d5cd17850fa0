#pragma once
// Registers the staff browser, the unit switch dialog and the about box with the form factory.

namespace qm {

class FormFactory;

void RegisterBrowserForms(FormFactory& forms);

}  // namespace qm
