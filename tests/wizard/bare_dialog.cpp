// A bare Win32 dialog: what any dialog program costs to start and paint.
#include <windows.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hWnd, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    return (int)DialogBoxParamW(hInstance, MAKEINTRESOURCEW(1), nullptr, DialogProc, 0) == IDOK ? 0 : 1;
}
