// A program that does not restrict the DLL search: it loads each name given
// on its command line the ordinary way, so a planted copy beside it wins.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        HMODULE h = LoadLibraryW(argv[i]);
        if (h)
            FreeLibrary(h);
    }
    return 0;
}
