#pragma once
// How a handler stops: a silent stop ends it after its own message; any other exception
// reaches the one default handler, which shows its text in a box titled "Quillmarsh.2012版".

#include <functional>

namespace qm {

class UiService;

// Not derived from std::exception, so no catch of ordinary errors swallows it by accident.
struct SilentAbort {};

[[noreturn]] inline void Abort() { throw SilentAbort{}; }

// Shows the text of the exception currently being handled in the plain box.
void ShowCurrentException(UiService& ui);

// Runs an event handler busy (UiService::BeginBusy): a silent stop is swallowed, any other
// exception is shown once the busy mark is lifted. Answers false when the handler did not run
// to its end.
bool Guarded(UiService& ui, const std::function<void()>& handler);

}  // namespace qm
