// The skin's label: a static control that paints its caption with its own
// font and colours, opaque or transparent over the parent, and can emboss,
// rotate and blink it and act as a web or mail link.
#pragma once
#include <windows.h>

#include "../framework/cstring.h"
#include "../framework/gdi.h"
#include "../framework/wnd.h"
#include "accessible.h"

// The code a label sends its parent in WM_NOTIFY when clicked with parent
// notification on.
constexpr UINT kLinkLabelClicked = 0x8200;

class LinkLabel : public CStatic, private AccessibleSource {
public:
    LinkLabel();
    ~LinkLabel() override;

    // Each setter returns the label, for chaining.
    virtual LinkLabel& SetBackground(COLORREF crBack, COLORREF crGradientEnd = 0, BOOL bGradient = FALSE);
    virtual LinkLabel& SetTextColor(COLORREF crText);
    virtual LinkLabel& SetCaption(const CString& strCaption);
    virtual LinkLabel& SetBold(BOOL bBold);
    virtual LinkLabel& SetFaceName(const CString& strFace, BYTE nCharSet);
    virtual LinkLabel& SetUnderline(BOOL bUnderline);
    virtual LinkLabel& SetItalic(BOOL bItalic);
    virtual LinkLabel& SetPointSize(int nPoints);
    virtual LinkLabel& SetSunkenEdge(BOOL bSunken);
    virtual LinkLabel& SetThinBorder(BOOL bBorder);
    virtual LinkLabel& SetTransparent(BOOL bTransparent);
    virtual LinkLabel& BlinkText(BOOL bBlink);
    virtual LinkLabel& BlinkBackground(BOOL bBlink);
    virtual LinkLabel& SetWebLink(BOOL bLink, BOOL bNotifyParent);
    virtual LinkLabel& SetLinkCursor(HCURSOR hCursor);
    virtual LinkLabel& SetEmbossed(BOOL bEmboss, BOOL bDownRight);
    virtual LinkLabel& SetAngle(int nDegrees, BOOL bRotate);
    virtual LinkLabel& SetEmbossColor(COLORREF cr);
    virtual LinkLabel& SetLogFont(LOGFONTW lf);
    virtual LinkLabel& SetMailLink(BOOL bLink, BOOL bNotifyParent);
    virtual LinkLabel& SetLinkTarget(const CString& strTarget);

    // Fills *prc with a horizontal gradient of at most nSteps bands.
    static void DrawGradient(HDC hdc, const RECT* prc, COLORREF crStart, COLORREF crEnd, int nSteps);

    // How a click opens a link; a test puts a recorder here.
    using ShellExecuteProc = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    static ShellExecuteProc s_pfnShellExecute;

protected:
    void PreSubclassWindow() override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    void RebuildFont();
    // Repaints the label and the part of its parent beneath it.
    void RedrawWithParent();
    void Paint(HDC hdc);
    void DrawLabel(CDC& dc, const CRect& rc, const CString& caption);
    void OnLButtonDown();
    void OnSysColorChange();
    void StopBlinkTimer();
    void StartBlinkTimer();

    LONG AccRole() override;
    DWORD AccState(DWORD dwStandard) override;
    CString AccName() override;
    const wchar_t* AccDefaultAction() override;
    BOOL AccDoDefaultAction() override;

    COLORREF m_crText;
    COLORREF m_crEmboss = RGB(255, 255, 255);
    HBRUSH m_hDefaultBrush;
    HBRUSH m_hBackBrush = nullptr;
    LOGFONTW m_lf{};
    CFont m_font;
    BOOL m_bBlinkVisible = FALSE;
    BOOL m_bTimerSet = FALSE;
    int m_nLinkType = 0;
    BOOL m_bTransparent = FALSE;
    BOOL m_bEmboss = FALSE;
    BOOL m_bNotifyParent = FALSE;
    BOOL m_bRotate = FALSE;
    int m_nBlinkMode = 0;
    HCURSOR m_hLinkCursor = nullptr;
    BOOL m_bEmbossDownRight = FALSE;
    BOOL m_bGradient = FALSE;
    COLORREF m_crGradientEnd = 0;
    COLORREF m_crBack = 0;
    CString m_strLinkTarget;
};
