/* The floor for the benchmark: a Windows program that does nothing. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrev, LPSTR cmd, int show) {
    (void)hInstance;
    (void)hPrev;
    (void)cmd;
    (void)show;
    return 0;
}
