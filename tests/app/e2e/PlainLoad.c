/* The control of the DLL planting test: loads the named DLL with the ordinary search order (the program's
 * own folder first), which is what the wizard must never do. */
#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    return LoadLibraryW(argv[1]) != NULL ? 0 : 1;
}
