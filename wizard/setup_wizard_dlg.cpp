#include "setup_wizard_dlg.h"

#include "../res/resource.h"

SetupWizardDlg::SetupWizardDlg(const wchar_t* pszSourceFolder, int bUninstall, CWnd* pParent)
    : CDialog(IDD_SETUP_WIZARD, pParent), m_bUninstall(bUninstall) {
    lstrcpynW(m_szSourceFolder, pszSourceFolder, kPathChars);
}

BOOL SetupWizardDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    return TRUE;
}
