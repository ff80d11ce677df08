// The floor of the start-up benchmark: a plain dialog of the wizard's size.
#include <windows.h>

static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
        EndDialog(hWnd, 0);
    return msg == WM_INITDIALOG;
}

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    return (int)DialogBoxParamW(hInstance, MAKEINTRESOURCEW(1), nullptr, DialogProc, 0);
}
