// The application's own start-up (main.cpp under another name), ended at its
// first frame.
#include "firstframe.h"

int svkey2_main(int argc, char* argv[]);

static void installWatch()
{
    watchForFirstFrame();
}
Q_COREAPP_STARTUP_FUNCTION(installWatch)

int main(int argc, char* argv[])
{
    return svkey2_main(argc, argv);
}
