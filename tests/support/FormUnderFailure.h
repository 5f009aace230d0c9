#pragma once

class QWidget;

namespace corvelix::test {

// The generic check of a form when the data layer fails. It builds a catalog, breaks it under
// the open connection (every table and view dropped, so every statement fails), shows `form`
// and then, one action at a time, clicks every enabled button and presses a set of keys (Enter,
// Esc, Tab, Delete, Insert, F1-F12) on every widget of the form that takes the focus. Each
// action may show one box at most, and that box comes from the error guard; no exception may
// escape; afterwards the form is enabled and the busy pointer is off. A form that closes is shown
// again for the next action. Failures are reported on the running test.
void pressEverythingWithFailingData(QWidget& form);

} // namespace corvelix::test
