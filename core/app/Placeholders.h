#pragma once
// Stand-ins for the forms of other subsystems until they land: each says in the status bar
// that its form is not yet available. Registrations made later replace them.

#include <QString>
#include <QStringList>

namespace qm {

class FormFactory;
class IForm;

// Every form class the main window's commands open (TFrm_dep, the unit form, is the
// shell's own and not among them).
const QStringList& PlaceholderFormNames();
// The status-bar text of a form that is not yet available.
QString FormNotAvailableText(const QString& formClass);
// Whether a created form is such a stand-in.
bool IsPlaceholder(const IForm& form);
// Registers a placeholder under every name not registered yet.
void RegisterPlaceholders(FormFactory& forms);

}  // namespace qm
