// The wizard dialog: Ready, Working and Finished over one set of controls,
// a worker thread for the procedure and a skinned, borderless face.
#pragma once
#include <windows.h>

#include "../engine/bounded.h"
#include "../engine/install.h"
#include "../framework/wnd.h"
#include "../skin/bmp_btn_ctrl.h"
#include "../skin/link_label.h"

// The worker's reports to the wizard: the code in the low byte of wParam;
// lParam on the end codes is the procedure's SetupResult.
constexpr UINT WM_SETUP_STATUS = WM_USER + 100;
constexpr int SETUP_INSTALL_BEGIN = 1;
constexpr int SETUP_INSTALL_END = 2;
constexpr int SETUP_UNINSTALL_BEGIN = 4;
constexpr int SETUP_UNINSTALL_END = 5;

// The progress bar shows elapsed time: a step every period, held below the
// ceiling until the procedure ends.
constexpr UINT_PTR IDT_PROGRESS = 100;
constexpr UINT kProgressPeriodMs = 200;
constexpr int kProgressStep = 5;
constexpr int kProgressCeiling = 95;

// The block handed to the worker thread; the worker copies it first.
struct SetupThreadParam {
    wchar_t szSourceFolder[kPathChars];
    HWND hWnd;
    int bUninstall;
};
extern SetupThreadParam g_setupThreadParam;

DWORD WINAPI SetupThreadProc(LPVOID pParam);

class SetupWizardDlg : public CDialog {
public:
    SetupWizardDlg(const wchar_t* pszSourceFolder, int bUninstall, CWnd* pParent);
    ~SetupWizardDlg() override;

    // Whether the procedure reported its end, and how it ended; whether
    // Finish was pressed with the restart chosen.
    BOOL m_bWorkerEnded = FALSE;
    SetupResult m_result = kSetupFailed;
    BOOL m_bRestartNow = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    // Set-up steps of OnInitDialog.
    void LoadSkinBitmaps();
    void InitTexts();
    void ApplySkinRegion();
    void LayoutControls();
    // Makes a page's button the default and gives it the focus.
    void FocusDefault(CBmpBtnCtrl& button);

    // The worker; the thread handle, or null when it did not start.
    HANDLE StartSetupThread(int bUninstall);

    void OnBtnAction();
    void OnBtnClose();
    void OnSetupStatus(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    // The first paint draws the labels and buttons as well, each with its own
    // drawing, into this context, and leaves them nothing to paint: under
    // Wine a window's own paint costs some twenty calls to the server. (The
    // progress bar is hidden then.)
    void PaintControls(HDC hdc);
    void OnLButtonDown(UINT nFlags, POINT point);

    // A started procedure that has not reported its end yet: the dialog
    // must not end under it.
    BOOL IsWorkerBusy() const;

    BITMAP m_bmSkin;
    HBITMAP m_hSkinBitmap;
    wchar_t m_szSourceFolder[kPathChars];
    wchar_t m_szTitle[kPathChars];
    int m_bUninstall;
    int m_bInstallDone;
    CBmpBtnCtrl m_chkLaunch;
    CBmpBtnCtrl m_btnClose;
    LinkLabel m_lblTitle;
    CProgressCtrl m_progress;
    LinkLabel m_lblText;
    CBmpBtnCtrl m_btnOK;
    CBmpBtnCtrl m_btnCancel;
    LinkLabel m_lblHeading;
    CBmpBtnCtrl m_btnAction;
    // The restart choice on the Finished page, when files wait for it.
    CBmpBtnCtrl m_radRestartNow;
    CBmpBtnCtrl m_radRestartLater;
    // The program's icon, loaded on first use: not before the first paint.
    HICON Icon();
    HICON m_hIcon = nullptr;

    // Kept so that the dialog can wait for the worker before its object
    // (and the process) goes away.
    HANDLE m_hWorker = nullptr;
    BOOL m_bIconsPosted = FALSE;
};
