// The framework pieces the skin controls stand on: CString and the GDI
// object wrappers.
#include <doctest/doctest.h>

#include <windows.h>

#include "framework/cstring.h"
#include "framework/gdi.h"
#include "skin_test_support.h"

#include <string>

TEST_CASE("CString: building, finding, comparing") {
    CString empty;
    CHECK(empty.IsEmpty());
    CHECK(empty.GetLength() == 0);
    CHECK(empty == L"");
    CHECK(static_cast<const wchar_t*>(empty) != nullptr);

    CString s(L"mail");
    s += L"to:";
    s += CString(L"someone");
    CHECK(s == L"mailto:someone");
    CHECK(s.GetLength() == 14);
    CHECK(s.Find(L':') == 6);
    CHECK(s.Find(L"to") == 4);
    CHECK(s.Find(L"to", 5) == -1);
    CHECK(s.Find(L'\t') == -1);
    CHECK(s.Find(L"") == 0);
    CHECK(s.GetAt(0) == L'm');
    CHECK(s.GetAt(99) == L'\0');

    CHECK(L"a" + CString(L"b") + L"c" == L"abc");
    CHECK(CString(L"abcdef", 3) == L"abc");
    CHECK(CString(L"x") != L"y");

    // Appending a string to itself, through a reallocation.
    CString twice(L"0123456789abcdef");
    twice += twice;
    CHECK(twice == L"0123456789abcdef0123456789abcdef");
    twice = static_cast<const wchar_t*>(twice) + 16;  // a tail of its own buffer
    CHECK(twice == L"0123456789abcdef");

    CString moved(static_cast<CString&&>(twice));
    CHECK(moved == L"0123456789abcdef");
    CHECK(twice.IsEmpty());
    CString copy;
    copy = moved;
    moved.Empty();
    CHECK(copy == L"0123456789abcdef");
    CHECK(moved == L"");
}

TEST_CASE("CString::FromWindowText reads a caption of any length") {
    std::wstring longText(3000, L'q');
    HWND h =
        CreateWindowExW(0, L"STATIC", longText.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    REQUIRE(h);
    CHECK(CString::FromWindowText(h).GetLength() == 3000);
    SetWindowTextW(h, L"");
    CHECK(CString::FromWindowText(h).IsEmpty());
    DestroyWindow(h);
}

TEST_CASE("GDI objects own their handles; a scoped selection puts the old one back") {
    Picture p(4, 4);
    HGDIOBJ before = GetCurrentObject(p.Dc(), OBJ_BRUSH);
    HBRUSH kept;
    {
        CBrush brush(RGB(1, 2, 3));
        kept = brush;
        {
            CSelectObject sel(p.Dc(), brush);
            CHECK(GetCurrentObject(p.Dc(), OBJ_BRUSH) == kept);
        }
        CHECK(GetCurrentObject(p.Dc(), OBJ_BRUSH) == before);
        LOGBRUSH lb;
        CHECK(GetObjectW(kept, sizeof(lb), &lb) == sizeof(lb));
    }
    LOGBRUSH lb;
    CHECK(GetObjectW(kept, sizeof(lb), &lb) == 0);

    CRgn rgn;
    REQUIRE(rgn.CreateRectRgn(0, 0, 5, 5));
    HRGN given = static_cast<HRGN>(rgn.Detach());
    CHECK(rgn.GetSafeHandle() == nullptr);
    CHECK_FALSE(rgn.DeleteObject());
    RECT box;
    CHECK(GetRgnBox(given, &box) == SIMPLEREGION);
    DeleteObject(given);
}

TEST_CASE("CFont::CreatePointFont: tenths of a point at the screen's resolution") {
    CFont font;
    REQUIRE(font.CreatePointFont(110, L"Arial"));
    LOGFONTW lf;
    REQUIRE(font.GetLogFont(&lf));
    HDC screen = GetDC(nullptr);
    CHECK(lf.lfHeight == -MulDiv(GetDeviceCaps(screen, LOGPIXELSY), 110, 720));
    ReleaseDC(nullptr, screen);
    CHECK(lf.lfWidth == 0);
    CHECK(std::wstring(lf.lfFaceName) == L"Arial");
}
