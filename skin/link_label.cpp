#include "link_label.h"

#include <shellapi.h>

namespace {
const UINT_PTR kBlinkTimer = 1;
const UINT kBlinkPeriodMs = 500;
const int kGradientSteps = 100;
}  // namespace

LinkLabel::ShellExecuteProc LinkLabel::s_pfnShellExecute = ::ShellExecuteW;

LinkLabel::LinkLabel()
    : m_crText(::GetSysColor(COLOR_WINDOWTEXT)), m_hDefaultBrush(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE))) {}

LinkLabel::~LinkLabel() {
    if (m_hDefaultBrush)
        ::DeleteObject(m_hDefaultBrush);
    if (m_hBackBrush)
        ::DeleteObject(m_hBackBrush);
}

void LinkLabel::PreSubclassWindow() {
    CStatic::PreSubclassWindow();
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!hFont)
        hFont = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    ::GetObjectW(hFont, sizeof(LOGFONTW), &m_lf);
    RebuildFont();
}

void LinkLabel::RebuildFont() {
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_lf);
}

void LinkLabel::RedrawWithParent() {
    // Hidden, as every label is while its dialog is set up, it shows
    // nothing that could be out of date; showing it paints it afresh.
    if (!::IsWindow(m_hWnd) || !::IsWindowVisible(m_hWnd))
        return;
    RECT rc;
    GetWindowRect(&rc);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // What the parent paints beneath a transparent label changes with it.
    HWND hParent = GetParent();
    if (!hParent)
        return;
    ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
    ::InvalidateRect(hParent, &rc, TRUE);
    ::UpdateWindow(hParent);
}

LinkLabel& LinkLabel::SetBackground(COLORREF crBack, COLORREF crGradientEnd, BOOL bGradient) {
    m_crBack = crBack;
    m_crGradientEnd = crGradientEnd;
    m_bGradient = bGradient;
    if (m_hBackBrush) {
        ::DeleteObject(m_hBackBrush);
        m_hBackBrush = nullptr;
    }
    if (!bGradient)
        m_hBackBrush = ::CreateSolidBrush(crBack);
    RedrawWithParent();
    return *this;
}

LinkLabel& LinkLabel::SetTextColor(COLORREF crText) {
    m_crText = crText;
    RedrawWithParent();
    return *this;
}

LinkLabel& LinkLabel::SetCaption(const CString& strCaption) {
    if (::IsWindow(m_hWnd)) {
        SetWindowText(strCaption);
        RedrawWithParent();
        // A new heading is read out, as a screen reader reads a new window.
        AccNotify(EVENT_OBJECT_NAMECHANGE, m_hWnd);
    }
    return *this;
}

LinkLabel& LinkLabel::SetBold(BOOL bBold) {
    m_lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    RedrawWithParent();
    return *this;
}

LinkLabel& LinkLabel::SetFaceName(const CString& strFace, BYTE nCharSet) {
    m_lf.lfCharSet = nCharSet;
    // At most LF_FACESIZE - 1 characters; a longer name is cut, and never
    // between the two halves of a surrogate pair.
    int n = strFace.GetLength();
    if (n > LF_FACESIZE - 1) {
        n = LF_FACESIZE - 1;
        if (IS_HIGH_SURROGATE(strFace.GetAt(n - 1)))
            --n;
    }
    for (int i = 0; i < n; ++i)
        m_lf.lfFaceName[i] = strFace.GetAt(i);
    m_lf.lfFaceName[n] = L'\0';
    RebuildFont();
    RedrawWithParent();
    return *this;
}

LinkLabel& LinkLabel::SetUnderline(BOOL bUnderline) {
    m_lf.lfUnderline = (BYTE)bUnderline;
    RebuildFont();
    RedrawWithParent();
    return *this;
}

LinkLabel& LinkLabel::SetItalic(BOOL bItalic) {
    m_lf.lfItalic = (BYTE)bItalic;
    RebuildFont();
    RedrawWithParent();
    return *this;
}

LinkLabel& LinkLabel::SetPointSize(int nPoints) {
    {
        // Only its height and width are wanted: the screen's conversion.
        CFont probe;
        probe.CreatePointFont(nPoints * 10, m_lf.lfFaceName, nullptr);
        LOGFONTW lf;
        if (probe.GetLogFont(&lf)) {
            m_lf.lfHeight = lf.lfHeight;
            m_lf.lfWidth = lf.lfWidth;
        }
    }
    RebuildFont();
    RedrawWithParent();
    return *this;
}

LinkLabel& LinkLabel::SetSunkenEdge(BOOL bSunken) {
    if (bSunken)
        ModifyStyleEx(0, WS_EX_STATICEDGE, SWP_FRAMECHANGED);
    else
        ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
    return *this;
}

LinkLabel& LinkLabel::SetThinBorder(BOOL bBorder) {
    if (bBorder)
        ModifyStyle(0, WS_BORDER, SWP_FRAMECHANGED);
    else
        ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED);
    return *this;
}

LinkLabel& LinkLabel::SetTransparent(BOOL bTransparent) {
    m_bTransparent = bTransparent;
    // Siblings beneath paint first either way.
    ModifyStyleEx(0, WS_EX_TRANSPARENT, 0);
    RedrawWithParent();
    return *this;
}

void LinkLabel::StopBlinkTimer() {
    if (m_bTimerSet)
        KillTimer(kBlinkTimer);
}

void LinkLabel::StartBlinkTimer() {
    m_bBlinkVisible = FALSE;
    m_bTimerSet = TRUE;
    SetTimer(kBlinkTimer, kBlinkPeriodMs);
}

LinkLabel& LinkLabel::BlinkText(BOOL bBlink) {
    StopBlinkTimer();
    if (bBlink) {
        StartBlinkTimer();
        m_nBlinkMode = 1;
    } else {
        m_nBlinkMode = 0;
    }
    return *this;
}

LinkLabel& LinkLabel::BlinkBackground(BOOL bBlink) {
    StopBlinkTimer();
    if (bBlink) {
        StartBlinkTimer();
        m_nBlinkMode = 2;
    }
    return *this;
}

LinkLabel& LinkLabel::SetWebLink(BOOL bLink, BOOL bNotifyParent) {
    m_nLinkType = bLink ? 1 : 0;
    m_bNotifyParent = bNotifyParent;
    // A static control takes no clicks without SS_NOTIFY.
    if (m_nLinkType)
        ModifyStyle(0, SS_NOTIFY, 0);
    else
        ModifyStyle(SS_NOTIFY, 0, 0);
    return *this;
}

LinkLabel& LinkLabel::SetMailLink(BOOL bLink, BOOL bNotifyParent) {
    m_nLinkType = bLink ? 2 : 0;
    m_bNotifyParent = bNotifyParent;
    if (m_nLinkType)
        ModifyStyle(0, SS_NOTIFY, 0);
    else
        ModifyStyle(SS_NOTIFY, 0, 0);
    return *this;
}

LinkLabel& LinkLabel::SetLinkCursor(HCURSOR hCursor) {
    m_hLinkCursor = hCursor;
    return *this;
}

LinkLabel& LinkLabel::SetEmbossed(BOOL bEmboss, BOOL bDownRight) {
    m_bEmboss = bEmboss;
    m_bEmbossDownRight = bDownRight;
    RedrawWithParent();
    return *this;
}

LinkLabel& LinkLabel::SetAngle(int nDegrees, BOOL bRotate) {
    m_lf.lfEscapement = m_lf.lfOrientation = nDegrees * 10;
    m_bRotate = bRotate;
    RebuildFont();
    RedrawWithParent();
    return *this;
}

LinkLabel& LinkLabel::SetEmbossColor(COLORREF cr) {
    m_crEmboss = cr;
    RedrawWithParent();
    return *this;
}

LinkLabel& LinkLabel::SetLogFont(LOGFONTW lf) {
    m_lf = lf;
    RebuildFont();
    RedrawWithParent();
    return *this;
}

LinkLabel& LinkLabel::SetLinkTarget(const CString& strTarget) {
    m_strLinkTarget = strTarget;
    return *this;
}

void LinkLabel::DrawGradient(HDC hdc, const RECT* prc, COLORREF crStart, COLORREF crEnd, int nSteps) {
    const int width = prc->right - prc->left;
    if (width <= 0)
        return;
    const int n = nSteps < width ? nSteps : width;
    const int d = n > 1 ? n : 1;
    // Channels in 1/256 steps, so that narrow steps still add up.
    int value[3] = {GetRValue(crStart) * 256, GetGValue(crStart) * 256, GetBValue(crStart) * 256};
    const int step[3] = {((GetRValue(crEnd) - GetRValue(crStart)) * 256) / d,
                         ((GetGValue(crEnd) - GetGValue(crStart)) * 256) / d,
                         ((GetBValue(crEnd) - GetBValue(crStart)) * 256) / d};
    const int band = width / d;

    CSelectObject pen(hdc, ::GetStockObject(NULL_PEN));
    int left = prc->left;
    for (int i = 0; i < n; ++i) {
        const int right = (i == n - 1) ? prc->right : left + band;
        CBrush brush(RGB(value[0] / 256, value[1] / 256, value[2] / 256));
        {
            CSelectObject sel(hdc, brush);
            // A null pen leaves out the right and bottom edge: one more each.
            ::Rectangle(hdc, left, prc->top, right + 1, prc->bottom + 1);
        }
        left = right;
        for (int c = 0; c < 3; ++c)
            value[c] += step[c];
    }
}

void LinkLabel::Paint(HDC hdc) {
    CRect rc;
    GetClientRect(&rc);
    CString caption = CString::FromWindowText(m_hWnd);
    if (m_bTransparent) {
        // Over whatever the parent left beneath.
        CDC dc(hdc);
        DrawLabel(dc, rc, caption);
        return;
    }
    // Composed off-screen and copied in one step, so the text never flickers.
    CBitmap buffer;
    CMemoryDC mem(hdc);
    if (!mem.GetSafeHdc() || !buffer.CreateCompatibleBitmap(hdc, rc.Width(), rc.Height()))
        return;
    mem.SelectObject(buffer);
    DrawLabel(mem, rc, caption);
    ::BitBlt(hdc, 0, 0, rc.Width(), rc.Height(), mem, 0, 0, SRCCOPY);
}

void LinkLabel::DrawLabel(CDC& dc, const CRect& rc, const CString& caption) {
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF crOld = dc.SetTextColor(m_crText);
    HGDIOBJ hOldFont = m_font.GetSafeHandle() ? dc.SelectObject(m_font) : nullptr;

    if (!m_bTransparent) {
        if (m_bGradient)
            DrawGradient(dc, &rc, m_crBack, m_crGradientEnd, kGradientSteps);
        else
            dc.FillRect(&rc, m_hBackBrush ? m_hBackBrush : m_hDefaultBrush);
    }

    if (m_nBlinkMode == 1 && !m_bBlinkVisible) {
        // Hidden phase: the text in the background's own colour.
        LOGBRUSH lb;
        COLORREF crHidden = 0;
        if (m_hBackBrush && ::GetObjectW(m_hBackBrush, sizeof(lb), &lb))
            crHidden = lb.lbColor;
        dc.SetTextColor(crHidden);
    }

    const DWORD style = GetStyle();
    UINT fmt;
    switch (style & SS_TYPEMASK) {
    case SS_LEFT:
        fmt = DT_WORDBREAK;
        break;
    case SS_CENTER:
        fmt = DT_CENTER | DT_WORDBREAK;
        break;
    case SS_RIGHT:
        fmt = DT_RIGHT | DT_WORDBREAK;
        break;
    case SS_LEFTNOWORDWRAP:
        fmt = DT_LEFT;
        break;
    default:
        fmt = DT_WORDBREAK;
        break;
    }
    if (caption.Find(L'\t') >= 0)
        fmt |= DT_EXPANDTABS;
    if (style & SS_CENTERIMAGE)
        fmt = caption.Find(L"\r\n") < 0 ? DT_CENTER | DT_VCENTER | DT_SINGLELINE : DT_CENTER;

    if (m_bRotate) {
        // About the centre; the viewport moves relative to where the caller
        // put it (a print into a parent's context has its own origin).
        const UINT nOldAlign = dc.SetTextAlign(TA_BASELINE);
        const CPoint org = dc.GetViewportOrg();
        dc.SetViewportOrg(org.x + rc.Width() / 2, org.y + rc.Height() / 2);
        dc.TextOut(0, 0, caption);
        dc.SetViewportOrg(org.x, org.y);
        dc.SetTextAlign(nOldAlign);
    } else {
        CRect rcText = rc;
        dc.DrawText(caption, &rcText, fmt);
        if (m_bEmboss) {
            dc.SetTextColor(m_crEmboss);
            const int d = m_bEmbossDownRight ? 1 : -1;
            rcText = rc;
            rcText.OffsetRect(d, d);
            dc.DrawText(caption, &rcText, fmt);
        }
    }

    dc.SetBkMode(nOldMode);
    if (hOldFont)
        dc.SelectObject(hOldFont);
    dc.SetTextColor(crOld);
}

void LinkLabel::OnLButtonDown() {
    if (m_bNotifyParent) {
        NMHDR nm;
        nm.hwndFrom = m_hWnd;
        nm.idFrom = (UINT_PTR)GetDlgCtrlID();
        nm.code = kLinkLabelClicked;
        ::SendMessageW(GetParent(), WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
        return;
    }
    CString caption = CString::FromWindowText(m_hWnd);
    if (m_nLinkType == 1) {
        const CString& target = m_strLinkTarget.IsEmpty() ? caption : m_strLinkTarget;
        s_pfnShellExecute(nullptr, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
    } else if (m_nLinkType == 2) {
        CString mail = L"mailto:" + caption;
        s_pfnShellExecute(nullptr, nullptr, mail, nullptr, nullptr, SW_SHOWNORMAL);
    }
}

void LinkLabel::OnSysColorChange() {
    if (m_hDefaultBrush)
        ::DeleteObject(m_hDefaultBrush);
    m_hDefaultBrush = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    RedrawWithParent();
}

LONG LinkLabel::AccRole() { return m_nLinkType ? ROLE_SYSTEM_LINK : ROLE_SYSTEM_STATICTEXT; }

DWORD LinkLabel::AccState(DWORD dwStandard) {
    return AccEnabledFocusState(m_hWnd, dwStandard, FALSE) |
           (m_nLinkType ? STATE_SYSTEM_LINKED : STATE_SYSTEM_READONLY);
}

CString LinkLabel::AccName() { return AccNameFromCaption(m_hWnd); }

const wchar_t* LinkLabel::AccDefaultAction() { return m_nLinkType ? L"Jump" : nullptr; }

BOOL LinkLabel::AccDoDefaultAction() {
    if (!m_nLinkType || !IsWindowEnabled())
        return FALSE;
    return PostMessage(WM_LBUTTONDOWN) && PostMessage(WM_LBUTTONUP);
}

BOOL LinkLabel::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
    case WM_PAINT: {
        CPaintDC dc(m_hWnd);
        Paint(dc);
        *pResult = 0;
        return TRUE;
    }
    case WM_PRINTCLIENT:
        // Captures (PrintWindow) see what WM_PAINT draws.
        Paint(reinterpret_cast<HDC>(wParam));
        *pResult = 0;
        return TRUE;
    case WM_ERASEBKGND:
        *pResult = TRUE;
        return TRUE;
    case WM_TIMER:
        m_bBlinkVisible = !m_bBlinkVisible;
        RedrawWithParent();
        return FALSE;
    case WM_LBUTTONDOWN:
        OnLButtonDown();
        return FALSE;
    case WM_SETCURSOR:
        if (m_hLinkCursor) {
            ::SetCursor(m_hLinkCursor);
            *pResult = TRUE;
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return FALSE;
    case WM_GETOBJECT:
        return AnswerGetObject(this, this, wParam, lParam, pResult);
    }
    return CStatic::OnWndMsg(message, wParam, lParam, pResult);
}
