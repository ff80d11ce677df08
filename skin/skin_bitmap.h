// The skin's bitmap: paints itself one to one, stretched, or stretched with
// fixed borders, and cuts a window region by a key colour.
#pragma once
#include <windows.h>

#include "../framework/gdi.h"

class SkinBitmap : public CBitmap {
public:
    // Width and height of the bitmap; 0 x 0 when empty.
    CSize GetSize() const;
    // One to one at (x, y); the result of the BitBlt.
    BOOL Draw(HDC hdc, int x, int y) const;
    // The whole bitmap stretched onto *prc; always TRUE.
    BOOL DrawStretched(HDC hdc, const RECT* prc) const;
    // Stretched onto *prc with borders of pBorder->cx (left, right) and
    // pBorder->cy (top, bottom) pixels kept unscaled; FALSE, and nothing
    // drawn, when the borders leave no middle in the target or the bitmap.
    BOOL DrawBordered(HDC hdc, const RECT* prc, const SIZE* pBorder) const;
    // A new region (the caller's) of every pixel whose colour is not crKey:
    // one rectangle per horizontal run, in bitmap coordinates.
    HRGN CreateRegion(COLORREF crKey) const { return CreateRegion(*this, crKey); }
    static HRGN CreateRegion(HBITMAP hbm, COLORREF crKey);
};
