// Helpers that open the parameters dialog from its real template and drive
// it with messages. Used by the Windows dialog and file-chooser tests.
#pragma once

#include <windows.h>

#include <string>

#include "dump.h"

// The parameters dialog, modeless, shown, on param; destroyed with the object.
class OpenDialog {
public:
    explicit OpenDialog(DIALOGPARAM* param);
    ~OpenDialog();
    OpenDialog(const OpenDialog&) = delete;
    OpenDialog& operator=(const OpenDialog&) = delete;

    HWND Handle() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    void SetText(int id, const char* text) const { SetDlgItemTextA(hwnd_, id, text); }
    std::string Text(int id) const;
    // Sends WM_COMMAND for id, as a click on that button does.
    void Command(int id) const;
    // True once EndDialog has hidden the dialog.
    bool Closed() const { return !IsWindowVisible(hwnd_); }

private:
    HWND hwnd_;
};

// Calls action once, with the handle, when the next dialog box of this thread
// is activated: the parameters dialog of ShowParamDialog, or a file dialog.
typedef void (*DialogAction)(HWND dialog, void* context);
class OnNextDialog {
public:
    OnNextDialog(DialogAction action, void* context);
    ~OnNextDialog();
    OnNextDialog(const OnNextDialog&) = delete;
    OnNextDialog& operator=(const OnNextDialog&) = delete;

    // Whether the action ran.
    bool Ran() const;
};

// The text of a window as UTF-16, to compare with the texts it should show.
std::wstring WideText(HWND hwnd);
