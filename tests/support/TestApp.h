// The application object a test program runs under: the program's own for
// the programs of the windows and the application object, a plain one for
// the programs of the layers below them (which must not need it).
#pragma once

class wxApp;

namespace tw::test {

// Made once by the test main, before the toolkit starts.
wxApp* NewTestApp();

} // namespace tw::test
