// The wizard dialog: Ready, Working and Finished over one set of controls.
#pragma once
#include <windows.h>

#include "../engine/bounded.h"
#include "../framework/wnd.h"

class SetupWizardDlg : public CDialog {
public:
    SetupWizardDlg(const wchar_t* pszSourceFolder, int bUninstall, CWnd* pParent);

protected:
    BOOL OnInitDialog() override;

    wchar_t m_szSourceFolder[kPathChars];
    int m_bUninstall;
};
