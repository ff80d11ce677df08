#include "skin_bitmap.h"

#include <stdlib.h>

namespace {
// 0x00RRGGBB in a 32-bit DIB, 0x00BBGGRR in a COLORREF.
inline COLORREF ToColorRef(DWORD px) { return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF); }
}  // namespace

CSize SkinBitmap::GetSize() const {
    BITMAP bm;
    if (!m_hObject || !GetBitmap(&bm))
        return CSize();
    return CSize(bm.bmWidth, bm.bmHeight);
}

BOOL SkinBitmap::Draw(HDC hdc, int x, int y) const {
    CSize size = GetSize();
    CMemoryDC mem(hdc);
    mem.SelectObject(m_hObject);
    return ::BitBlt(hdc, x, y, size.cx, size.cy, mem, 0, 0, SRCCOPY);
}

BOOL SkinBitmap::DrawStretched(HDC hdc, const RECT* prc) const {
    CSize size = GetSize();
    if (!m_hObject)
        return TRUE;  // a stretch of nothing would smear the context's stock pixel
    CMemoryDC mem(hdc);
    mem.SelectObject(m_hObject);
    ::StretchBlt(hdc, prc->left, prc->top, prc->right - prc->left, prc->bottom - prc->top, mem, 0, 0, size.cx, size.cy,
                 SRCCOPY);
    return TRUE;
}

BOOL SkinBitmap::DrawBordered(HDC hdc, const RECT* prc, const SIZE* pBorder) const {
    const CSize size = GetSize();
    const int W = prc->right - prc->left, H = prc->bottom - prc->top;
    const int w = size.cx, h = size.cy;
    const int bx = pBorder->cx, by = pBorder->cy;
    if (2 * bx >= W || 2 * by >= H || 2 * bx >= w || 2 * by >= h)
        return FALSE;

    // Two passes through full-width intermediates: first the columns
    // (corners and left/right edges keep their width), then the rows.
    CBitmap rows, whole;  // declared first: the contexts let go of them first
    rows.CreateCompatibleBitmap(hdc, W, h);
    whole.CreateCompatibleBitmap(hdc, W, H);
    CMemoryDC a(hdc);
    a.SelectObject(rows);
    CMemoryDC b(hdc);
    b.SelectObject(m_hObject);

    a.BitBlt(0, 0, bx, h, b, 0, 0, SRCCOPY);
    a.StretchBlt(bx, 0, W - 2 * bx, h, b, bx, 0, w - 2 * bx, h, SRCCOPY);
    a.BitBlt(W - bx, 0, bx, h, b, w - bx, 0, SRCCOPY);

    a.SelectObject(whole);
    b.SelectObject(rows);

    a.BitBlt(0, 0, W, by, b, 0, 0, SRCCOPY);
    a.StretchBlt(0, by, W, H - 2 * by, b, 0, by, W, h - 2 * by, SRCCOPY);
    a.BitBlt(0, H - by, W, by, b, 0, h - by, SRCCOPY);

    ::BitBlt(hdc, prc->left, prc->top, W, H, a, 0, 0, SRCCOPY);
    return TRUE;
}

HRGN SkinBitmap::CreateRegion(HBITMAP hbm, COLORREF crKey) {
    HRGN hResult = ::CreateRectRgn(0, 0, 0, 0);
    BITMAP bm;
    if (!hbm || !::GetObjectW(hbm, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return hResult;
    const int w = bm.bmWidth, h = bm.bmHeight;

    // All pixels in one read, as 32-bit top-down rows: the same colours that
    // GetPixel reports for a bitmap of the display's depth.
    DWORD* pPixels = static_cast<DWORD*>(malloc((size_t)w * (size_t)h * sizeof(DWORD)));
    if (!pPixels)
        return hResult;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC hScreen = ::GetDC(nullptr);
    int nRows = ::GetDIBits(hScreen, hbm, 0, (UINT)h, pPixels, &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hScreen);

    // The runs go into RGNDATA blocks, each made a region in one call and
    // added to the result; one block per row band keeps big bitmaps bounded.
    const DWORD kMaxRects = 2000;
    const size_t cbData = sizeof(RGNDATAHEADER) + kMaxRects * sizeof(RECT);
    RGNDATA* pData = static_cast<RGNDATA*>(malloc(cbData));
    if (!pData || nRows != h) {
        free(pData);
        free(pPixels);
        return hResult;
    }
    RECT* pRects = reinterpret_cast<RECT*>(pData->Buffer);
    DWORD nRects = 0;
    auto flush = [&]() {
        if (!nRects)
            return;
        pData->rdh.dwSize = sizeof(RGNDATAHEADER);
        pData->rdh.iType = RDH_RECTANGLES;
        pData->rdh.nCount = nRects;
        pData->rdh.nRgnSize = nRects * sizeof(RECT);
        ::SetRect(&pData->rdh.rcBound, 0, pRects[0].top, w, pRects[nRects - 1].bottom);
        HRGN hPart = ::ExtCreateRegion(nullptr, (DWORD)(sizeof(RGNDATAHEADER) + nRects * sizeof(RECT)), pData);
        if (hPart) {
            ::CombineRgn(hResult, hResult, hPart, RGN_OR);
            ::DeleteObject(hPart);
        }
        nRects = 0;
    };

    for (int y = 0; y < h; ++y) {
        const DWORD* row = pPixels + (size_t)y * (size_t)w;
        int x = 0;
        while (x < w) {
            int start = x;
            while (x < w && ToColorRef(row[x]) != crKey)
                ++x;
            if (x > start) {
                if (nRects == kMaxRects)
                    flush();
                ::SetRect(&pRects[nRects++], start, y, x, y + 1);
            }
            ++x;
        }
    }
    flush();
    free(pData);
    free(pPixels);
    return hResult;
}
