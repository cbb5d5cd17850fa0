#include "entry/EntryForms.h"

#include "shell/FormFactory.h"

namespace qm {

void RegisterEntryForms(FormFactory& forms) {
    (void)forms;  // each entry form adds its line here as it lands
}

}  // namespace qm
