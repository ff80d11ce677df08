#include "setup_wizard_dlg.h"

#include "../engine/config.h"
#include "../engine/flags.h"
#include "../engine/install.h"
#include "../framework/app.h"
#include "../res/resource.h"
#include "../skin/skin_bitmap.h"
#include "skin_layout.h"
#include "wizard_texts.h"

SetupThreadParam g_setupThreadParam;

namespace {

// Captions of the buttons; every other text, the check box's included.
constexpr int kCaptionChars = 128;
constexpr int kTextChars = 1024;

constexpr COLORREF kSkinKey = RGB(255, 0, 255);
// Posted by the first paint: the icons cost Wine a few milliseconds to hand
// to the X server, and the first paint shows none of them.
constexpr UINT WM_SETUP_ICONS = WM_USER + 101;
// Without its skin the wizard keeps the skin's size, for which the layout is
// made, and paints the skin's title band and content colour instead.
constexpr int kPlainWidth = 584, kPlainHeight = 411, kPlainTitleHeight = 26;
constexpr COLORREF kPlainTitleColor = RGB(214, 218, 227);
constexpr COLORREF kPlainBodyColor = RGB(71, 93, 173);
constexpr COLORREF kTitleColor = RGB(85, 0, 0);
constexpr COLORREF kLabelColor = RGB(255, 255, 255);
const wchar_t kLabelFace[] = L"Arial";

// The skin comes in two pieces: the frame as a palette bitmap, and the
// picture panel, more colours than a palette holds, as a 24-bit piece laid
// over it once here. Without the panel the frame still makes a skin.
HBITMAP LoadSkin() {
    HBITMAP hSkin = LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDB_SKIN));
    CBitmap panel;
    BITMAP bm;
    if (!hSkin || !panel.LoadBitmap(IDB_SKIN_PANEL) || !panel.GetBitmap(&bm))
        return hSkin;
    CMemoryDC to(nullptr), from(nullptr);
    CSelectObject intoSkin(to, hSkin), fromPanel(from, panel);
    to.BitBlt(SKIN_PANEL_X, SKIN_PANEL_Y, bm.bmWidth, bm.bmHeight, from, 0, 0, SRCCOPY);
    return hSkin;
}

void PostStatus(HWND hWnd, int nCode, SetupResult result) {
    PostMessageW(hWnd, WM_SETUP_STATUS, (WPARAM)nCode, result);
}

}  // namespace

DWORD WINAPI SetupThreadProc(LPVOID pParam) {
    // The block is the dialog's and may be reused: work on a copy.
    SetupThreadParam param = *static_cast<const SetupThreadParam*>(pParam);
    SetupConfig cfg;
    ReadSetupConfig(param.szSourceFolder, &cfg);
    if (param.bUninstall) {
        PostStatus(param.hWnd, SETUP_UNINSTALL_BEGIN, kSetupFailed);
        PostStatus(param.hWnd, SETUP_UNINSTALL_END, UninstallPackage(&cfg));
    } else {
        PostStatus(param.hWnd, SETUP_INSTALL_BEGIN, kSetupFailed);
        PostStatus(param.hWnd, SETUP_INSTALL_END, InstallPackage(param.szSourceFolder, &cfg));
    }
    return 1;
}

SetupWizardDlg::SetupWizardDlg(const wchar_t* pszSourceFolder, int bUninstall, CWnd* pParent)
    : CDialog(IDD_SETUP_WIZARD, pParent), m_bmSkin(), m_hSkinBitmap(nullptr) {
    // A folder that does not fit reads as no folder: setup.ini's defaults.
    Format(m_szSourceFolder, L"%ls", pszSourceFolder);
    m_szTitle[0] = L'\0';
    m_bUninstall = bUninstall;
    m_bInstallDone = 0;
}

SetupWizardDlg::~SetupWizardDlg() {
    // The dialog does not end under a running procedure; should it end
    // anyway, the procedure still finishes before the process can.
    if (m_hWorker) {
        WaitForSingleObject(m_hWorker, INFINITE);
        CloseHandle(m_hWorker);
    }
    if (m_hSkinBitmap)
        DeleteObject(m_hSkinBitmap);
}

void SetupWizardDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CHK_LAUNCH, m_chkLaunch);
    DDX_Control(pDX, IDC_BTN_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_STATIC_TITLE, m_lblTitle);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_STATIC_TEXT, m_lblText);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_STATIC_HEADING, m_lblHeading);
    DDX_Control(pDX, IDC_BTN_ACTION, m_btnAction);
    DDX_Control(pDX, IDC_RADIO_RESTART_NOW, m_radRestartNow);
    DDX_Control(pDX, IDC_RADIO_RESTART_LATER, m_radRestartLater);
}

BOOL SetupWizardDlg::OnInitDialog() {
    // Under Wine a control we have subclassed is slow to talk to (a move
    // costs about a millisecond, twenty times a plain one): the controls are
    // set up as they are, activation included, and taken over
    // (CDialog::OnInitDialog) last.
    CDataExchange attach(this, true);
    DoDataExchange(&attach);
    LoadSkinBitmaps();
    InitTexts();
    ApplySkinRegion();
    LayoutControls();
    CDialog::OnInitDialog();
    FocusDefault(m_btnAction);
    return FALSE;  // the focus is set
}

void SetupWizardDlg::FocusDefault(CBmpBtnCtrl& button) {
    // Through the dialog manager, so that Enter presses the button, and Tab
    // and Escape reach the dialog: the owner-drawn buttons take no focus of
    // their own, and a disabled one loses it.
    SendMessage(DM_SETDEFID, (WPARAM)button.GetDlgCtrlID());
    SendMessage(WM_NEXTDLGCTL, (WPARAM)button.GetSafeHwnd(), TRUE);
}

void SetupWizardDlg::LoadSkinBitmaps() {
    m_hSkinBitmap = LoadSkin();
    if (!m_hSkinBitmap)
        AfxMessageBox(L"Error loading bitmap", MB_OK);
    m_btnClose.SetBitmaps(IDB_CLOSE_NORMAL, IDB_CLOSE_NORMAL, IDB_CLOSE_HOVER, 0, IDB_CLOSE_DISABLED, 0);
    m_btnAction.SetBitmaps(IDB_BTN_NORMAL, IDB_BTN_PRESSED, IDB_BTN_HOVER, 0, 0, 0);
    m_btnOK.SetBitmaps(IDB_BTN_NORMAL, IDB_BTN_PRESSED, IDB_BTN_HOVER, 0, 0, 0);
    m_btnCancel.SetBitmaps(IDB_BTN_NORMAL, IDB_BTN_PRESSED, IDB_BTN_HOVER, 0, 0, 0);
    m_chkLaunch.SetBitmaps(IDB_CHECK_OFF, IDB_CHECK_OFF, IDB_CHECK_OFF, IDB_CHECK_ON, 0, 0);
    m_radRestartNow.SetBitmaps(IDB_RADIO_EMPTY, IDB_RADIO_EMPTY, IDB_RADIO_EMPTY, IDB_RADIO_SET, 0, 0);
    m_radRestartLater.SetBitmaps(IDB_RADIO_EMPTY, IDB_RADIO_EMPTY, IDB_RADIO_EMPTY, IDB_RADIO_SET, 0, 0);
}

void SetupWizardDlg::InitTexts() {
    wchar_t szName[kPathChars];
    wchar_t szIni[kPathChars];
    DWORD nName;
    if (Format(szIni, L"%ls%ls", m_szSourceFolder, kIniFileName)) {
        nName = GetPrivateProfileStringW(kSectionStartup, kKeyAppName, kDefaultAppName, szName, kPathChars, szIni);
    } else {
        Format(szName, L"%ls", kDefaultAppName);
        nName = (DWORD)lstrlenW(szName);
    }
    if (nName != 0) {
        // An over-long name is cut so that the suffix still fits, and never
        // between the halves of a surrogate pair.
        wchar_t szSuffix[kCaptionChars];
        LoadWizardText(m_bUninstall ? IDS_UNINSTALL_TITLE_SUFFIX : IDS_INSTALL_TITLE_SUFFIX, szSuffix);
        DWORD nRoom = (DWORD)(kPathChars - 1 - lstrlenW(szSuffix));
        if (nName > nRoom) {
            nName = nRoom;
            if (IS_HIGH_SURROGATE(szName[nName - 1]))
                --nName;
            szName[nName] = L'\0';
        }
        Format(m_szTitle, L"%ls%ls", szName, szSuffix);
    } else {
        m_szTitle[0] = L'\0';
    }
    // Arial in the character set of the texts: for a language beyond
    // Western scripts the font mapper then picks a face that has its glyphs.
    const BYTE nCharset = WizardTextCharset();
    m_lblTitle.SetCaption(m_szTitle)
        .SetTextColor(kTitleColor)
        .SetFaceName(kLabelFace, nCharset)
        .SetPointSize(11)
        .SetBold(TRUE)
        .SetTransparent(TRUE);
    SetWindowText(m_szTitle);

    wchar_t szAction[kCaptionChars], szFinish[kCaptionChars], szCancel[kCaptionChars];
    wchar_t szHeading[kTextChars], szText[kTextChars];
    if (m_bUninstall) {
        LoadWizardText(IDS_ACTION_REMOVE, szAction);
        LoadWizardText(IDS_REMOVE_READY_HEADING, szHeading);
        LoadWizardText(IDS_REMOVE_READY_TEXT, szText);
    } else {
        wchar_t szLaunch[kTextChars];
        LoadWizardText(IDS_ACTION_INSTALL, szAction);
        LoadWizardText(IDS_INSTALL_READY_HEADING, szHeading);
        LoadWizardText(IDS_INSTALL_READY_TEXT, szText);
        LoadWizardText(IDS_LAUNCH_APP, szLaunch);
        m_chkLaunch.SetWindowText(szLaunch);
    }
    wchar_t szRestart[kTextChars];
    LoadWizardText(IDS_RESTART_NOW, szRestart);
    m_radRestartNow.SetWindowText(szRestart);
    LoadWizardText(IDS_RESTART_LATER, szRestart);
    m_radRestartLater.SetWindowText(szRestart);
    LoadWizardText(IDS_FINISH, szFinish);
    LoadWizardText(IDS_CANCEL, szCancel);
    m_btnAction.SetWindowText(szAction);
    m_btnOK.SetWindowText(szFinish);
    m_btnCancel.SetWindowText(szCancel);
    // The dialog's font has no glyphs of most scripts, and what Wine puts in
    // for it, a CJK face, draws 12-pixel glyphs from bitmaps that lack
    // strokes: the captions take the labels' face, character set and weight
    // at the dialog font's size.
    CBmpBtnCtrl* const captioned[] = {&m_btnAction, &m_btnOK,         &m_btnCancel,
                                      &m_chkLaunch, &m_radRestartNow, &m_radRestartLater};
    for (CBmpBtnCtrl* pButton : captioned)
        pButton->SetCaptionFont(kLabelFace, nCharset, 9, FW_BOLD);
    // The close button shows a picture only: its name is for screen readers.
    wchar_t szClose[kCaptionChars];
    LoadWizardText(IDS_CLOSE, szClose);
    m_btnClose.SetAccessibleName(szClose);

    m_lblHeading.SetCaption(szHeading)
        .SetTextColor(kLabelColor)
        .SetFaceName(kLabelFace, nCharset)
        .SetPointSize(10)
        .SetBold(TRUE)
        .SetTransparent(TRUE);
    m_lblText.SetCaption(szText)
        .SetTextColor(kLabelColor)
        .SetFaceName(kLabelFace, nCharset)
        .SetPointSize(9)
        .SetBold(TRUE)
        .SetTransparent(TRUE);
}

void SetupWizardDlg::ApplySkinRegion() {
    int cx = kPlainWidth, cy = kPlainHeight;
    if (m_hSkinBitmap && GetObjectW(m_hSkinBitmap, sizeof(m_bmSkin), &m_bmSkin)) {
        cx = m_bmSkin.bmWidth;
        cy = m_bmSkin.bmHeight;
        // Bitmap pixels are window pixels: the region needs no offset. The
        // window owns the region from here on.
        HRGN hRgn = SkinBitmap::CreateRegion(m_hSkinBitmap, kSkinKey);
        if (hRgn && !SetWindowRgn(m_hWnd, hRgn, FALSE))  // not shown yet: nothing to redraw
            DeleteObject(hRgn);
    } else {
        m_bmSkin = BITMAP();
    }
    SetWindowPos(nullptr, GetSystemMetrics(SM_CXSCREEN) / 2 - cx / 2, GetSystemMetrics(SM_CYSCREEN) / 2 - cy / 2, cx,
                 cy, 0);
}

void SetupWizardDlg::LayoutControls() {
    RECT rc;
    GetClientRect(&rc);
    const int W = rc.right;
    // The dialog is not shown yet: its first paint draws everything.
    const UINT kFlags = SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_NOREDRAW;
    m_lblTitle.SetWindowPos(nullptr, 14, 7, W - 60, 18, kFlags);  // descenders too
    m_lblHeading.SetWindowPos(nullptr, 35, 55, W - 70, 35, kFlags);
    m_lblText.SetWindowPos(nullptr, 200, 170, W - 230, 60, kFlags);
    m_btnClose.MoveTo(W - 32, 11);
    m_btnAction.MoveTo(W - 272, 380);
    // Finish shares the action button's place, the check box the bar's:
    // each state shows one of a pair. Finish, the check box and the bar
    // start hidden (the template).
    m_btnOK.MoveTo(W - 272, 380);
    m_btnCancel.MoveTo(W - 133, 380);
    m_chkLaunch.MoveTo(200, 235);
    m_radRestartNow.MoveTo(200, 235);
    m_radRestartLater.MoveTo(200, 268);
    m_progress.SetWindowPos(nullptr, 205, 235, W - 245, 30, kFlags);
}

HANDLE SetupWizardDlg::StartSetupThread(int bUninstall) {
    Format(g_setupThreadParam.szSourceFolder, L"%ls", m_szSourceFolder);
    g_setupThreadParam.hWnd = GetSafeHwnd();
    g_setupThreadParam.bUninstall = bUninstall;
    DWORD dwThreadId = 0;
    return CreateThread(nullptr, 0, SetupThreadProc, &g_setupThreadParam, 0, &dwThreadId);
}

BOOL SetupWizardDlg::IsWorkerBusy() const {
    return m_hWorker && !m_bWorkerEnded && WaitForSingleObject(m_hWorker, 0) == WAIT_TIMEOUT;
}

void SetupWizardDlg::OnBtnAction() {
    // One procedure per wizard: a second click (or Enter) before the begin
    // notification disables the button must not start another, nor touch
    // the block the first worker may not have copied yet.
    if (m_hWorker)
        return;
    m_hWorker = StartSetupThread(m_bUninstall);
}

void SetupWizardDlg::OnBtnClose() { SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }

void SetupWizardDlg::OnOK() {
    if (IsWorkerBusy())
        return;
    if (m_bInstallDone)
        g_bLaunchApp = m_chkLaunch.GetCheck() ? TRUE : FALSE;
    m_bRestartNow = m_bWorkerEnded && m_result == kSetupRestartNeeded && m_radRestartNow.GetCheck();
    CDialog::OnOK();
}

void SetupWizardDlg::OnCancel() {
    // Escape, Alt+F4 and WM_CLOSE all end here.
    if (IsWorkerBusy()) {
        MessageBeep(MB_OK);
        return;
    }
    CDialog::OnCancel();
}

BOOL SetupWizardDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_BTN_ACTION:
            OnBtnAction();
            return TRUE;
        case IDC_BTN_CLOSE:
            OnBtnClose();
            return TRUE;
        case IDC_RADIO_RESTART_NOW:
        case IDC_RADIO_RESTART_LATER:
            // One of the two, as radio buttons are; owner-drawn, they do not
            // clear each other.
            m_radRestartNow.SetCheck(LOWORD(wParam) == IDC_RADIO_RESTART_NOW);
            m_radRestartLater.SetCheck(LOWORD(wParam) == IDC_RADIO_RESTART_LATER);
            return TRUE;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void SetupWizardDlg::OnSetupStatus(WPARAM wParam, LPARAM lParam) {
    const int nCode = (int)(wParam & 0xFF);
    wchar_t szHeading[kTextChars], szText[kTextChars];
    switch (nCode) {
    case SETUP_INSTALL_BEGIN:
    case SETUP_UNINSTALL_BEGIN: {
        const bool bInstall = nCode == SETUP_INSTALL_BEGIN;
        m_progress.SetRange(0, 100);
        m_progress.SetStep(kProgressStep);
        m_progress.SetPos(0);
        m_progress.ShowWindow(SW_SHOW);
        m_btnAction.EnableWindow(FALSE);
        m_btnCancel.EnableWindow(FALSE);
        m_btnClose.EnableWindow(FALSE);
        LoadWizardText(bInstall ? IDS_INSTALL_WORKING_HEADING : IDS_REMOVE_WORKING_HEADING, szHeading);
        LoadWizardText(bInstall ? IDS_INSTALL_WORKING_TEXT : IDS_REMOVE_WORKING_TEXT, szText);
        m_lblHeading.SetCaption(szHeading);
        m_lblText.SetCaption(szText);
        SetTimer(IDT_PROGRESS, kProgressPeriodMs);
        break;
    }
    case SETUP_INSTALL_END:
    case SETUP_UNINSTALL_END: {
        // Only the end of the procedure this wizard runs, and only once: any
        // other would show a result that no procedure reported.
        if (!m_hWorker || m_bWorkerEnded)
            break;
        const bool bInstall = nCode == SETUP_INSTALL_END;
        m_result = lParam == kSetupDone || lParam == kSetupRestartNeeded ? (SetupResult)lParam : kSetupFailed;
        const bool bSuccess = m_result != kSetupFailed;
        KillTimer(IDT_PROGRESS);
        m_bWorkerEnded = TRUE;
        LoadWizardText(IDS_FINISHED_TEXT, szText);
        UINT nHeading;
        if (m_result == kSetupRestartNeeded) {
            // The choice takes the bar's place. Nothing is launched while
            // files of the application wait for the restart, and nothing
            // restarts unless chosen.
            m_progress.ShowWindow(SW_HIDE);
            m_radRestartLater.SetCheck(1);
            m_radRestartNow.ShowWindow(SW_SHOW);
            m_radRestartLater.ShowWindow(SW_SHOW);
        }
        if (bSuccess) {
            m_progress.SetPos(100);
            if (bInstall && m_result == kSetupDone) {
                m_bInstallDone = 1;
                m_progress.ShowWindow(SW_HIDE);
                m_chkLaunch.ShowWindow(SW_SHOW);
                m_chkLaunch.SetCheck(1);
            }
            nHeading = bInstall ? IDS_INSTALL_DONE_HEADING : IDS_REMOVE_DONE_HEADING;
        } else {
            // A full bar or a launch offer would claim what did not happen.
            m_bInstallDone = 0;
            m_progress.ShowWindow(SW_HIDE);
            m_chkLaunch.ShowWindow(SW_HIDE);
            nHeading = bInstall ? IDS_INSTALL_FAILED : IDS_REMOVE_FAILED;
        }
        LoadWizardText(nHeading, szHeading);
        m_lblHeading.SetCaption(szHeading);
        m_lblText.SetCaption(szText);
        m_btnAction.ShowWindow(SW_HIDE);
        m_btnCancel.EnableWindow(FALSE);
        m_btnClose.EnableWindow(TRUE);
        m_btnOK.ShowWindow(SW_SHOW);
        // Enter now means Finish, not the hidden action button.
        FocusDefault(m_btnOK);
        break;
    }
    default:
        break;
    }
}

void SetupWizardDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == IDT_PROGRESS && m_progress.GetPos() < kProgressCeiling)
        m_progress.StepIt();
}

BOOL SetupWizardDlg::OnEraseBkgnd(CDC* pDC) {
    if (!m_hSkinBitmap) {
        // The skin's bands in plain colours, so that the texts stay readable.
        RECT rc;
        GetClientRect(&rc);
        RECT band = rc;
        band.bottom = kPlainTitleHeight;
        CBrush title(kPlainTitleColor), body(kPlainBodyColor);
        pDC->FillRect(&band, title);
        rc.top = band.bottom;
        pDC->FillRect(&rc, body);
        return TRUE;
    }
    HDC hMem = CreateCompatibleDC(*pDC);
    HGDIOBJ hOld = SelectObject(hMem, m_hSkinBitmap);
    BitBlt(*pDC, 0, 0, m_bmSkin.bmWidth, m_bmSkin.bmHeight, hMem, 0, 0, SRCCOPY);
    SelectObject(hMem, hOld);
    DeleteDC(hMem);
    return TRUE;
}

HICON SetupWizardDlg::Icon() {
    if (!m_hIcon)
        m_hIcon = LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    return m_hIcon;
}

void SetupWizardDlg::PaintControls(HDC hdc) {
    // Each at its place in this context, clipped to itself; then it has
    // nothing left to paint.
    auto paint = [&](CWnd& control, auto draw) {
        const HWND h = control.GetSafeHwnd();
        RECT rc;
        if (!h || !::IsWindowVisible(h) || !::GetClientRect(h, &rc))
            return;
        POINT org = {0, 0};
        ::MapWindowPoints(h, m_hWnd, &org, 1);
        const int nSaved = ::SaveDC(hdc);
        ::OffsetViewportOrgEx(hdc, org.x, org.y, nullptr);
        ::IntersectClipRect(hdc, 0, 0, rc.right, rc.bottom);
        draw(h, rc);
        ::RestoreDC(hdc, nSaved);
        ::ValidateRect(h, nullptr);
    };
    LinkLabel* const labels[] = {&m_lblTitle, &m_lblHeading, &m_lblText};
    for (LinkLabel* pLabel : labels)
        paint(*pLabel, [&](HWND h, const RECT&) { ::SendMessageW(h, WM_PRINTCLIENT, (WPARAM)hdc, PRF_CLIENT); });
    // A button's own procedure clips its drawing to its client rectangle in
    // device units, which the moved origin is not: the drawing its WM_PAINT
    // would ask for is asked for here, with the same state.
    CBmpBtnCtrl* const buttons[] = {&m_btnClose, &m_btnAction, &m_btnCancel, &m_btnOK, &m_chkLaunch};
    for (CBmpBtnCtrl* pButton : buttons)
        paint(*pButton, [&](HWND h, const RECT& rc) {
            const LRESULT n = ::SendMessageW(h, BM_GETSTATE, 0, 0);
            const UINT nState = (n & BST_FOCUS ? ODS_FOCUS : 0) | (n & BST_PUSHED ? ODS_SELECTED : 0) |
                                (::IsWindowEnabled(h) ? 0 : ODS_DISABLED);
            DRAWITEMSTRUCT dis = {ODT_BUTTON, (UINT)::GetDlgCtrlID(h), 0, ODA_DRAWENTIRE, nState, h, hdc, rc, 0};
            pButton->DrawItem(&dis);
        });
}

void SetupWizardDlg::OnPaint() {
    CPaintDC dc(m_hWnd);
    if (IsIconic(m_hWnd)) {
        SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
        RECT rc;
        GetClientRect(&rc);
        int x = (rc.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
        int y = (rc.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
        DrawIcon(dc, x, y, Icon());
    } else if (!m_bIconsPosted) {
        PaintControls(dc);
    }
    if (!m_bIconsPosted)
        m_bIconsPosted = PostMessage(WM_SETUP_ICONS);
}

void SetupWizardDlg::OnLButtonDown(UINT, POINT point) {
    // Anywhere on the bare face acts as a caption the window has not got.
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

BOOL SetupWizardDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        *pResult = 0;
        return TRUE;
    case WM_QUERYDRAGICON:
        *pResult = (LRESULT)Icon();
        return TRUE;
    case WM_SETUP_STATUS:
        OnSetupStatus(wParam, lParam);
        *pResult = 0;
        return TRUE;
    case WM_SETUP_ICONS:
        // Small first: a big icon alone makes the window scale a copy of it
        // for the small one.
        SendMessage(WM_SETICON, ICON_SMALL, (LPARAM)Icon());
        SendMessage(WM_SETICON, ICON_BIG, (LPARAM)Icon());
        *pResult = 0;
        return TRUE;
    case WM_TIMER:
        OnTimer((UINT_PTR)wParam);
        return FALSE;
    case WM_ERASEBKGND: {
        CDC dc((HDC)wParam);
        if (!OnEraseBkgnd(&dc))
            return FALSE;
        *pResult = TRUE;
        return TRUE;
    }
    case WM_LBUTTONDOWN: {
        POINT pt = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        OnLButtonDown((UINT)wParam, pt);
        return FALSE;
    }
    case WM_CLOSE:
        // The dialog manager would turn this into Cancel; do it here, so
        // that it does not depend on the Cancel button being enabled.
        OnCancel();
        *pResult = 0;
        return TRUE;
    case WM_QUERYENDSESSION:
        if (!IsWorkerBusy())
            return FALSE;
        *pResult = FALSE;
        return TRUE;
    }
    return CDialog::OnWndMsg(message, wParam, lParam, pResult);
}
