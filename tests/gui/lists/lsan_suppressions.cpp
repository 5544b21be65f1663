// Fontconfig keeps its caches until the process ends and never frees them; under the leak
// sanitizer that would fail every test that draws text. Read by LeakSanitizer at start-up;
// unused in other builds.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
