// The skin's button: an owner-drawn push button or check box painted from
// one bitmap per state, with its caption drawn over it.
#pragma once
#include <windows.h>

#include "../framework/gdi.h"
#include "../framework/wnd.h"
#include "accessible.h"
#include "skin_bitmap.h"

class CBmpBtnCtrl : public CButton, private AccessibleSource {
public:
    CBmpBtnCtrl() = default;
    ~CBmpBtnCtrl() override = default;

    // Bitmap resource ids; 0 = none (the normal image stands in). Records
    // the button type the first time and makes the control owner-drawn.
    // FALSE when a requested bitmap is not there or the normal one did not
    // load. The normal image loads now, the others when first drawn.
    BOOL SetBitmaps(UINT nNormal, UINT nPressed, UINT nHover, UINT nChecked, UINT nDisabled, UINT nCheckedDisabled);
    // Captions in this face, character set, size and weight instead of in
    // the parent's font.
    void SetCaptionFont(const wchar_t* pszFace, BYTE nCharSet, int nPoints, int nWeight);
    // Sizes the control to its normal image (a check box to hold its caption
    // beside it too); moves it to (x, y) unless both are 0.
    virtual void MoveTo(int x, int y);
    virtual int GetCheck() const { return m_nCheck; }
    // Only while enabled, and only a change repaints.
    virtual void SetCheck(int nCheck);
    // The BS_ type the control had before it became owner-drawn; -1 before
    // SetBitmaps.
    virtual int GetButtonType() const { return m_nButtonType; }
    CSize GetBitmapSize() const { return m_bmpNormal.GetSize(); }
    // What a screen reader calls the button instead of its caption: the
    // name of a button that shows a picture only.
    void SetAccessibleName(const CString& strName) { m_strAccName = strName; }

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void DrawItem(LPDRAWITEMSTRUCT pdis) override;

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT OnMouseHover();
    LRESULT OnMouseLeave();

    // Check boxes, and radio buttons, which paint the same way.
    bool IsCheckKind() const;
    // The image of a state, loaded when first drawn: most states are never
    // seen at all, and none before the dialog shows.
    struct StateImage {
        SkinBitmap bmp;
        UINT nID = 0;
        // Null when the state has no image of its own or it did not load.
        const SkinBitmap* Get();
    };
    const SkinBitmap& ChooseImage(UINT nState);
    void DrawPushButton(CDC& dc, const CRect& rcClient, UINT nState);
    void DrawCheckBox(CDC& dc, const CRect& rcClient, UINT nState);
    void Repaint() { ::InvalidateRect(m_hWnd, nullptr, FALSE); }
    HFONT CaptionFont() const;
    // The caption's size in its font.
    CSize CaptionExtent() const;

    LONG AccRole() override;
    DWORD AccState(DWORD dwStandard) override;
    CString AccName() override;
    const wchar_t* AccDefaultAction() override;
    BOOL AccDoDefaultAction() override;

    CFont m_font;
    SkinBitmap m_bmpNormal;
    StateImage m_imgPressed;
    StateImage m_imgChecked;
    StateImage m_imgHover;
    StateImage m_imgDisabled;
    StateImage m_imgCheckedDisabled;
    BOOL m_bHover = FALSE;
    BOOL m_bTracking = FALSE;
    int m_nCheck = 0;
    int m_nButtonType = -1;
    // The dialog's default push button, as its manager marks it (BM_SETSTYLE).
    BOOL m_bDefault = FALSE;
    CString m_strAccName;
};
