#include "bmp_btn_ctrl.h"

#include "../framework/app.h"
#include "../framework/cstring.h"

namespace {
// The wizard skin's content blue, behind check boxes.
const COLORREF kCheckBoxBack = RGB(71, 93, 173);
const COLORREF kCaption = RGB(255, 255, 255);
// Border kept unscaled when an image is stretched to another size.
const SIZE kImageBorder = {5, 5};
// Between a check box's image and its caption; round the caption, room for
// the focus frame.
const int kCaptionGap = 4;
const SIZE kFocusRoom = {2, 1};

bool IsPushType(int type) { return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON; }
}  // namespace

bool CBmpBtnCtrl::IsCheckKind() const {
    switch (m_nButtonType) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return true;
    }
    return false;
}

BOOL CBmpBtnCtrl::SetBitmaps(UINT nNormal, UINT nPressed, UINT nHover, UINT nChecked, UINT nDisabled,
                             UINT nCheckedDisabled) {
    // Once owner-drawn, the style no longer tells what the button was.
    if (m_nButtonType == -1) {
        m_nButtonType = (int)(::GetWindowLongW(m_hWnd, GWL_STYLE) & 0xFF);
        m_bDefault = m_nButtonType == BS_DEFPUSHBUTTON;
    }
    // Replace the whole type field: OR-ing BS_OWNERDRAW in would give a
    // radio button (4) the undefined type 15.
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, 0);

    m_bmpNormal.DeleteObject();
    if (!m_bmpNormal.LoadBitmap(nNormal))
        return FALSE;
    struct Slot {
        StateImage* pImage;
        UINT nID;
    };
    const Slot slots[] = {{&m_imgPressed, nPressed},
                          {&m_imgHover, nHover},
                          {&m_imgChecked, nChecked},
                          {&m_imgDisabled, nDisabled},
                          {&m_imgCheckedDisabled, nCheckedDisabled}};
    BOOL ok = TRUE;
    for (const Slot& s : slots) {
        s.pImage->bmp.DeleteObject();
        s.pImage->nID = s.nID;
        if (s.nID && !::FindResourceW(AfxGetResourceHandle(), MAKEINTRESOURCEW(s.nID), RT_BITMAP))
            ok = FALSE;
    }
    return ok;
}

const SkinBitmap* CBmpBtnCtrl::StateImage::Get() {
    if (!bmp.GetSafeHandle() && nID)
        bmp.LoadBitmap(nID);
    return bmp.GetSafeHandle() ? &bmp : nullptr;
}

void CBmpBtnCtrl::SetCaptionFont(const wchar_t* pszFace, BYTE nCharSet, int nPoints, int nWeight) {
    CFont probe;
    LOGFONTW lf;
    if (!probe.CreatePointFont(nPoints * 10, pszFace) || !probe.GetLogFont(&lf))
        return;
    lf.lfCharSet = nCharSet;
    lf.lfWeight = nWeight;
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&lf);
}

HFONT CBmpBtnCtrl::CaptionFont() const {
    if (m_font.GetSafeHandle())
        return m_font;
    return reinterpret_cast<HFONT>(::SendMessageW(::GetParent(m_hWnd), WM_GETFONT, 0, 0));
}

CSize CBmpBtnCtrl::CaptionExtent() const {
    CString caption = CString::FromWindowText(m_hWnd);
    CRect rc(0, 0, 0, 0);
    HDC hdc = ::GetDC(m_hWnd);
    {
        CSelectObject font(hdc, CaptionFont());
        ::DrawTextW(hdc, caption, caption.GetLength(), &rc, DT_CALCRECT | DT_SINGLELINE);
    }
    ::ReleaseDC(m_hWnd, hdc);
    return rc.Size();
}

void CBmpBtnCtrl::MoveTo(int x, int y) {
    CSize size = m_bmpNormal.GetSize();
    int w = size.cx, h = size.cy;
    if (IsCheckKind()) {
        const CSize text = CaptionExtent();
        w += kCaptionGap + text.cx + kFocusRoom.cx;
        if (text.cy + 2 * kFocusRoom.cy > h)
            h = text.cy + 2 * kFocusRoom.cy;
    }
    if (x == 0 && y == 0)
        SetWindowPos(nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    else
        SetWindowPos(nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

void CBmpBtnCtrl::SetCheck(int nCheck) {
    if (!IsWindowEnabled() || nCheck == m_nCheck)
        return;
    m_nCheck = nCheck;
    Repaint();
    AccNotify(EVENT_OBJECT_STATECHANGE, m_hWnd);
}

BOOL CBmpBtnCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    // Only the click: the second click of a double click arrives as
    // BN_DOUBLECLICKED and leaves the state alone.
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && IsCheckKind()) {
        if (m_nButtonType == BS_RADIOBUTTON || m_nButtonType == BS_AUTORADIOBUTTON)
            SetCheck(1);
        else
            SetCheck(GetCheck() == 0 ? 1 : 0);
    }
    return CButton::OnChildNotify(message, wParam, lParam, pResult);
}

const SkinBitmap& CBmpBtnCtrl::ChooseImage(UINT nState) {
    StateImage* p = nullptr;
    const bool disabled = (nState & ODS_DISABLED) != 0;
    const bool selected = (nState & ODS_SELECTED) != 0;
    if (IsCheckKind()) {
        if (disabled && m_nCheck == 1)
            p = &m_imgCheckedDisabled;
        else if (disabled)
            p = &m_imgDisabled;
        else if (m_nCheck == 1)
            p = &m_imgChecked;
        else if (m_bHover)
            p = &m_imgHover;
        else if (selected)
            p = &m_imgPressed;
    } else {
        if (disabled)
            p = &m_imgDisabled;
        else if (selected)
            p = &m_imgPressed;
        else if (m_bHover)
            p = &m_imgHover;
    }
    const SkinBitmap* image = p ? p->Get() : nullptr;
    return image ? *image : m_bmpNormal;
}

void CBmpBtnCtrl::DrawItem(LPDRAWITEMSTRUCT pdis) {
    CRect rc;
    GetClientRect(&rc);
    CBitmap buffer;  // outlives the context it is selected into
    CMemoryDC mem(pdis->hDC);
    if (!mem.GetSafeHdc())
        return;
    if (!buffer.CreateCompatibleBitmap(pdis->hDC, rc.Width(), rc.Height()))
        return;
    mem.SelectObject(buffer);
    if (HFONT hFont = CaptionFont())
        mem.SelectObject(hFont);

    if (IsPushType(m_nButtonType))
        DrawPushButton(mem, rc, pdis->itemState);
    else if (IsCheckKind())
        DrawCheckBox(mem, rc, pdis->itemState);

    ::BitBlt(pdis->hDC, 0, 0, rc.Width(), rc.Height(), mem, 0, 0, SRCCOPY);
}

void CBmpBtnCtrl::DrawPushButton(CDC& dc, const CRect& rcClient, UINT nState) {
    const SkinBitmap& image = ChooseImage(nState);
    if (image.GetSize() == rcClient.Size())
        image.Draw(dc, 0, 0);
    else
        image.DrawBordered(dc, &rcClient, &kImageBorder);

    // A hover image of its own says enough; without one, the focus
    // rectangle is dropped while hovering so the two do not fight.
    const bool bHoverOnly = m_bHover && !(nState & (ODS_SELECTED | ODS_DISABLED)) && !m_imgHover.Get();
    CRect rcText = rcClient;
    // Not while the keyboard cues are hidden: a dialog opened with the mouse
    // shows no focus until a key is used.
    const bool bFocus = (nState & (ODS_FOCUS | ODS_NOFOCUSRECT)) == ODS_FOCUS;
    if (!bHoverOnly && (GetStyle() & WS_TABSTOP) && IsWindowEnabled() && bFocus) {
        rcText.InflateRect(-1, -1);
        dc.DrawFocusRect(&rcText);
    }

    int nOldMode = dc.SetBkMode(TRANSPARENT);
    CString caption = CString::FromWindowText(m_hWnd);
    if (!caption.IsEmpty()) {
        if (nState & ODS_SELECTED)
            rcText.OffsetRect(1, 1);
        dc.SetTextColor(IsWindowEnabled() ? kCaption : ::GetSysColor(COLOR_GRAYTEXT));
        dc.DrawText(caption, &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    dc.SetBkMode(nOldMode);
}

void CBmpBtnCtrl::DrawCheckBox(CDC& dc, const CRect& rcClient, UINT nState) {
    {
        CBrush back(kCheckBoxBack);
        dc.FillRect(&rcClient, back);
    }
    const SkinBitmap& image = ChooseImage(nState);
    const CSize size = image.GetSize();
    CRect rcImage(0, 0, size.cx, size.cy);
    rcImage.OffsetRect(0, (rcClient.top + rcClient.bottom) / 2 - size.cy / 2);
    image.DrawStretched(dc, &rcImage);

    CString caption = CString::FromWindowText(m_hWnd);
    if (caption.IsEmpty())
        return;

    COLORREF crOld = dc.SetTextColor(IsWindowEnabled() ? kCaption : ::GetSysColor(COLOR_GRAYTEXT));
    // Whole, centred in the height that MoveTo made to hold it; only the
    // control's edge clips.
    CRect rcText(size.cx + kCaptionGap, 0, size.cx + kCaptionGap, 0);
    dc.DrawText(caption, &rcText, DT_CALCRECT | DT_SINGLELINE);
    rcText.OffsetRect(0, (rcClient.top + rcClient.bottom - rcText.Height()) / 2);
    int nOldMode = dc.SetBkMode(TRANSPARENT);
    dc.DrawText(caption, &rcText, DT_SINGLELINE | DT_NOCLIP);
    dc.SetBkMode(nOldMode);
    dc.SetTextColor(crOld);

    if ((GetStyle() & WS_TABSTOP) && IsWindowEnabled() && (nState & (ODS_FOCUS | ODS_NOFOCUSRECT)) == ODS_FOCUS) {
        rcText.InflateRect(kFocusRoom.cx, kFocusRoom.cy);
        dc.DrawFocusRect(&rcText);
    }
}

LRESULT CBmpBtnCtrl::OnMouseHover() {
    m_bHover = TRUE;
    if (IsWindowEnabled())
        Repaint();
    return 0;
}

LRESULT CBmpBtnCtrl::OnMouseLeave() {
    m_bHover = FALSE;
    m_bTracking = FALSE;
    if (IsWindowEnabled())
        Repaint();
    return 0;
}

LONG CBmpBtnCtrl::AccRole() {
    if (IsPushType(m_nButtonType))
        return ROLE_SYSTEM_PUSHBUTTON;
    return m_nButtonType == BS_RADIOBUTTON || m_nButtonType == BS_AUTORADIOBUTTON ? ROLE_SYSTEM_RADIOBUTTON
                                                                                  : ROLE_SYSTEM_CHECKBUTTON;
}

DWORD CBmpBtnCtrl::AccState(DWORD dwStandard) {
    // Owner-drawn, the button keeps neither its check nor its default mark
    // where the standard object looks.
    DWORD dw = AccEnabledFocusState(m_hWnd, dwStandard & ~(STATE_SYSTEM_CHECKED | STATE_SYSTEM_DEFAULT), TRUE);
    if (IsCheckKind() && m_nCheck == 1)
        dw |= STATE_SYSTEM_CHECKED;
    if (IsPushType(m_nButtonType) && m_bDefault)
        dw |= STATE_SYSTEM_DEFAULT;
    return dw;
}

CString CBmpBtnCtrl::AccName() { return m_strAccName.IsEmpty() ? AccNameFromCaption(m_hWnd) : m_strAccName; }

const wchar_t* CBmpBtnCtrl::AccDefaultAction() {
    // The words of Windows' own buttons.
    if (IsPushType(m_nButtonType))
        return L"Press";
    return m_nCheck == 1 && AccRole() == ROLE_SYSTEM_CHECKBUTTON ? L"Uncheck" : L"Check";
}

BOOL CBmpBtnCtrl::AccDoDefaultAction() {
    // A click that nobody could make does nothing.
    if (!IsWindowEnabled() || !IsWindowVisible())
        return FALSE;
    return PostMessage(BM_CLICK);
}

BOOL CBmpBtnCtrl::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
    case WM_MOUSEMOVE:
        if (!m_bTracking) {
            TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, 1};
            m_bTracking = ::_TrackMouseEvent(&tme);
        }
        return FALSE;
    case WM_MOUSEHOVER:
        *pResult = OnMouseHover();
        return TRUE;
    case WM_MOUSELEAVE:
        *pResult = OnMouseLeave();
        return TRUE;
    case WM_GETOBJECT:
        return m_nButtonType != -1 && AnswerGetObject(this, this, wParam, lParam, pResult);
    case WM_ENABLE:
        AccNotify(EVENT_OBJECT_STATECHANGE, m_hWnd);
        return FALSE;
    case WM_ERASEBKGND:
        // DrawItem covers every pixel.
        *pResult = TRUE;
        return TRUE;
    case WM_GETDLGCODE:
        // Owner-drawn, a push button would answer as no push button at all:
        // the dialog manager would then neither make the focused one the
        // default nor let Enter press it.
        if (!IsPushType(m_nButtonType))
            return FALSE;
        *pResult = DLGC_BUTTON | (m_bDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        return TRUE;
    case BM_SETSTYLE:
        // How the dialog manager moves the default; taken as a mark, since
        // the type itself must stay owner-drawn.
        if (!IsPushType(m_nButtonType) || !IsPushType((int)(wParam & BS_TYPEMASK)))
            return FALSE;
        m_bDefault = (wParam & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        *pResult = 0;
        return TRUE;
    }
    return CButton::OnWndMsg(message, wParam, lParam, pResult);
}
