// Kept apart from the toolkit's headers: Xlib defines macros (None, Status,
// Bool) that clash with them.
#include <cstdio>
#include <cstdlib>

#include <X11/Xlib.h>
#include <unistd.h>

namespace tw::test {

// Tries to open the display a few times; true once it answers.
bool WaitForDisplay()
{
    for (int attempt = 1; attempt <= 10; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) {
            XCloseDisplay(display);
            return true;
        }
        const char* name = std::getenv("DISPLAY");
        std::fprintf(stderr, "Cannot open display '%s' (try %d)\n", name ? name : "", attempt);
        usleep(500 * 1000);
    }
    return false;
}

} // namespace tw::test
