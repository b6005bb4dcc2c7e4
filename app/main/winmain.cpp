// The program's entry point and main flow: lists the command line on the
// trace, shows the parameters dialog once and runs the dump after OK.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstring>

#include "dump.h"
#include "param_dialog.h"
#include "toolbase.h"

// One dialog, at most one dump. Always 0: a failed dump shows nothing and
// leaves one line on the trace.
static int DumpMain()
{
    DIALOGPARAM param;
    InitDialogParam(&param);
    if (!ShowParamDialog(&param))
        return 0;

    const DumpResult result = RunDumpJob(param);
    if (result.error != DUMP_OK) {
        if (result.sysError != 0)
            GetDebugPrintf()("RunDumpJob: %s (%s)\r\n", DescribeDumpError(result.error),
                             strerror(result.sysError));
        else
            GetDebugPrintf()("RunDumpJob: %s\r\n", DescribeDumpError(result.error));
    }
    return 0;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    int argc = 0;
    char** argv = SplitCommandLine(GetCommandLineA(), &argc);
    if (!argv)
        return 1;
    for (int i = 0; i < argc; ++i)
        GetDebugPrintf()("argv[%2d]=%s\r\n", i, argv[i]);

    InitCommonControls();
    CoInitialize(NULL);
    const int result = DumpMain();
    CoUninitialize();
    FreeArgv(argv);
    return result;
}
