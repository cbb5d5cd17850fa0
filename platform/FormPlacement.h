#pragma once
// Where the entry forms and report windows open: whole on the screen, centred on the window
// that opened them.

class QWidget;

namespace qm {

// The window that is opening `form` at this moment: the running modal window, else the active
// window, else the window of the form's parent; never the form itself.
QWidget* OpenerOf(const QWidget* form);

// Centres the window `form` on `opener`'s window (on the screen when there is none) and keeps
// it whole inside that screen's available area (its top left corner when it is larger).
void PlaceForm(QWidget* form, const QWidget* opener);

// Places `form` with PlaceForm, centred on its opener, whenever it is shown from hidden. For
// forms whose size is settled before they show.
void PlaceWhenShown(QWidget* form);

}  // namespace qm
