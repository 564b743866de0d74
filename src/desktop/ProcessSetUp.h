#pragma once
// What the process needs from its surroundings before it opens anything: standard descriptors
// that are really open, a broken pipe that costs a debug line rather than the game, and no session
// bus started on its behalf.

// Opens /dev/null on any of descriptors 0, 1 and 2 that is closed; ignores SIGPIPE; and when no
// session bus is named, names one that cannot be reached. Call before anything opens a file or a
// connection or starts a thread: StartUp.cpp calls it first.
void prepareProcess();
