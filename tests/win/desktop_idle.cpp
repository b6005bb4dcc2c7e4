// A Windows program that does nothing until it is ended. scripts/test-wine
// runs it inside Wine's virtual desktop so that the desktop stays up between
// the test programs.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Sleep(INFINITE);
    return 0;
}
