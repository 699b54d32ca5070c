#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>
#include <windows.h>

int main(int argc, char** argv)
{
    // A crash in a test must end the process, not open Wine's crash dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    doctest::Context context;
    context.setOption("no-colors", true);
    context.applyCommandLine(argc, argv);
    return context.run();
}
