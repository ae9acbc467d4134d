// Defaults the sanitizer runtimes read at start-up, so the test programs behave the same
// whether CTest, a developer or CI runs them.

// Leaks inside the X, GLUT, GLU and Mesa libraries are theirs, not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libglut\nleak:libGL\nleak:libGLX\nleak:libGLdispatch\nleak:libGLU\nleak:libGLEW\n"
           "leak:libX11\nleak:libxcb\nleak:swrast_dri\nleak:libgallium\nleak:libLLVM\nleak:libdrm\n"
           "leak:libglapi\nleak:_dri.so\n";
}

extern "C" const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }

// LeakSanitizer's tracer can crash at exit while Mesa's software renderer holds thread-local
// state it reached through __tls_get_addr; not intercepting that call avoids it.
extern "C" const char* __asan_default_options() { return "intercept_tls_get_addr=0"; }
