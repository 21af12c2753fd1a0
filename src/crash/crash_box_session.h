#pragma once
// The crash box program's place among the processes: apart from the faulting program's session,
// and done with its answer as soon as it has given it.

namespace velmora {

// Not part of the faulting program's session: a terminal's hang-up or interrupt for it must not
// take the clipboard away after the program has ended.
void leaveFaultingSession();
// The reporter acts on the answer at once; it must not wait for the box program to end.
void closeAnswerStream();

} // namespace velmora
