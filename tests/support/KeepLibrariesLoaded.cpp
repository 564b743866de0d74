// Keeps every shared library loaded until the process ends, for the sanitizer builds.
//
// The GL driver and its compiler are unloaded while the process exits, before the leak checker
// runs; their allocations then show up from an unknown module and cannot be told apart from ours.
// With dlclose doing nothing, every leak report names the library it came from, and the
// suppressions can let through exactly the third-party libraries by name.

extern "C" int dlclose(void* /*handle*/) {
    return 0;
}
