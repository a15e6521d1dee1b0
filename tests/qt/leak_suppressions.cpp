// fontconfig keeps a few caches for the life of the process and frees them in no exit path the
// tests reach; the leak checker is told so, and nothing else.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
