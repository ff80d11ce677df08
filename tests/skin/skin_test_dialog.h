// The skin tests' dialog: the wizard's skin as its face, and every kind of
// skin control on it, set up and laid out in pixels the way the wizard does.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/wnd.h"
#include "skin/bmp_btn_ctrl.h"
#include "skin/link_label.h"

// What the tests read of a label besides its pixels.
class TestLabel : public LinkLabel {
public:
    const LOGFONTW& Font() const { return m_lf; }
    HFONT FontHandle() const { return m_font; }
};

class SkinTestDlg : public CDialog {
public:
    SkinTestDlg();
    ~SkinTestDlg() override;

    // Creates it modeless, shown at the top left of the screen.
    bool Open();

    struct Command {
        int id;
        int code;
    };
    std::vector<Command> m_commands;  // WM_COMMAND the dialog received
    std::vector<NMHDR> m_notes;       // WM_NOTIFY the dialog received

    CBmpBtnCtrl m_push, m_hover, m_pressed, m_cancel, m_focus, m_wide, m_close, m_closeHover, m_closeDisabled, m_check,
        m_checkOn, m_checkDisabled, m_radio, m_plain;
    TestLabel m_title, m_heading, m_opaque, m_solid, m_gradient, m_emboss, m_rotated, m_link, m_centered, m_blink,
        m_mail;
    HBITMAP m_hSkin = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override {}
    void OnCancel() override {}
};

// Places a control in the dialog's client coordinates.
void Place(CWnd& w, int x, int y, int cx, int cy);
RECT RectInParent(HWND hWnd);
