#include "gdi.h"

#include <stdlib.h>

#include "app.h"

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (!hObject || m_hObject)
        return FALSE;
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject)
        return FALSE;
    BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return ok;
}

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    return Attach(::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource & 0xFFFF)));
}

BOOL CBitmap::CreateCompatibleBitmap(HDC hdc, int cx, int cy) { return Attach(::CreateCompatibleBitmap(hdc, cx, cy)); }

BOOL CFont::CreateFontIndirect(const LOGFONTW* plf) { return Attach(::CreateFontIndirectW(plf)); }

BOOL CFont::CreatePointFont(int nPointSize, const wchar_t* pszFaceName, HDC hdc) {
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    if (pszFaceName)
        lstrcpynW(lf.lfFaceName, pszFaceName, LF_FACESIZE);
    // Tenths of a point to device pixels, then to the context's logical
    // units: 72 points an inch.
    HDC hScreen = hdc ? nullptr : ::GetDC(nullptr);
    HDC h = hdc ? hdc : hScreen;
    POINT pt = {0, ::MulDiv(::GetDeviceCaps(h, LOGPIXELSY), nPointSize, 720)};
    POINT org = {0, 0};
    ::DPtoLP(h, &pt, 1);
    ::DPtoLP(h, &org, 1);
    lf.lfHeight = -abs(pt.y - org.y);
    if (hScreen)
        ::ReleaseDC(nullptr, hScreen);
    return CreateFontIndirect(&lf);
}

CPoint CDC::GetViewportOrg() const {
    POINT pt = {0, 0};
    ::GetViewportOrgEx(m_hDC, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::SetViewportOrg(int x, int y) {
    POINT pt = {0, 0};
    ::SetViewportOrgEx(m_hDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}

CPaintDC::CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }

CPaintDC::~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }

CClientDC::CClientDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::GetDC(hWnd); }

CClientDC::~CClientDC() {
    if (m_hDC)
        ::ReleaseDC(m_hWnd, m_hDC);
}

const UINT CMemoryDC::kKind[CMemoryDC::kKinds] = {OBJ_BITMAP, OBJ_FONT, OBJ_BRUSH, OBJ_PEN};

CMemoryDC::CMemoryDC(HDC hCompatible) {
    m_hDC = ::CreateCompatibleDC(hCompatible);
    if (!m_hDC)
        return;
    m_nSaved = ::SaveDC(m_hDC);
    for (int i = 0; i < kKinds; ++i)
        m_hOriginal[i] = ::GetCurrentObject(m_hDC, kKind[i]);
}

CMemoryDC::~CMemoryDC() {
    if (!m_hDC)
        return;
    if (m_nSaved)
        ::RestoreDC(m_hDC, m_nSaved);
    // A bitmap still selected here could not be deleted by its owner.
    for (int i = 0; i < kKinds; ++i)
        if (m_hOriginal[i])
            ::SelectObject(m_hDC, m_hOriginal[i]);
    ::DeleteDC(m_hDC);
}
