// Loads each DLL named on its command line the ordinary way, without
// restricting the search: a copy planted beside it wins.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i)
        FreeLibrary(LoadLibraryW(argv[i]));
    return 0;
}
