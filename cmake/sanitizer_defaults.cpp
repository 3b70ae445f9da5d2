// Linked into every program and test of the sanitizer build: the runtime reads these before its
// environment variables, so the programs behave the same under ctest, scripts/test.sh or by hand.
// A variable such as ASAN_OPTIONS still overrides any one setting.

extern "C" {

// Reports stop the program with a stack, and every kind of check is on.
__attribute__((used, visibility("default"))) const char* __asan_default_options()
{
    return "halt_on_error=1:detect_leaks=1:print_stacktrace=1:check_initialization_order=1:strict_init_order=1:"
           "detect_stack_use_after_return=1";
}

__attribute__((used, visibility("default"))) const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}

__attribute__((used, visibility("default"))) const char* __lsan_default_options() { return "print_suppressions=0"; }

// Only libraries that never call back into the project, or hardly, belong here: a library that
// does, like the toolkit's main loop, sits in the stack of every allocation the viewer makes and
// would hide its leaks. Mesa's driver leaks a few blocks when the
// toolkit closes the display at exit, and the toolkit's input-extension set-up leaks its device
// list.
__attribute__((used, visibility("default"))) const char* __lsan_default_suppressions()
{
    // The model importer leaks a little of a mesh it abandons when a truncated ASCII STL file
    // makes it throw; the file is still refused cleanly. The library is built without frame
    // pointers, so the leak's stack ends inside it and no narrower entry matches. The one thing it
    // calls back, the import's log stream, only copies messages into a vector its caller owns.
    return "leak:swrast_dri.so\n"
           "leak:libXi.so\n"
           "leak:libassimp.so\n";
}
}
