// Caches that the font library and Mesa keep for the life of the process,
// which the leak checker of sanitizer builds reports; they are not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libOSMesa.so\n"; }
