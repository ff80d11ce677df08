// The skin on setup.exe's own resources, the framework beneath it, the package's images.
#include "harness.h"

#include <gdiplus.h>

#include <tuple>

#include "resource.h"
#include "skin/bmp_btn_ctrl.h"
#include "skin/link_label.h"

namespace {

struct Label : LinkLabel {
    using LinkLabel::m_lf;
};
std::vector<CWnd*> g_ctl;  // the test dialog's, in the order of kRows; a setup works on the last made
CBmpBtnCtrl& B(int i = -1) { return *static_cast<CBmpBtnCtrl*>(i < 0 ? g_ctl.back() : g_ctl[i]); }
LinkLabel& L(int i = -1) { return *static_cast<LinkLabel*>(i < 0 ? g_ctl.back() : g_ctl[i]); }
LRESULT Send(UINT msg, int i = -1, WPARAM wp = 0) { return B(i).SendMessage(msg, wp, MAKELPARAM(3, 3)); }
LRESULT Hover(int i = -1) { return Send(WM_MOUSEHOVER, i); }
LRESULT Click(int i = -1) { return Send(WM_LBUTTONDOWN, i, MK_LBUTTON), Send(WM_LBUTTONUP, i); }
bool Same(const Image& a, const Image& b) { return a.w == b.w && a.px == b.px; }
Image Res(UINT id) { return ImageOf(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id))); }
Image Print(int i) {  // what a control paints on WM_PRINTCLIENT, onto its place on the screen
    RECT rc;
    HDC dc = (GetClientRect(B(i), &rc), GetDC(B(i)));
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const Image img = (Send(WM_PRINTCLIENT, i, (WPARAM)dc), Grab(dc, 0, 0, rc.right, rc.bottom));
    return ReleaseDC(B(i), dc), img;
}

enum Kind { Push, Close, Check, Radio, Text };
// Bitmaps (resource.h) normal, pressed, hover, checked, disabled, checked and disabled, of each kind.
const UINT kImages[][6] = {
    {131, 132, 133, 0, 0, 0}, {134, 134, 135, 0, 136, 0}, {142, 142, 142, 143, 0, 0}, {139, 139, 139, 140, 0, 0}};
const DWORD kStyles[] = {BS_PUSHBUTTON, BS_PUSHBUTTON, BS_AUTOCHECKBOX, BS_RADIOBUTTON, SS_LEFT};
const COLORREF kBand = RGB(0, 56, 85), kPaper = RGB(255, 246, 200), kSky = 0xFFDCAA;
const LOGFONTW kCourier = {-20, 0, 0, 0, FW_BOLD, 1, 0, 0, 0, 0, 0, 0, 0, L"Courier New"};
// No height: sized to its image by MoveTo (a check box keeps w for its caption); else 5-pixel borders.
const struct {
    int kind, x, y, w, h, style;
    const wchar_t* text;
    void (*setup)() = [] {};
} kRows[] = {
    {Push, 12, 383, 0, 0, 0, L"Hover", [] { Hover(); }},
    {Push, 124, 383, 0, 0, 0, L"Disabled", [] { B().EnableWindow(FALSE); }},
    {Push, 236, 383, 0, 0, WS_TABSTOP, L"Focus"},
    {Push, 348, 383, 0, 0, 0, L"Hover, pressed", [] { Hover(), B().SendMessage(BM_SETSTATE, TRUE); }},
    {Push, 460, 383, 0, 0, 0, L"Without pressed", [] { (void)(B().SetBitmaps(131, 99, 133, 0, 0, 0) || Hover()); }},
    {Push, 200, 100, 0, 0, 0, L""},
    {Push, 320, 100, 170, 30, 0, L"Stretched to its place"},
    {Push, 200, 132, 33, 44, 0, L"A caption far too long for the button", [] { B().MoveTo(0, 0); }},
    {Push, 500, 100, 10, 30, 0, L""},
    {Push, 515, 100, 30, 10, 0, L""},
    {Push, 550, 100, 11, 11, 0, L""},
    {Close, 552, 11, 0, 0, 0, nullptr, [] { Hover(); }},
    {Close, 526, 11, 0, 0, 0, nullptr, [] { B().EnableWindow(FALSE), Hover(); }},
    {Close, 500, 11, 0, 0, 0, nullptr, [] { B().EnableWindow(0), Hover(), Send(WM_MOUSELEAVE), B().EnableWindow(1); }},
    {Check, 15, 100, 120, 0, 0, L"Ignored", [] { B().EnableWindow(0), Click(), B().SetCheck(1), B().EnableWindow(1); }},
    {Check, 15, 128, 120, 0, 0, L"Set up twice, clicked", [] { B().SetBitmaps(142, 0, 0, 143, 0, 0), Click(); }},
    {Check, 15, 156, 120, 0, 0, L"Checked, disabled", [] { B().SetCheck(1), B().EnableWindow(FALSE); }},
    {Check, 15, 184, 120, 0, 0, L"Double clicked", [] { Click(), Send(WM_LBUTTONDBLCLK), Send(WM_LBUTTONUP); }},
    {Radio, 15, 212, 120, 0, 0, L"Clicked twice", [] { Click(), Click(); }},
    {Radio, 15, 240, 120, 0, 0, L"Option"},
    {Text, 35, 50, 320, 38, 0, L"Arial,\r\ntransparent", [] { L().SetFaceName(L"Arial", 0).SetTransparent(1); }},
    {Text, 380, 166, 180, 34, 0, L"Default colours, a\ttab, and words that wrap where they must"},
    {Text, 200, 180, 170, 18, SS_CENTER, L"Solid, centred", [] { L().SetBackground(kPaper).SetEmbossed(1, 1); }},
    {Text, 200, 206, 250, 18, 0, L"Gradient over 250", [] { L().SetBackground(kBand, kSky, TRUE).SetTextColor(~0u); }},
    {Text, 460, 206, 50, 18, SS_RIGHT, L"50", [] { L().SetBackground(kBand, kSky, TRUE).SetAngle(3, 0); }},
    {Text, 200, 230, 170, 16, 0, L"http://a.invalid/", [] { L().SetUnderline(1).SetTransparent(1).SetWebLink(1, 0); }},
    {Text, 380, 230, 180, 16, 0, L"b@c.invalid", [] { L().SetItalic(1).SetTransparent(1).SetMailLink(1, 0); }},
    {Text, 200, 254, 170, 28, SS_CENTERIMAGE, L"Centred both ways", [] { L().SetBackground(kSky).SetBold(1); }},
    {Text, 380, 254, 180, 28, SS_CENTERIMAGE, L"Two\r\nlines", [] { L().SetEmbossed(1, 0).SetEmbossColor(kSky); }},
    {Text, 200, 290, 360, 18, SS_LEFTNOWORDWRAP, L"Framed, no wrap", [] { L().SetSunkenEdge(1).SetThinBorder(1); }},
    {Text, 152, 100, 32, 160, 0, L"Rotated", [] { L().SetLogFont(kCourier).SetPointSize(10).SetAngle(90, 1); }},
};
enum { kFocus = 2, kBare = 5, kCloseOff = 12, kCheck = 14, kDouble = 17, kHeading = 20, kOpaque, kSolid, kLink = 25 };

// The wizard's own template on the wizard's skin; it hears (id, code) of its children's notices.
struct SkinDlg : CDialog {
    SkinBitmap skin;
    std::vector<WPARAM> heard;
    SkinDlg() : CDialog(IDD_SETUP_WIZARD, nullptr) { skin.LoadBitmap(IDB_SKIN); }
    BOOL OnCommand(WPARAM wp, LPARAM) override { return heard.push_back(wp), TRUE; }
    BOOL OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* res) override {
        if (msg == WM_NOTIFY)
            heard.push_back(MAKEWPARAM(wp, reinterpret_cast<NMHDR*>(lp)->code));
        return msg == WM_ERASEBKGND ? *res = skin.Draw((HDC)wp, 0, 0) : CDialog::OnWndMsg(msg, wp, lp, res);
    }
};

std::wstring g_opened;
HINSTANCE WINAPI Open(HWND o, LPCWSTR verb, LPCWSTR file, LPCWSTR a, LPCWSTR d, INT show) {
    return g_opened += std::wstring(verb ? verb : L"-") + L" " + file + (o || a || d || show != 1 ? L"!|" : L"|"),
           nullptr;
}

}  // namespace

TEST_CASE("a region holds every pixel not of the key colour; a bitmap too small for its borders is refused") {
    // w pixels a row; 'K' is the key, 'k' 'j' 'l' are one step off it in red, green, blue.
    std::pair<int, std::string> r[] = {{0, ""}, {2, "..KK.."}, {5, "..K..KK..K....."}, {5, "kKjl.ljKkK"}, {300, ""}};
    const uint32_t kColours[] = {0x204080, 0xFF00FF, 0xFE00FF, 0xFF01FF, 0xFF00FE};
    for (int i = 0; i < 300 * 40; ++i)  // 4,000 runs: more than one block of them
        r[4].second += (i + i / 300) % 3 ? '.' : 'K';
    HBITMAP skin = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SKIN));  // the wizard's own
    std::vector<std::pair<HBITMAP, Image>> cases = {{skin, ImageOf(skin)}};
    for (const auto& [w, s] : r) {
        Image m{w, w ? (int)s.size() / w : 0, {}};
        for (char ch : s)
            m.px.push_back(kColours[std::string(".Kkjl").find(ch)]);
        cases.emplace_back(w ? CreateBitmap(w, m.h, 1, 32, m.px.data()) : nullptr, m);
    }
    const SIZE border = {5, 5};
    for (const auto& [hbm, m] : cases) {
        SkinBitmap bmp;
        HRGN rgn = (bmp.Attach(hbm), bmp.CreateRegion(RGB(255, 0, 255)));
        int wrong = 0;  // pixels, and a frame round them
        for (int y = -1; y <= m.h; ++y)
            for (int x = -1; x <= m.w; ++x)
                wrong += !PtInRegion(rgn, x, y) == (x >= 0 && y >= 0 && x < m.w && y < m.h && m.At(x, y) != 0xFF00FF);
        CHECK_MESSAGE(wrong == 0, m.w, " x ", m.h);
        CHECK((bmp.DrawBordered(CreateCompatibleDC(nullptr), CRect(0, 0, 30, 30), &border) == (m.w > 10 && m.h > 10) &&
               !bmp.Attach(hbm)));
    }
    for (const auto& c : cases)
        CHECK(GetObjectType(c.first) == 0);  // deleted by their owners
    const Image& face = cases[0].second;     // 71 key pixels round its corners
    CHECK((face.w == 584 && face.h == 411 && std::count(face.px.begin(), face.px.end(), 0xFF00FF) == 71));
}

TEST_CASE("the skin's buttons and labels") {
    SkinDlg d;
    REQUIRE((SetCursorPos(1023, 767), d.Create()));  // the mouse far away: no hover but ours
    while (HWND child = GetWindow(d, GW_CHILD))
        DestroyWindow(child);
    d.SetWindowPos(nullptr, 0, 0, 584, 411, SWP_NOZORDER);
    for (const auto& r : kRows) {
        g_ctl.push_back(r.kind == Text ? static_cast<CWnd*>(new Label) : new CBmpBtnCtrl);
        g_ctl.back()->SubclassWindow(CreateWindowExW(
            0, r.kind == Text ? L"Static" : L"Button", r.text, WS_CHILD | WS_VISIBLE | kStyles[r.kind] | r.style, r.x,
            r.y, r.w + !r.h, r.h + !r.h * 20, d, (HMENU)(99 + g_ctl.size()), nullptr, nullptr));
        const UINT* m = kImages[r.kind % Text];
        if (r.kind != Text && (B().SetBitmaps(m[0], m[1], m[2], m[3], m[4], m[5]), !r.h))
            B().MoveTo(r.x, r.y);
        r.setup();
    }
    ::SetFocus(B(kFocus));
    SaveShot(CaptureClient(d), L"skin-controls");
    auto heard = [&](int i, int code) { return std::count(d.heard.begin(), d.heard.end(), MAKEWPARAM(100 + i, code)); };
    auto quiet = [&](int i) { return !GetUpdateRect(B(i), nullptr, FALSE); };
    CHECK((heard(kDouble, BN_CLICKED) == 1 && heard(kDouble, BN_DOUBLECLICKED) == 1));
    Send(WM_MOUSEMOVE, kBare);  // a move alone is no hover
    CHECK(Same(Print(kBare), Res(IDB_BTN_NORMAL)));
    // Repainted only for a change: not a disabled button's hover or leave,
    // not a check box set as it is.
    Hover(kCloseOff);
    CHECK(quiet(kCloseOff));
    Send(WM_MOUSELEAVE, kCloseOff);
    CHECK(quiet(kCloseOff));
    B(kCheck).SetCheck(0);
    CHECK(quiet(kCheck));
    B(kCheck).SetCheck(1);
    CHECK_FALSE(quiet(kCheck));
    ::SetFocus(B(kBare));  // focus, but no WS_TABSTOP: no focus rectangle
    CHECK(Same(CaptureClient(B(kBare)), Res(IDB_BTN_NORMAL)));
    for (int i = 0; i < (int)g_ctl.size(); ++i)
        CHECK(((B(i).GetExStyle() & WS_EX_TRANSPARENT) || Same(Print(i), CaptureClient(B(i)))));
    LinkLabel::s_pfnShellExecute = Open;
    const Heard link = Hear(L(kLink), true), text = Hear(L(kOpaque));  // a screen reader's click opens it as well
    CHECK((link.role == ROLE_SYSTEM_LINK && link.acted && link.name == L"http://a.invalid/" && link.action == L"Jump"));
    CHECK((text.role == ROLE_SYSTEM_STATICTEXT && !text.acted && text.action.empty() && Pump()));
    const Heard radio = Hear(B(kDouble + 1)), box = Hear(B(kCheck + 2));  // both ticked, the box disabled as well
    CHECK((radio.role == ROLE_SYSTEM_RADIOBUTTON && radio.state & STATE_SYSTEM_CHECKED &&
           box.state == (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_CHECKED)));
    L(kLink).SetLinkTarget(L"http://target.invalid/");
    Click(kLink);
    L(kLink + 1).SetLinkTarget(L"x");
    Click(kLink + 1);
    L(kLink).SetWebLink(0, 0);
    Click(kLink);
    L(kLink + 1).SetMailLink(1, 1);
    Click(kLink + 1);
    CHECK(g_opened == L"open http://a.invalid/|open http://target.invalid/|- mailto:b@c.invalid|");
    CHECK((heard(kLink + 1, 0x8200) == 1 && !(L(kLink).GetStyle() & SS_NOTIFY) && L(kLink + 1).GetStyle() & SS_NOTIFY));
    HCURSOR hand = (L(kLink).SetLinkCursor(LoadCursorW(nullptr, IDC_HAND)), LoadCursorW(nullptr, IDC_HAND));
    CHECK((SetCursor(nullptr), Send(WM_SETCURSOR, kLink), GetCursor() == hand));
    CHECK((SetCursor(nullptr), Send(WM_SETCURSOR, kOpaque), GetCursor() != hand));
    // Blinking: the text goes at once (drawn in the background's colour), and
    // comes back with the next tick; the timer ends with the blinking.
    const Image shown = Print(kSolid);
    L(kSolid).SetTextColor(kPaper);
    const Image hidden = Print(kSolid);
    L(kSolid).SetTextColor(0).BlinkText(1);
    CHECK(Same(Print(kSolid), hidden));
    Send(WM_TIMER, kSolid, 1);
    CHECK(Same(Print(kSolid), shown));
    L(kSolid).BlinkText(0);
    CHECK_FALSE(KillTimer(L(kSolid), 1));
    L(kSolid).BlinkText(1);
    CHECK(KillTimer(L(kSolid), 1));
    // A new caption is drawn at once and whole: the paints still due change nothing.
    HDC dc = GetDC(L(kHeading));
    L(kHeading).SetCaption(L"WWWWWWWWWWWWWWWWWWWWWWWW").SetCaption(L"i");
    const Image now = Grab(dc, 0, 0, 320, 38);
    CaptureClient(d);
    CHECK(Same(Grab(dc, 0, 0, 320, 38), now));
    CHECK((L(kLink + 4).SetSunkenEdge(0).SetThinBorder(0).GetExStyle() & WS_EX_STATICEDGE) == 0);
    CHECK((L(kLink + 4).GetStyle() & WS_BORDER) == 0);
    CHECK((L(kOpaque).SetTransparent(0).GetExStyle() & WS_EX_TRANSPARENT));  // either way
    CHECK((LinkLabel::DrawGradient(dc, CRect(0, 0, 9, 9), 0, 9, 9),
           GetCurrentObject(dc, OBJ_BRUSH) == GetStockObject(WHITE_BRUSH)));
    CHECK(GetCurrentObject(dc, OBJ_PEN) == GetStockObject(BLACK_PEN));
    d.DestroyWindow();
}

TEST_CASE("CString; label face names cut to fit, never between the halves of a pair") {
    CString s(L"0123456789abcdef"), none, copy;
    CHECK(((s += s) == L"0123456789abcdef0123456789abcdef"));
    CString moved((s = static_cast<const wchar_t*>(s) + 16, static_cast<CString&&>(s)));  // a tail of its own buffer
    CHECK((moved == L"0123456789abcdef" && s.IsEmpty() && moved.Find(L'a') == 10 && moved.Find(L"cd", 11) == 12));
    CHECK((moved.Find(L"x") == -1 && moved.GetAt(16) == 0 && (copy = moved) == moved));
    CHECK(!wcscmp(copy = none, L""));  // no characters of the old value left
    HWND h = CreateWindowExW(0, L"Static", std::wstring(3000, L'q').c_str(), 0, 0, 0, 9, 9, 0, 0, 0, 0);
    CHECK((CString::FromWindowText(h).GetLength() == 3000 &&
           (SetWindowTextW(h, L""), CString::FromWindowText(h) == L"")));
    const std::wstring x30(30, L'x');
    Label face;
    face.SetFaceName((x30 + L"yz").c_str(), 3);
    CHECK((face.m_lf.lfFaceName == x30 + L"y" && face.m_lf.lfCharSet == 3));
    face.SetFaceName((x30 + L"\xD83D\xDE00").c_str(), 0);  // not half of the pair
    CHECK(face.m_lf.lfFaceName == x30);
}

TEST_CASE("the package's images are what their names say, at their sizes") {
    ULONG_PTR token;
    const Gdiplus::GdiplusStartupInput in;
    Gdiplus::GdiplusStartup(&token, &in, nullptr);
    const std::tuple<const wchar_t*, GUID, UINT, UINT> rows[] = {
        {L"middle.gif", Gdiplus::ImageFormatGIF, 64, 16},      {L"gauge_left.gif", Gdiplus::ImageFormatGIF, 8, 16},
        {L"gauge_right.gif", Gdiplus::ImageFormatGIF, 8, 16},  {L"Vendor.bmp", Gdiplus::ImageFormatBMP, 200, 40},
        {L"ArrayTitle.bmp", Gdiplus::ImageFormatBMP, 200, 40}, {L"infoTitle.bmp", Gdiplus::ImageFormatBMP, 200, 40},
        {L"Arraylogo.png", Gdiplus::ImageFormatPNG, 64, 64}};
    for (const auto& [name, format, w, h] : rows) {
        Gdiplus::Image img((PackageDir() + L"Application\\" + name).c_str());
        GUID got = {};
        CHECK_MESSAGE((img.GetRawFormat(&got), got == format && img.GetWidth() == w && img.GetHeight() == h),
                      Narrow(name));
    }
}
