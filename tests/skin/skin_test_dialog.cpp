#include "skin_test_dialog.h"

#include "resource.h"
#include "skin_test_ids.h"

SkinTestDlg::SkinTestDlg() : CDialog(IDD_SKIN_TEST, nullptr) {}

SkinTestDlg::~SkinTestDlg() {
    if (m_hWnd) {
        ShowWindow(SW_HIDE);
        DestroyWindow();
    }
    if (m_hSkin)
        DeleteObject(m_hSkin);
}

bool SkinTestDlg::Open() {
    if (!Create())
        return false;
    // Shown without activating it: Wine waits two seconds for a window
    // manager to take down a window that was active when it was shown.
    ::SetActiveWindow(nullptr);
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 584, 411, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::UpdateWindow(m_hWnd);
    return true;
}

void SkinTestDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_T_PUSH, m_push);
    DDX_Control(pDX, IDC_T_HOVER, m_hover);
    DDX_Control(pDX, IDC_T_PRESSED, m_pressed);
    DDX_Control(pDX, IDC_T_CANCEL, m_cancel);
    DDX_Control(pDX, IDC_T_FOCUS, m_focus);
    DDX_Control(pDX, IDC_T_WIDE, m_wide);
    DDX_Control(pDX, IDC_T_CLOSE, m_close);
    DDX_Control(pDX, IDC_T_CLOSE_HOVER, m_closeHover);
    DDX_Control(pDX, IDC_T_CLOSE_DISABLED, m_closeDisabled);
    DDX_Control(pDX, IDC_T_CHECK, m_check);
    DDX_Control(pDX, IDC_T_CHECK_ON, m_checkOn);
    DDX_Control(pDX, IDC_T_CHECK_DISABLED, m_checkDisabled);
    DDX_Control(pDX, IDC_T_RADIO, m_radio);
    DDX_Control(pDX, IDC_T_PLAIN, m_plain);
    DDX_Control(pDX, IDC_T_TITLE, m_title);
    DDX_Control(pDX, IDC_T_HEADING, m_heading);
    DDX_Control(pDX, IDC_T_OPAQUE, m_opaque);
    DDX_Control(pDX, IDC_T_SOLID, m_solid);
    DDX_Control(pDX, IDC_T_GRADIENT, m_gradient);
    DDX_Control(pDX, IDC_T_EMBOSS, m_emboss);
    DDX_Control(pDX, IDC_T_ROTATED, m_rotated);
    DDX_Control(pDX, IDC_T_LINK, m_link);
    DDX_Control(pDX, IDC_T_CENTERED, m_centered);
    DDX_Control(pDX, IDC_T_BLINK, m_blink);
    DDX_Control(pDX, IDC_T_MAIL, m_mail);
}

void Place(CWnd& w, int x, int y, int cx, int cy) {
    w.SetWindowPos(nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOOWNERZORDER);
}

RECT RectInParent(HWND hWnd) {
    RECT rc;
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(nullptr, GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

BOOL SkinTestDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_hSkin = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SKIN));

    // The wizard's own bitmap sets.
    for (CBmpBtnCtrl* b : {&m_push, &m_hover, &m_pressed, &m_cancel, &m_focus, &m_wide, &m_plain})
        b->SetBitmaps(IDB_BTN_NORMAL, IDB_BTN_PRESSED, IDB_BTN_HOVER, 0, 0, 0);
    for (CBmpBtnCtrl* b : {&m_close, &m_closeHover, &m_closeDisabled})
        b->SetBitmaps(IDB_CLOSE_NORMAL, IDB_CLOSE_NORMAL, IDB_CLOSE_HOVER, 0, IDB_CLOSE_DISABLED, 0);
    for (CBmpBtnCtrl* b : {&m_check, &m_checkOn, &m_checkDisabled})
        b->SetBitmaps(IDB_CHECK_OFF, IDB_CHECK_OFF, IDB_CHECK_OFF, IDB_CHECK_ON, 0, 0);
    m_radio.SetBitmaps(IDB_RADIO_EMPTY, IDB_RADIO_EMPTY, IDB_RADIO_EMPTY, IDB_RADIO_SET, 0, 0);

    // Title and heading exactly as the wizard makes them.
    m_title.SetCaption(L"Tarvex Array Console - Installation Wizard")
        .SetTextColor(RGB(85, 0, 0))
        .SetFaceName(L"Arial", ANSI_CHARSET)
        .SetPointSize(11)
        .SetBold(TRUE)
        .SetTransparent(TRUE);
    m_heading.SetCaption(L"Welcome to the installation")
        .SetTextColor(RGB(255, 255, 255))
        .SetFaceName(L"Arial", ANSI_CHARSET)
        .SetPointSize(10)
        .SetBold(TRUE)
        .SetTransparent(TRUE);
    m_solid.SetBackground(RGB(255, 246, 200)).SetTextColor(RGB(60, 40, 0));
    m_gradient.SetBackground(RGB(0, 56, 85), RGB(120, 200, 255), TRUE).SetTextColor(RGB(255, 255, 255));
    m_emboss.SetBackground(RGB(160, 160, 170)).SetTextColor(RGB(60, 60, 70)).SetEmbossed(TRUE, TRUE);
    m_rotated.SetTextColor(RGB(255, 255, 255))
        .SetFaceName(L"Arial", ANSI_CHARSET)
        .SetPointSize(10)
        .SetAngle(90, TRUE)
        .SetTransparent(TRUE);
    m_link.SetTextColor(RGB(170, 220, 255)).SetUnderline(TRUE).SetTransparent(TRUE).SetWebLink(TRUE, FALSE);
    m_link.SetLinkCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
    m_mail.SetTextColor(RGB(170, 220, 255)).SetItalic(TRUE).SetTransparent(TRUE).SetMailLink(TRUE, FALSE);
    m_centered.SetBackground(RGB(0, 56, 85)).SetTextColor(RGB(255, 255, 255));
    m_blink.SetTextColor(RGB(0, 128, 0));

    // Pixels over the 584 x 411 skin: title band, heading band, content
    // blue, button band.
    Place(m_title, 14, 7, 480, 15);
    Place(m_heading, 35, 55, 514, 35);
    Place(m_opaque, 200, 100, 170, 18);
    Place(m_solid, 380, 100, 140, 18);
    Place(m_gradient, 200, 124, 250, 18);
    Place(m_emboss, 200, 148, 250, 18);
    Place(m_rotated, 530, 100, 36, 120);
    Place(m_link, 200, 172, 250, 16);
    Place(m_mail, 200, 192, 250, 16);
    Place(m_centered, 200, 212, 250, 26);
    Place(m_blink, 200, 244, 250, 18);
    m_close.MoveTo(552, 11);
    m_closeHover.MoveTo(526, 11);
    m_closeDisabled.MoveTo(500, 11);
    Place(m_wide, 200, 268, 170, 30);
    m_plain.MoveTo(390, 272);
    m_check.MoveTo(200, 304);
    m_checkOn.MoveTo(200, 336);
    m_checkDisabled.MoveTo(360, 336);
    m_radio.MoveTo(420, 304);
    m_push.MoveTo(6, 380);
    m_hover.MoveTo(121, 380);
    m_pressed.MoveTo(236, 380);
    m_cancel.MoveTo(351, 380);
    m_focus.MoveTo(466, 380);
    return TRUE;
}

BOOL SkinTestDlg::OnCommand(WPARAM wParam, LPARAM) {
    m_commands.push_back({LOWORD(wParam), HIWORD(wParam)});
    return TRUE;
}

BOOL SkinTestDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (CDialog::OnWndMsg(message, wParam, lParam, pResult))
        return TRUE;
    switch (message) {
    case WM_ERASEBKGND: {
        // The face is the skin, as in the wizard.
        HDC mem = CreateCompatibleDC(reinterpret_cast<HDC>(wParam));
        HGDIOBJ old = SelectObject(mem, m_hSkin);
        BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, 584, 411, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
        *pResult = TRUE;
        return TRUE;
    }
    case WM_NOTIFY:
        m_notes.push_back(*reinterpret_cast<NMHDR*>(lParam));
        *pResult = 0;
        return TRUE;
    }
    return FALSE;
}
