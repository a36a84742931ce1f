// Linked into every test program. The leak checker of sanitizer builds is
// told about the one allocation that is not ours to free: fontconfig keeps a
// block of a few hundred bytes for the life of the process once it has read
// its configuration. The library has no frame pointers, so the checker's fast
// stacks end inside it and only the library's name can be matched.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
