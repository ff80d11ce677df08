// GDI objects and device contexts.
//
// Ownership is in the type: a CGdiObject (CBitmap, CFont, CBrush, CRgn)
// owns its handle and deletes it when destroyed; Detach hands the handle
// over (a region given to SetWindowRgn). A CDC does not own its context;
// CPaintDC, CClientDC and CMemoryDC do, and put back everything that was
// selected into them before they let it go, so objects selected into them
// may be deleted afterwards in any order.
#pragma once
#include <windows.h>

#include "cstring.h"

struct CSize : SIZE {
    CSize() : SIZE{0, 0} {}
    CSize(int x, int y) : SIZE{x, y} {}
    bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
    bool operator!=(const CSize& o) const { return !(*this == o); }
};

struct CPoint : POINT {
    CPoint() : POINT{0, 0} {}
    CPoint(int x0, int y0) : POINT{x0, y0} {}
};

struct CRect : RECT {
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& rc) : RECT(rc) {}  // NOLINT: implicit, like the framework's
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    operator RECT*() { return this; }
    operator const RECT*() const { return this; }
};

class CGdiObject {
public:
    CGdiObject() = default;
    ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    // Takes ownership; FALSE for a null handle or when one is already held.
    BOOL Attach(HGDIOBJ hObject);
    // Gives the handle up without deleting it.
    HGDIOBJ Detach();
    // Deletes the handle, if any, and leaves the object empty.
    BOOL DeleteObject();
    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    int GetObject(int cb, void* pv) const { return m_hObject ? ::GetObjectW(m_hObject, cb, pv) : 0; }

    HGDIOBJ m_hObject = nullptr;
};

class CBitmap : public CGdiObject {
public:
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    // From the framework's resource module (AfxGetResourceHandle).
    BOOL LoadBitmap(UINT nIDResource);
    BOOL CreateCompatibleBitmap(HDC hdc, int cx, int cy);
    int GetBitmap(BITMAP* pbm) const { return GetObject(sizeof(BITMAP), pbm); }
};

class CFont : public CGdiObject {
public:
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    BOOL CreateFontIndirect(const LOGFONTW* plf);
    // A font of nPointSize tenths of a point, its height computed for hdc
    // (the screen when null).
    BOOL CreatePointFont(int nPointSize, const wchar_t* pszFaceName, HDC hdc = nullptr);
    int GetLogFont(LOGFONTW* plf) const { return GetObject(sizeof(LOGFONTW), plf); }
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF cr) { CreateSolidBrush(cr); }
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF cr) { return Attach(::CreateSolidBrush(cr)); }
};

class CRgn : public CGdiObject {
public:
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    BOOL CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
    int CombineRgn(HRGN a, HRGN b, int mode) { return ::CombineRgn(*this, a, b, mode); }
};

// A device context used, not owned.
class CDC {
public:
    CDC() = default;
    explicit CDC(HDC hDC) : m_hDC(hDC) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    HGDIOBJ SelectObject(HGDIOBJ h) { return ::SelectObject(m_hDC, h); }
    HGDIOBJ SelectStockObject(int n) { return ::SelectObject(m_hDC, ::GetStockObject(n)); }
    int SaveDC() { return ::SaveDC(m_hDC); }
    BOOL RestoreDC(int n) { return ::RestoreDC(m_hDC, n); }

    BOOL BitBlt(int x, int y, int cx, int cy, HDC src, int xs, int ys, DWORD rop) {
        return ::BitBlt(m_hDC, x, y, cx, cy, src, xs, ys, rop);
    }
    BOOL StretchBlt(int x, int y, int cx, int cy, HDC src, int xs, int ys, int cxs, int cys, DWORD rop) {
        return ::StretchBlt(m_hDC, x, y, cx, cy, src, xs, ys, cxs, cys, rop);
    }
    int FillRect(const RECT* prc, HBRUSH hbr) { return ::FillRect(m_hDC, prc, hbr); }
    BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
    BOOL DrawFocusRect(const RECT* prc) { return ::DrawFocusRect(m_hDC, prc); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

    int DrawText(const wchar_t* psz, int cch, RECT* prc, UINT fmt) { return ::DrawTextW(m_hDC, psz, cch, prc, fmt); }
    int DrawText(const CString& s, RECT* prc, UINT fmt) { return DrawText(s, s.GetLength(), prc, fmt); }
    BOOL TextOut(int x, int y, const CString& s) { return ::TextOutW(m_hDC, x, y, s, s.GetLength()); }
    COLORREF SetTextColor(COLORREF cr) { return ::SetTextColor(m_hDC, cr); }
    COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
    int SetBkMode(int n) { return ::SetBkMode(m_hDC, n); }
    UINT SetTextAlign(UINT n) { return ::SetTextAlign(m_hDC, n); }
    CPoint GetViewportOrg() const;
    CPoint SetViewportOrg(int x, int y);

    HDC m_hDC = nullptr;
};

// BeginPaint/EndPaint around a WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hWnd);
    ~CPaintDC();
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// GetDC/ReleaseDC of a window's client area (the screen for null).
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hWnd);
    ~CClientDC();

private:
    HWND m_hWnd;
};

// A memory context compatible with another (the screen for null). Whatever
// is selected into it is put back before it is deleted.
class CMemoryDC : public CDC {
public:
    explicit CMemoryDC(HDC hCompatible);
    ~CMemoryDC();

private:
    static constexpr int kKinds = 4;
    static const UINT kKind[kKinds];
    int m_nSaved = 0;
    HGDIOBJ m_hOriginal[kKinds] = {};
};

// Selects an object into a context for one scope and puts the previous one
// back at its end.
class CSelectObject {
public:
    CSelectObject(HDC hdc, HGDIOBJ h) : m_hDC(hdc), m_hOld(h ? ::SelectObject(hdc, h) : nullptr) {}
    ~CSelectObject() {
        if (m_hOld)
            ::SelectObject(m_hDC, m_hOld);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};
