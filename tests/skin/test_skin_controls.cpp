// The bitmap buttons and labels in a real dialog under Wine: what they show
// in each state, read back from the screen pixel by pixel, how they react to
// clicks, hovering and their setters, and a screenshot of all of them.
#include <doctest/doctest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "resource.h"
#include "skin_test_dialog.h"
#include "skin_test_ids.h"
#include "skin_test_support.h"
#include "winworld.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kContentBlue = RGB(71, 93, 173);

Picture Shot(const CWnd& w) { return CaptureClient(w.m_hWnd); }

bool ShowsExactly(const Picture& shot, UINT id) {
    Picture img = ResourcePicture(id);
    return img && shot.Width() == img.Width() && shot.Height() == img.Height() &&
           shot.SameAs(img, 0, 0, img.Width(), img.Height(), 0, 0);
}

// The pixels where a shot differs from what lies beneath: what was drawn
// over it. (ox, oy) is where the shot's origin lies in the background.
struct Mask {
    int w = 0, h = 0, count = 0;
    std::vector<char> on;
    bool At(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && on[(size_t)y * w + x]; }
    RECT Bounds() const {
        RECT rc = {w, h, -1, -1};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (At(x, y)) {
                    rc.left = std::min<LONG>(rc.left, x);
                    rc.top = std::min<LONG>(rc.top, y);
                    rc.right = std::max<LONG>(rc.right, x + 1);
                    rc.bottom = std::max<LONG>(rc.bottom, y + 1);
                }
        return rc;
    }
};

Mask Where(const Picture& shot, const std::function<bool(int, int, COLORREF)>& pred) {
    Mask m;
    m.w = shot.Width();
    m.h = shot.Height();
    m.on.assign((size_t)m.w * m.h, 0);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
            if (pred(x, y, shot.At(x, y))) {
                m.on[(size_t)y * m.w + x] = 1;
                ++m.count;
            }
    return m;
}

Mask Diff(const Picture& shot, const Picture& under, int ox = 0, int oy = 0) {
    return Where(shot, [&](int x, int y, COLORREF c) { return c != under.At(ox + x, oy + y); });
}

// The skin as the dialog paints it, for what lies beneath the controls.
Picture Skin() { return ResourcePicture(IDB_SKIN); }

bool HasUpdate(const CWnd& w) { return GetUpdateRect(w.m_hWnd, nullptr, FALSE) != 0; }

// Validates a window and its children by letting every paint run.
void Settle(const CWnd& w) {
    RedrawWindow(w.m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
}

void Click(const CWnd& w) {
    SendMessageW(w.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(w.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

void DoubleClick(const CWnd& w) {
    Click(w);
    SendMessageW(w.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageW(w.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
}

int Count(const SkinTestDlg& dlg, int id, int code) {
    int n = 0;
    for (const auto& c : dlg.m_commands)
        n += (c.id == id && c.code == code);
    return n;
}

void SetText(CWnd& w, const wchar_t* text) { w.SetWindowText(text); }

// Keeps the real mouse away from the dialog.
void ParkMouse() { SetCursorPos(1000, 740); }

// What the seam saw instead of the shell.
struct ShellCall {
    bool hasVerb;
    std::wstring verb, file;
    bool hasParams, hasDir, hasOwner;
    int show;
};
std::vector<ShellCall> g_shell;
HINSTANCE WINAPI RecordShell(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR params, LPCWSTR dir, INT show) {
    g_shell.push_back({verb != nullptr, verb ? verb : L"", file ? file : L"", params != nullptr, dir != nullptr,
                       owner != nullptr, show});
    return reinterpret_cast<HINSTANCE>(42);
}
struct ShellSeam {
    LinkLabel::ShellExecuteProc prev;
    ShellSeam() : prev(LinkLabel::s_pfnShellExecute) {
        LinkLabel::s_pfnShellExecute = RecordShell;
        g_shell.clear();
    }
    ~ShellSeam() { LinkLabel::s_pfnShellExecute = prev; }
};

// The colour of column x of a DrawGradient over `width` pixels, worked out
// from the band rule: n = min(100, width) bands of width / n pixels, the
// last one taking the rest, band i at start + i steps of (end - start) / n
// in 1/256 units.
COLORREF GradientAt(int x, int width, COLORREF a, COLORREF b) {
    int n = std::min(100, width), d = n > 1 ? n : 1, band = width / d;
    int i = std::min(x / band, n - 1);
    auto ch = [&](int s, int e) { return (s * 256 + i * (((e - s) * 256) / d)) / 256; };
    return RGB(ch(GetRValue(a), GetRValue(b)), ch(GetGValue(a), GetGValue(b)), ch(GetBValue(a), GetBValue(b)));
}

int Transitions(const Picture& p, int y) {
    int n = 0;
    for (int x = 1; x < p.Width(); ++x)
        n += p.At(x, y) != p.At(x - 1, y);
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    ParkMouse();
    return doctest::Context(argc, argv).run();
}

TEST_CASE("push buttons show the image of their state") {
    ParkMouse();
    SkinTestDlg dlg;
    REQUIRE(dlg.Open());

    SUBCASE("MoveTo sizes a button to its normal image") {
        CHECK(dlg.m_push.GetBitmapSize() == CSize(111, 22));
        RECT rc = RectInParent(dlg.m_push);
        CHECK(rc.right - rc.left == 111);
        CHECK(rc.bottom - rc.top == 22);
        rc = RectInParent(dlg.m_close);
        CHECK(rc.left == 552);
        CHECK(rc.top == 11);
        CHECK(rc.right - rc.left == 20);
        CHECK(rc.bottom - rc.top == 17);
    }

    SUBCASE("MoveTo(0, 0) resizes without moving") {
        Place(dlg.m_plain, 50, 60, 33, 44);
        dlg.m_plain.MoveTo(0, 0);
        RECT rc = RectInParent(dlg.m_plain);
        CHECK(rc.left == 50);
        CHECK(rc.top == 60);
        CHECK(rc.right == 50 + 111);
        CHECK(rc.bottom == 60 + 22);
        dlg.m_plain.MoveTo(70, 0);
        rc = RectInParent(dlg.m_plain);
        CHECK(rc.left == 70);
        CHECK(rc.top == 0);
    }

    SUBCASE("normal, pressed while held, normal again") {
        SetText(dlg.m_pressed, L"");
        CHECK(ShowsExactly(Shot(dlg.m_pressed), IDB_BTN_NORMAL));
        dlg.m_pressed.SendMessage(BM_SETSTATE, TRUE);
        CHECK(ShowsExactly(Shot(dlg.m_pressed), IDB_BTN_PRESSED));
        dlg.m_pressed.SendMessage(BM_SETSTATE, FALSE);
        CHECK(ShowsExactly(Shot(dlg.m_pressed), IDB_BTN_NORMAL));
    }

    SUBCASE("the hover image only after WM_MOUSEHOVER, and gone after WM_MOUSELEAVE") {
        SetText(dlg.m_hover, L"");
        Settle(dlg);
        dlg.m_hover.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        CHECK_FALSE(HasUpdate(dlg.m_hover));
        CHECK(ShowsExactly(Shot(dlg.m_hover), IDB_BTN_NORMAL));
        dlg.m_hover.SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(5, 5));
        CHECK(HasUpdate(dlg.m_hover));
        CHECK(ShowsExactly(Shot(dlg.m_hover), IDB_BTN_HOVER));
        // Held down, the pressed image wins over hover.
        dlg.m_hover.SendMessage(BM_SETSTATE, TRUE);
        CHECK(ShowsExactly(Shot(dlg.m_hover), IDB_BTN_PRESSED));
        dlg.m_hover.SendMessage(BM_SETSTATE, FALSE);
        dlg.m_hover.SendMessage(WM_MOUSELEAVE);
        CHECK(HasUpdate(dlg.m_hover));
        CHECK(ShowsExactly(Shot(dlg.m_hover), IDB_BTN_NORMAL));
    }

    SUBCASE("a disabled button without a disabled image: the normal one, caption grey") {
        SetText(dlg.m_cancel, L"");
        CHECK(ShowsExactly(Shot(dlg.m_cancel), IDB_BTN_NORMAL));
        SetText(dlg.m_cancel, L"Cancel");
        Picture shot = Shot(dlg.m_cancel);
        Mask text = Diff(shot, ResourcePicture(IDB_BTN_NORMAL));
        CHECK(text.count > 20);
        const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
        CHECK(Where(shot, [&](int x, int y, COLORREF c) { return text.At(x, y) && c != grey; }).count == 0);
        CHECK(Where(shot, [](int, int, COLORREF c) { return c == kWhite; }).count == 0);
    }

    SUBCASE("the close button: its normal and its own disabled image") {
        CHECK(ShowsExactly(Shot(dlg.m_close), IDB_CLOSE_NORMAL));
        CHECK(ShowsExactly(Shot(dlg.m_closeDisabled), IDB_CLOSE_DISABLED));
        dlg.m_closeHover.SendMessage(WM_MOUSEHOVER);
        CHECK(ShowsExactly(Shot(dlg.m_closeHover), IDB_CLOSE_HOVER));
    }

    SUBCASE("a disabled control does not repaint when the mouse comes and goes") {
        Settle(dlg);
        dlg.m_closeDisabled.SendMessage(WM_MOUSEHOVER);
        CHECK_FALSE(HasUpdate(dlg.m_closeDisabled));
        CHECK(ShowsExactly(Shot(dlg.m_closeDisabled), IDB_CLOSE_DISABLED));
        Settle(dlg);
        dlg.m_closeDisabled.SendMessage(WM_MOUSELEAVE);
        CHECK_FALSE(HasUpdate(dlg.m_closeDisabled));
        // Enabled again, it still knows it was left and shows its normal image.
        dlg.m_closeDisabled.EnableWindow(TRUE);
        CHECK(ShowsExactly(Shot(dlg.m_closeDisabled), IDB_CLOSE_NORMAL));
    }

    SUBCASE("the caption is white, and moves one pixel right and down while pressed") {
        Picture up = Shot(dlg.m_pressed);
        Mask a = Diff(up, ResourcePicture(IDB_BTN_NORMAL));
        REQUIRE(a.count > 20);
        CHECK(Where(up, [&](int x, int y, COLORREF c) { return a.At(x, y) && c != kWhite; }).count == 0);
        dlg.m_pressed.SendMessage(BM_SETSTATE, TRUE);
        Mask b = Diff(Shot(dlg.m_pressed), ResourcePicture(IDB_BTN_PRESSED));
        dlg.m_pressed.SendMessage(BM_SETSTATE, FALSE);
        CHECK(b.count == a.count);
        int moved = 0;
        for (int y = 0; y < b.h; ++y)
            for (int x = 0; x < b.w; ++x)
                moved += b.At(x, y) != a.At(x - 1, y - 1);
        CHECK(moved == 0);
    }

    SUBCASE("a caption wider than the button is cut at its end with an ellipsis") {
        const wchar_t* text = L"A caption far too long to fit on a button of this width";
        SetText(dlg.m_plain, text);
        Picture shot = Shot(dlg.m_plain);
        // What the text looks like cut that way, in the dialog's font, on
        // the normal image; and what it would look like merely clipped.
        auto render = [&](UINT extra) {
            Picture p = ResourcePicture(IDB_BTN_NORMAL);
            HGDIOBJ old = SelectObject(p.Dc(), (HFONT)dlg.SendMessage(WM_GETFONT));
            SetBkMode(p.Dc(), TRANSPARENT);
            SetTextColor(p.Dc(), kWhite);
            RECT rc = {0, 0, 111, 22};
            DrawTextW(p.Dc(), text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | extra);
            SelectObject(p.Dc(), old);
            return p;
        };
        CHECK(Diff(shot, render(DT_END_ELLIPSIS)).count == 0);
        CHECK(Diff(shot, render(0)).count > 0);
    }

    SUBCASE("an image of another size is stretched with 5-pixel borders") {
        SetText(dlg.m_wide, L"");
        Picture expect(170, 30);
        SkinBitmap img;
        REQUIRE(img.LoadBitmap(IDB_BTN_NORMAL));
        RECT rc = {0, 0, 170, 30};
        SIZE border = {5, 5};
        REQUIRE(img.DrawBordered(expect.Dc(), &rc, &border));
        Picture shot = Shot(dlg.m_wide);
        CHECK(shot.SameAs(expect, 0, 0, 170, 30, 0, 0));
        Picture src = ResourcePicture(IDB_BTN_NORMAL);
        CHECK(shot.SameAs(src, 0, 0, 5, 5, 0, 0));
        CHECK(shot.SameAs(src, 165, 25, 5, 5, 106, 17));
    }

    SUBCASE("the focus rectangle needs WS_TABSTOP and the focus") {
        SetText(dlg.m_focus, L"");
        SetText(dlg.m_push, L"");
        Picture normal = ResourcePicture(IDB_BTN_NORMAL);
        ::SetFocus(dlg.m_focus);
        Mask focused = Diff(Shot(dlg.m_focus), normal);
        // A dotted frame one pixel inside the edge, nothing else.
        CHECK(focused.count > 100);
        CHECK(Where(Shot(dlg.m_focus), [&](int x, int y, COLORREF) {
                  bool onFrame = (x == 1 || x == 109 || y == 1 || y == 20) && x >= 1 && x <= 109 && y >= 1 && y <= 20;
                  return focused.At(x, y) && !onFrame;
              }).count == 0);
        ::SetFocus(dlg.m_push);  // focused, but without WS_TABSTOP
        CHECK(ShowsExactly(Shot(dlg.m_push), IDB_BTN_NORMAL));
        CHECK(ShowsExactly(Shot(dlg.m_focus), IDB_BTN_NORMAL));
    }
}

TEST_CASE("check boxes keep and paint their own check state") {
    ParkMouse();
    SkinTestDlg dlg;
    REQUIRE(dlg.Open());

    SUBCASE("the image at the left on the content blue, the checked image when checked") {
        RECT rc = RectInParent(dlg.m_check);
        const int h = rc.bottom - rc.top, w = rc.right - rc.left;
        CHECK(h == 24 + 4);
        const int top = h / 2 - 24 / 2;
        Picture off = ResourcePicture(IDB_CHECK_OFF), on = ResourcePicture(IDB_CHECK_ON);
        Picture shot = Shot(dlg.m_check);
        CHECK(shot.SameAs(off, 0, top, 21, 24, 0, 0));
        for (int y = 0; y < h; ++y)
            CHECK(shot.At(w - 1, y) == kContentBlue);
        CHECK(shot.At(5, 0) == kContentBlue);
        dlg.m_check.SetCheck(1);
        CHECK(dlg.m_check.GetCheck() == 1);
        CHECK(Shot(dlg.m_check).SameAs(on, 0, top, 21, 24, 0, 0));
        // Caption to the right of the image, in white.
        Mask text = Where(Shot(dlg.m_check), [](int x, int, COLORREF c) { return x >= 25 && c == kWhite; });
        CHECK(text.count > 20);
        CHECK(text.Bounds().left >= 25);
    }

    SUBCASE("a click toggles it; the second click of a double click does not") {
        CHECK(dlg.m_check.GetCheck() == 0);
        Click(dlg.m_check);
        CHECK(Count(dlg, IDC_T_CHECK, BN_CLICKED) == 1);
        CHECK(dlg.m_check.GetCheck() == 1);
        Click(dlg.m_check);
        CHECK(dlg.m_check.GetCheck() == 0);
        DoubleClick(dlg.m_check);
        CHECK(Count(dlg, IDC_T_CHECK, BN_CLICKED) == 3);
        CHECK(Count(dlg, IDC_T_CHECK, BN_DOUBLECLICKED) == 1);
        CHECK(dlg.m_check.GetCheck() == 1);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_T_CHECK, BN_DOUBLECLICKED), (LPARAM)dlg.m_check.m_hWnd);
        CHECK(dlg.m_check.GetCheck() == 1);
        // The parent's own handling still runs after the box has toggled.
        CHECK(Count(dlg, IDC_T_CHECK, BN_DOUBLECLICKED) == 2);
    }

    SUBCASE("SetCheck repaints only a change, and a disabled box ignores it") {
        Settle(dlg);
        dlg.m_checkDisabled.SetCheck(1);
        CHECK(dlg.m_checkDisabled.GetCheck() == 0);
        CHECK_FALSE(HasUpdate(dlg.m_checkDisabled));
        Click(dlg.m_checkDisabled);  // a disabled button takes no click either
        CHECK(dlg.m_checkDisabled.GetCheck() == 0);
        dlg.m_check.SetCheck(0);
        CHECK_FALSE(HasUpdate(dlg.m_check));
        dlg.m_check.SetCheck(1);
        CHECK(HasUpdate(dlg.m_check));
    }

    SUBCASE("disabled and checked without its own image: the unchecked image, caption grey") {
        dlg.m_checkDisabled.EnableWindow(TRUE);
        dlg.m_checkDisabled.SetCheck(1);
        dlg.m_checkDisabled.EnableWindow(FALSE);
        CHECK(dlg.m_checkDisabled.GetCheck() == 1);
        RECT rc = RectInParent(dlg.m_checkDisabled);
        const int top = (rc.bottom - rc.top) / 2 - 12;
        Picture shot = Shot(dlg.m_checkDisabled);
        CHECK(shot.SameAs(ResourcePicture(IDB_CHECK_OFF), 0, top, 21, 24, 0, 0));
        const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
        CHECK(Where(shot, [&](int x, int, COLORREF c) { return x >= 25 && c == grey; }).count > 20);
        CHECK(Where(shot, [&](int x, int, COLORREF c) { return x >= 25 && c == kWhite; }).count == 0);
    }

    SUBCASE("the type recorded first stays through a second SetBitmaps") {
        CHECK(dlg.m_check.GetButtonType() == BS_AUTOCHECKBOX);
        CHECK(dlg.m_push.GetButtonType() == BS_DEFPUSHBUTTON);
        CHECK(dlg.m_hover.GetButtonType() == BS_PUSHBUTTON);
        CHECK((dlg.m_check.GetStyle() & BS_TYPEMASK) == BS_OWNERDRAW);
        CHECK(dlg.m_check.SetBitmaps(IDB_CHECK_OFF, 0, 0, IDB_CHECK_ON, 0, 0));
        CHECK(dlg.m_check.GetButtonType() == BS_AUTOCHECKBOX);
        Click(dlg.m_check);
        CHECK(dlg.m_check.GetCheck() == 1);
        // A missing bitmap is reported; the rest still loads.
        CHECK_FALSE(dlg.m_plain.SetBitmaps(IDB_BTN_NORMAL, 4321, IDB_BTN_HOVER, 0, 0, 0));
        dlg.m_plain.SendMessage(WM_MOUSEHOVER);
        SetText(dlg.m_plain, L"");
        CHECK(ShowsExactly(Shot(dlg.m_plain), IDB_BTN_HOVER));
        CHECK_FALSE(dlg.m_close.SetBitmaps(4321, IDB_CLOSE_NORMAL, 0, 0, 0, 0));
        CHECK(dlg.m_close.GetBitmapSize() == CSize(0, 0));
    }

    SUBCASE("MoveTo widens a check box by the room beside the system's check mark, every time") {
        RECT rc = RectInParent(dlg.m_check);
        const int w0 = rc.right - rc.left;
        dlg.m_check.MoveTo(0, 0);
        rc = RectInParent(dlg.m_check);
        CHECK(rc.right - rc.left == w0 + 21 - GetSystemMetrics(SM_CXMENUCHECK) + 2);
        CHECK(rc.bottom - rc.top == 28);
        CHECK(rc.left == 200);
        CHECK(rc.top == 304);
    }

    SUBCASE("a radio button paints as a check box and a click sets it") {
        CHECK(dlg.m_radio.GetButtonType() == BS_RADIOBUTTON);
        RECT rc = RectInParent(dlg.m_radio);
        const int top = (rc.bottom - rc.top) / 2 - 28 / 2;
        CHECK(Shot(dlg.m_radio).SameAs(ResourcePicture(IDB_RADIO_EMPTY), 0, top, 23, 28, 0, 0));
        Click(dlg.m_radio);
        CHECK(dlg.m_radio.GetCheck() == 1);
        Click(dlg.m_radio);
        CHECK(dlg.m_radio.GetCheck() == 1);
        CHECK(Shot(dlg.m_radio).SameAs(ResourcePicture(IDB_RADIO_SET), 0, top, 23, 28, 0, 0));
    }
}

TEST_CASE("the real mouse: hover after it rests, leave when it goes") {
    ParkMouse();
    SkinTestDlg dlg;
    REQUIRE(dlg.Open());
    SetText(dlg.m_hover, L"");
    Settle(dlg);
    RECT rc;
    GetWindowRect(dlg.m_hover, &rc);
    SetCursorPos(rc.left + 30, rc.top + 10);
    Pump(50);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    in.mi.dx = 1;
    SendInput(1, &in, sizeof(in));
    CHECK(PumpUntil([&] { return ShowsExactly(Shot(dlg.m_hover), IDB_BTN_HOVER); }, 5000));
    ParkMouse();
    CHECK(PumpUntil([&] { return ShowsExactly(Shot(dlg.m_hover), IDB_BTN_NORMAL); }, 5000));
}

TEST_CASE("labels") {
    ParkMouse();
    SkinTestDlg dlg;
    REQUIRE(dlg.Open());

    SUBCASE("a gradient over 50 pixels has 50 bands of one pixel, over 250 99 of two and one to the end") {
        const COLORREF a = RGB(0, 10, 200), b = RGB(250, 110, 50);
        dlg.m_gradient.SetBackground(a, b, TRUE).SetCaption(L"");
        for (int width : {50, 250}) {
            Place(dlg.m_gradient, 200, 124, width, 12);
            Picture shot = Shot(dlg.m_gradient);
            REQUIRE(shot.Width() == width);
            int wrong = 0;
            for (int y = 0; y < shot.Height(); ++y)
                for (int x = 0; x < width; ++x)
                    wrong += shot.At(x, y) != GradientAt(x, width, a, b);
            CHECK_MESSAGE(wrong == 0, "width ", width);
            CHECK(Transitions(shot, 6) == (width == 50 ? 49 : 99));
            CHECK(shot.At(0, 0) == a);
            if (width == 250) {
                CHECK(shot.At(197, 3) != shot.At(198, 3));
                CHECK(shot.At(198, 3) == shot.At(249, 3));
            }
        }
    }

    SUBCASE("DrawGradient on its own: bands, the last short of the end colour, nothing for no width") {
        Picture p(260, 6);
        p.Fill(RGB(1, 2, 3));
        RECT rc = {5, 1, 255, 5};
        LinkLabel::DrawGradient(p.Dc(), &rc, RGB(255, 0, 0), RGB(0, 0, 255), 100);
        int wrong = 0;
        for (int y = 1; y < 5; ++y)
            for (int x = 5; x < 255; ++x)
                wrong += p.At(x, y) != GradientAt(x - 5, 250, RGB(255, 0, 0), RGB(0, 0, 255));
        CHECK(wrong == 0);
        CHECK(p.At(254, 2) != RGB(0, 0, 255));
        CHECK(p.At(4, 2) == RGB(1, 2, 3));
        CHECK(p.At(255, 2) == RGB(1, 2, 3));
        CHECK(p.At(100, 0) == RGB(1, 2, 3));
        CHECK(p.At(100, 5) == RGB(1, 2, 3));
        RECT none = {50, 1, 50, 5};
        Picture q(60, 6);
        q.Fill(RGB(1, 2, 3));
        LinkLabel::DrawGradient(q.Dc(), &none, RGB(255, 0, 0), RGB(0, 0, 255), 100);
        CHECK(q.Count([](COLORREF c) { return c != RGB(1, 2, 3); }) == 0);
    }

    SUBCASE("a transparent label paints no background, and a change repaints the skin beneath") {
        Picture skin = Skin();
        RECT rc = RectInParent(dlg.m_title);
        dlg.m_title.SetCaption(L"");
        CHECK(Diff(Shot(dlg.m_title), skin, rc.left, rc.top).count == 0);
        dlg.m_title.SetCaption(L"WWWWWWWWWWWWWWWWWWWW");
        Mask wide = Diff(Shot(dlg.m_title), skin, rc.left, rc.top);
        CHECK(wide.count > 100);
        CHECK(wide.Bounds().right > 150);
        // Only the text colour (and its softened edges) is drawn.
        dlg.m_title.SetCaption(L"i");
        Mask narrow = Diff(Shot(dlg.m_title), skin, rc.left, rc.top);
        CHECK(narrow.count > 0);
        CHECK(narrow.Bounds().right < 20);
    }

    SUBCASE("an opaque label without a colour of its own: button face, window text") {
        const COLORREF face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_WINDOWTEXT);
        dlg.m_opaque.SetCaption(L"");
        Picture blank = Shot(dlg.m_opaque);
        CHECK(blank.Count([&](COLORREF c) { return c != face; }) == 0);
        dlg.m_opaque.SetCaption(L"Opaque");
        Picture shot = Shot(dlg.m_opaque);
        CHECK(shot.Count([&](COLORREF c) { return c == text; }) > 20);
        CHECK(shot.Count([&](COLORREF c) { return c != text && c != face; }) == 0);
        // A colour of its own replaces the face.
        dlg.m_opaque.SetBackground(RGB(10, 200, 30)).SetCaption(L"");
        CHECK(Shot(dlg.m_opaque).Count([](COLORREF c) { return c != RGB(10, 200, 30); }) == 0);
    }

    SUBCASE("blinking text is black in its hidden phase without a colour of its own") {
        const COLORREF face = GetSysColor(COLOR_BTNFACE), green = RGB(0, 128, 0);
        dlg.m_blink.SetCaption(L"Blinking");
        CHECK(Shot(dlg.m_blink).Count([&](COLORREF c) { return c == green; }) > 20);
        dlg.m_blink.BlinkText(TRUE);
        Picture hidden = Shot(dlg.m_blink);
        CHECK(hidden.Count([](COLORREF c) { return c == RGB(0, 0, 0); }) > 20);
        CHECK(hidden.Count([&](COLORREF c) { return c != RGB(0, 0, 0) && c != face; }) == 0);
        // The timer brings the text back.
        CHECK(PumpUntil([&] { return Shot(dlg.m_blink).Count([&](COLORREF c) { return c == green; }) > 20; }, 3000));
        dlg.m_blink.BlinkText(FALSE);
        Pump(700);
        CHECK(Shot(dlg.m_blink).Count([&](COLORREF c) { return c == green; }) > 20);

        // With a colour of its own, the hidden text is in that colour.
        dlg.m_blink.SetBackground(RGB(200, 200, 0)).BlinkText(TRUE);
        CHECK(Shot(dlg.m_blink).Count([](COLORREF c) { return c != RGB(200, 200, 0); }) == 0);
        dlg.m_blink.BlinkText(FALSE);
    }

    SUBCASE("links open through the shell: the caption, the target, mailto: with the caption") {
        ShellSeam seam;
        CHECK((dlg.m_link.GetStyle() & SS_NOTIFY) != 0);
        // With SS_NOTIFY the label takes the click itself.
        CHECK(dlg.m_link.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(210, 180)) == HTCLIENT);
        dlg.m_link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        REQUIRE(g_shell.size() == 1);
        CHECK(g_shell[0].hasVerb);
        CHECK(g_shell[0].verb == L"open");
        CHECK(g_shell[0].file == L"http://example.invalid/");
        CHECK_FALSE(g_shell[0].hasParams);
        CHECK_FALSE(g_shell[0].hasDir);
        CHECK_FALSE(g_shell[0].hasOwner);
        CHECK(g_shell[0].show == SW_SHOWNORMAL);

        dlg.m_link.SetLinkTarget(L"http://target.invalid/page");
        dlg.m_link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        REQUIRE(g_shell.size() == 2);
        CHECK(g_shell[1].file == L"http://target.invalid/page");

        dlg.m_mail.SetLinkTarget(L"http://not.this.one/");
        dlg.m_mail.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        REQUIRE(g_shell.size() == 3);
        CHECK_FALSE(g_shell[2].hasVerb);
        CHECK(g_shell[2].file == L"mailto:support@example.invalid");

        // No link: nothing opens, and the label lets clicks through again.
        dlg.m_link.SetWebLink(FALSE, FALSE);
        CHECK_FALSE((dlg.m_link.GetStyle() & SS_NOTIFY) != 0);
        dlg.m_link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        dlg.m_opaque.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        CHECK(g_shell.size() == 3);
        CHECK(dlg.m_notes.empty());
    }

    SUBCASE("with parent notification a click only tells the parent, code 0x8200") {
        ShellSeam seam;
        dlg.m_link.SetWebLink(TRUE, TRUE);
        Picture before = Shot(dlg.m_link);
        dlg.m_link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        CHECK(g_shell.empty());
        REQUIRE(dlg.m_notes.size() == 1);
        CHECK(dlg.m_notes[0].code == 0x8200);
        CHECK(dlg.m_notes[0].idFrom == IDC_T_LINK);
        CHECK(dlg.m_notes[0].hwndFrom == dlg.m_link.m_hWnd);
        CHECK(CString::FromWindowText(dlg.m_link) == L"http://example.invalid/");
        CHECK(Diff(Shot(dlg.m_link), before).count == 0);
        dlg.m_mail.SetMailLink(TRUE, TRUE);
        dlg.m_mail.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        CHECK(g_shell.empty());
        REQUIRE(dlg.m_notes.size() == 2);
        CHECK(dlg.m_notes[1].idFrom == IDC_T_MAIL);
    }

    SUBCASE("the link cursor over the whole label") {
        HCURSOR hand = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        CHECK(dlg.m_link.SendMessage(WM_SETCURSOR, (WPARAM)dlg.m_link.m_hWnd, MAKELPARAM(HTBORDER, WM_MOUSEMOVE)) ==
              TRUE);
        CHECK(GetCursor() == hand);
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        dlg.m_opaque.SendMessage(WM_SETCURSOR, (WPARAM)dlg.m_opaque.m_hWnd, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        CHECK(GetCursor() != hand);
    }

    SUBCASE("SS_CENTERIMAGE centres one line both ways, two lines only across") {
        const COLORREF back = RGB(0, 56, 85);
        dlg.m_centered.SetCaption(L"Centred");
        Mask m = Where(Shot(dlg.m_centered), [&](int, int, COLORREF c) { return c != back; });
        RECT box = m.Bounds();
        REQUIRE(m.count > 0);
        CHECK(abs((box.left + box.right) - 250) <= 2);
        CHECK(abs((box.top + box.bottom) - 26) <= 4);
        CHECK(box.top > 2);
        dlg.m_centered.SetCaption(L"Two\r\nlines");
        m = Where(Shot(dlg.m_centered), [&](int, int, COLORREF c) { return c != back; });
        box = m.Bounds();
        REQUIRE(m.count > 0);
        CHECK(abs((box.left + box.right) - 250) <= 30);
        CHECK(box.top <= 2);
    }

    SUBCASE("tabs in a caption are expanded") {
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        TEXTMETRICW tm = {};
        HDC hdc = GetDC(dlg.m_opaque);
        HGDIOBJ old = SelectObject(hdc, dlg.m_opaque.FontHandle());
        GetTextMetricsW(hdc, &tm);
        SIZE ab = {};
        GetTextExtentPoint32W(hdc, L"ab", 2, &ab);
        SelectObject(hdc, old);
        ReleaseDC(dlg.m_opaque, hdc);
        dlg.m_opaque.SetCaption(L"a\tb");
        RECT box = Where(Shot(dlg.m_opaque), [&](int, int, COLORREF c) { return c != face; }).Bounds();
        // The b stands at the first tab stop, eight average characters in.
        CHECK(box.right > 8 * tm.tmAveCharWidth);
        CHECK(box.right > ab.cx + 2 * tm.tmAveCharWidth);
    }

    SUBCASE("embossed text: a second copy in the emboss colour, one pixel off") {
        const COLORREF back = RGB(160, 160, 170), ink = RGB(60, 60, 70);
        Picture shot = Shot(dlg.m_emboss);
        Mask all = Where(shot, [&](int, int, COLORREF c) { return c != back; });
        Mask emboss = Where(shot, [](int, int, COLORREF c) { return c == kWhite; });
        Mask first = Where(shot, [&](int, int, COLORREF c) { return c == ink; });
        REQUIRE(emboss.count > 20);
        REQUIRE(first.count > 0);
        CHECK(all.count == emboss.count + first.count);
        RECT a = all.Bounds(), e = emboss.Bounds();
        CHECK(e.right == a.right);
        CHECK(e.bottom == a.bottom);
        CHECK(e.left == a.left + 1);
        CHECK(e.top == a.top + 1);
        dlg.m_emboss.SetEmbossed(TRUE, FALSE);
        shot = Shot(dlg.m_emboss);
        a = Where(shot, [&](int, int, COLORREF c) { return c != back; }).Bounds();
        e = Where(shot, [](int, int, COLORREF c) { return c == kWhite; }).Bounds();
        CHECK(e.left == a.left);
        CHECK(e.top == a.top);
        CHECK(e.right == a.right - 1);
        CHECK(e.bottom == a.bottom - 1);
    }

    SUBCASE("rotated text runs upward from the centre") {
        Picture skin = Skin();
        RECT rc = RectInParent(dlg.m_rotated);
        Mask m = Diff(Shot(dlg.m_rotated), skin, rc.left, rc.top);
        RECT box = m.Bounds();
        REQUIRE(m.count > 20);
        CHECK(box.bottom - box.top > 2 * (box.right - box.left));
        CHECK(box.bottom <= 60 + 1);  // above the centre line
        CHECK(box.right <= 18 + 1);   // left of the centre, on its baseline side
    }

    SUBCASE("fonts: the dialog's to start with, then each setter's part") {
        LOGFONTW dialogFont = {};
        GetObjectW((HFONT)dlg.SendMessage(WM_GETFONT), sizeof(dialogFont), &dialogFont);
        const LOGFONTW& lf = dlg.m_opaque.Font();
        CHECK(std::wstring(lf.lfFaceName) == dialogFont.lfFaceName);
        CHECK(lf.lfHeight == dialogFont.lfHeight);

        dlg.m_opaque.SetFaceName(L"Arial", ANSI_CHARSET)
            .SetPointSize(11)
            .SetBold(TRUE)
            .SetItalic(TRUE)
            .SetUnderline(TRUE);
        HDC screen = GetDC(nullptr);
        const int expectHeight = -MulDiv(GetDeviceCaps(screen, LOGPIXELSY), 110, 720);
        ReleaseDC(nullptr, screen);
        CHECK(std::wstring(lf.lfFaceName) == L"Arial");
        CHECK(lf.lfCharSet == ANSI_CHARSET);
        CHECK(lf.lfHeight == expectHeight);
        CHECK(lf.lfWeight == FW_BOLD);
        CHECK(lf.lfItalic == 1);
        CHECK(lf.lfUnderline == 1);
        LOGFONTW made = {};
        GetObjectW(dlg.m_opaque.FontHandle(), sizeof(made), &made);
        CHECK(made.lfHeight == expectHeight);
        CHECK(made.lfWeight == FW_BOLD);
        dlg.m_opaque.SetBold(FALSE).SetAngle(45, FALSE);
        CHECK(lf.lfWeight == FW_NORMAL);
        CHECK(lf.lfEscapement == 450);
        CHECK(lf.lfOrientation == 450);
        LOGFONTW whole = {};
        whole.lfHeight = -20;
        whole.lfWeight = FW_SEMIBOLD;
        lstrcpyW(whole.lfFaceName, L"Courier New");
        dlg.m_opaque.SetLogFont(whole);
        CHECK(std::wstring(lf.lfFaceName) == L"Courier New");
        CHECK(lf.lfEscapement == 0);
        GetObjectW(dlg.m_opaque.FontHandle(), sizeof(made), &made);
        CHECK(made.lfHeight == -20);
        CHECK(made.lfWeight == FW_SEMIBOLD);
    }

    SUBCASE("face names of 32 characters or more are cut to fit") {
        const LOGFONTW& lf = dlg.m_opaque.Font();
        dlg.m_opaque.SetFaceName(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij", DEFAULT_CHARSET);
        CHECK(std::wstring(lf.lfFaceName) == L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
        // Never half a surrogate pair: 30 characters and a pair that would
        // straddle the end.
        std::wstring face(30, L'x');
        face += L"\xD83D\xDE00tail";
        dlg.m_opaque.SetFaceName(face.c_str(), DEFAULT_CHARSET);
        CHECK(std::wstring(lf.lfFaceName) == std::wstring(30, L'x'));
        dlg.m_opaque.SetFaceName(std::wstring(31, L'y').c_str(), DEFAULT_CHARSET);
        CHECK(std::wstring(lf.lfFaceName) == std::wstring(31, L'y'));
    }

    SUBCASE("setters chain, and SetCaption waits for a window") {
        TestLabel loose;
        CHECK(&loose.SetCaption(L"nowhere").SetTextColor(RGB(1, 2, 3)).SetLinkTarget(L"x") == &loose);
        CHECK(loose.m_hWnd == nullptr);
        LinkLabel& same = dlg.m_solid.SetCaption(L"Solid").SetBackground(RGB(255, 246, 200)).SetEmbossColor(0);
        CHECK(&same == &dlg.m_solid);
        CHECK(CString::FromWindowText(dlg.m_solid) == L"Solid");
    }

    SUBCASE("sunken edge and thin border change the frame, not the text") {
        RECT before, after;
        dlg.m_solid.GetClientRect(&before);
        dlg.m_solid.SetSunkenEdge(TRUE);
        CHECK((dlg.m_solid.GetExStyle() & WS_EX_STATICEDGE) != 0);
        dlg.m_solid.GetClientRect(&after);
        CHECK(after.right < before.right);
        dlg.m_solid.SetSunkenEdge(FALSE).SetThinBorder(TRUE);
        CHECK_FALSE((dlg.m_solid.GetExStyle() & WS_EX_STATICEDGE) != 0);
        CHECK((dlg.m_solid.GetStyle() & WS_BORDER) != 0);
        dlg.m_solid.GetClientRect(&after);
        CHECK(after.right == before.right - 2);
        dlg.m_solid.SetThinBorder(FALSE);
        dlg.m_solid.GetClientRect(&after);
        CHECK(after.right == before.right);
    }

    SUBCASE("a transparent label marks itself WS_EX_TRANSPARENT, whatever the value") {
        CHECK_FALSE((dlg.m_solid.GetExStyle() & WS_EX_TRANSPARENT) != 0);
        dlg.m_solid.SetTransparent(FALSE);
        CHECK((dlg.m_solid.GetExStyle() & WS_EX_TRANSPARENT) != 0);
    }
}

TEST_CASE("screenshot: every button state and label style on the skin") {
    ParkMouse();
    SkinTestDlg dlg;
    REQUIRE(dlg.Open());
    dlg.m_checkOn.SetCheck(1);
    dlg.m_checkDisabled.EnableWindow(TRUE);
    dlg.m_checkDisabled.SetCheck(1);
    dlg.m_checkDisabled.EnableWindow(FALSE);
    dlg.m_radio.SetCheck(1);
    dlg.m_hover.SendMessage(WM_MOUSEHOVER);
    dlg.m_closeHover.SendMessage(WM_MOUSEHOVER);
    dlg.m_pressed.SendMessage(BM_SETSTATE, TRUE);
    ::SetFocus(dlg.m_focus);
    dlg.m_blink.BlinkText(TRUE);  // hidden phase first: black text

    Picture screen = CaptureClient(dlg);
    CHECK(screen.SaveBmp(ArtifactsDir() + L"skin_controls.bmp"));

    // The shot shows what each control shows on its own.
    auto at = [&](const CWnd& w, UINT id) {
        RECT rc = RectInParent(w);
        Picture img = ResourcePicture(id);
        int n = 0;
        for (int y = 0; y < img.Height(); ++y)
            for (int x = 0; x < img.Width(); ++x)
                n += screen.At(rc.left + x, rc.top + y) == img.At(x, y);
        return n;
    };
    // Most of each image is there (the caption covers the rest).
    CHECK(at(dlg.m_hover, IDB_BTN_HOVER) > 111 * 22 * 3 / 4);
    CHECK(at(dlg.m_pressed, IDB_BTN_PRESSED) > 111 * 22 * 3 / 4);
    CHECK(at(dlg.m_cancel, IDB_BTN_NORMAL) > 111 * 22 * 3 / 4);
    CHECK(at(dlg.m_closeHover, IDB_CLOSE_HOVER) == 20 * 17);
    CHECK(at(dlg.m_closeDisabled, IDB_CLOSE_DISABLED) == 20 * 17);
}

TEST_CASE("a print of a control shows what the screen shows") {
    ParkMouse();
    SkinTestDlg dlg;
    REQUIRE(dlg.Open());
    dlg.m_checkOn.SetCheck(1);
    // Opaque labels and owner-drawn buttons paint the same through
    // WM_PRINTCLIENT (the button asks its parent with WM_DRAWITEM).
    for (CWnd* w : std::initializer_list<CWnd*>{&dlg.m_solid, &dlg.m_gradient, &dlg.m_emboss, &dlg.m_centered,
                                                &dlg.m_push, &dlg.m_wide, &dlg.m_checkOn}) {
        Picture screen = Shot(*w);
        Picture printed(screen.Width(), screen.Height());
        printed.Fill(RGB(1, 2, 3));
        w->SendMessage(WM_PRINTCLIENT, (WPARAM)printed.Dc(), PRF_CLIENT);
        CHECK_MESSAGE(Diff(printed, screen).count == 0, "control ", w->GetDlgCtrlID());
    }
}
