// Loaded with LD_PRELOAD into a program as it is installed (nothing of the
// benchmark is built into it): reports the first frame of its first Qt
// Quick window and ends it, like the benchmark's own builds.
#include "firstframe.h"

static void installWatch()
{
    watchForFirstFrame();
}
Q_COREAPP_STARTUP_FUNCTION(installWatch)
