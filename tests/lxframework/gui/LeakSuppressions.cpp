// The font library keeps caches for the life of the process that the leak
// checker of sanitizer builds reports; they are not the framework's.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
