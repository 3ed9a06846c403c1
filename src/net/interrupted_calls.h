// What a blocking socket call does when a signal interrupts it (EINTR): both transports ask
// here whether to go on or to give their request up because the program is ending. On Windows,
// where no signal interrupts a call, the calls wait in short slices instead and ask between them
// (socket_calls.h).
#pragma once

namespace ws {

// Whether the program is ending. REQUIRES: safe to call on any thread at any time.
using EndingCheck = bool (*)();

// Sets, for the whole process, the check that decides (null: none). Without one an interrupted
// call always goes on, so that stray signals never disturb a request. A program that ends on a
// signal sets it before its first request to the flag its handler sets: a request under way then
// fails at its next blocking call, or at once when the signal interrupts it, as on a connection
// that broke there (the connect or send text, or the reply with what arrived).
void giveUpInterruptedCallsWhen(EndingCheck ending);

// True when the requests under way are to be given up: asked after EINTR (on Windows after each
// slice of a wait), and before each blocking call, so that an end that came just before the call is
// not missed.
bool requestsGivenUp();

}  // namespace ws
