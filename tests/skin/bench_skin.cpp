// Times of the skin work under this prefix's Wine: cutting the wizard skin's
// region (one GetDIBits read and ExtCreateRegion, beside the plain GetPixel
// walk it replaces), and one paint of each kind of control in the test
// dialog. Prints figures; it asserts nothing about them. Exits non-zero
// only when the dialog cannot be made or the two regions differ.
#include <stdio.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "resource.h"
#include "skin/skin_bitmap.h"
#include "skin_test_dialog.h"
#include "skin_test_support.h"

namespace {

double NowUs() {
    static LARGE_INTEGER freq = {};
    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1e6 / freq.QuadPart;
}

// Runs f `rounds` times and prints min, median and max in microseconds.
void Measure(const char* name, int rounds, const std::function<void()>& f) {
    std::vector<double> us;
    for (int i = 0; i < rounds; ++i) {
        double t = NowUs();
        f();
        us.push_back(NowUs() - t);
    }
    std::sort(us.begin(), us.end());
    printf("%-46s %4d %10.1f %10.1f %10.1f\n", name, rounds, us.front(), us[us.size() / 2], us.back());
}

// One full paint of a control, through the window manager: invalidate,
// then let WM_PAINT (or the parent's WM_DRAWITEM) run.
void PaintOnce(HWND hWnd) { RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

}  // namespace

int main() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    SetCursorPos(1000, 740);
    int status = 0;

    printf("%-46s %4s %10s %10s %10s\n", "microseconds", "n", "min", "median", "max");

    SkinBitmap skin;
    skin.Attach(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SKIN)));
    const COLORREF key = RGB(255, 0, 255);
    Measure("CreateRegion, skin 584x411", 20, [&] { DeleteObject(skin.CreateRegion(key)); });
    Measure("GetPixel walk, skin 584x411 (the plain rule)", 3,
            [&] { DeleteObject(PerPixelRegion(static_cast<HBITMAP>(skin.m_hObject), key)); });
    HRGN a = skin.CreateRegion(key), b = PerPixelRegion(static_cast<HBITMAP>(skin.m_hObject), key);
    if (!EqualRgn(a, b)) {
        printf("the two regions differ\n");
        status = 1;
    }
    DeleteObject(a);
    DeleteObject(b);

    SkinTestDlg dlg;
    if (!dlg.Open()) {
        printf("no dialog\n");
        return 1;
    }
    Pump();
    const int n = 50;
    dlg.m_hover.SendMessage(WM_MOUSEHOVER);
    dlg.m_checkOn.SetCheck(1);
    struct Item {
        const char* name;
        HWND hWnd;
    } items[] = {
        {"push button, image at its size", dlg.m_push},
        {"push button, hover image", dlg.m_hover},
        {"push button, bordered stretch 170x30", dlg.m_wide},
        {"close button 20x17", dlg.m_close},
        {"check box, checked", dlg.m_checkOn},
        {"label, transparent (Arial 11 bold)", dlg.m_title},
        {"label, opaque, button face", dlg.m_opaque},
        {"label, opaque, solid colour", dlg.m_solid},
        {"label, gradient 250 px", dlg.m_gradient},
        {"label, embossed", dlg.m_emboss},
        {"label, rotated", dlg.m_rotated},
        {"label, centred both ways", dlg.m_centered},
    };
    for (const Item& it : items)
        Measure(it.name, n, [&] { PaintOnce(it.hWnd); });
    // A transparent label's change repaints the skin beneath it as well.
    Measure("label, transparent, SetCaption (with parent)", n,
            [&] { dlg.m_title.SetCaption(L"Tarvex Array Console - Installation Wizard"); });
    Measure("whole dialog, skin and every control", 20,
            [&] { RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW); });
    return status;
}
