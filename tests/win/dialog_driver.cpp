// Drives the parameters dialog for the Windows tests.
#include "dialog_driver.h"

#include <commctrl.h>

#include "param_dialog.h"
#include "resource.h"

OpenDialog::OpenDialog(DIALOGPARAM* param)
{
    InitCommonControls();
    hwnd_ = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_PARAMETERS), NULL,
                               ParamDialogProc, reinterpret_cast<LPARAM>(param));
    if (hwnd_)
        ShowWindow(hwnd_, SW_SHOW);
}

OpenDialog::~OpenDialog()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
}

std::string OpenDialog::Text(int id) const
{
    char text[PATH_BUFFER_SIZE * 2];
    GetDlgItemTextA(hwnd_, id, text, sizeof text);
    return text;
}

void OpenDialog::Command(int id) const
{
    SendMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

namespace {

// Posted to a dialog when it is activated, which may come before its
// WM_INITDIALOG; the action runs when the dialog's loop takes the message.
const UINT WM_RUN_DIALOG_ACTION = WM_APP + 0x42;

HHOOK activationHook;
HHOOK messageHook;
DialogAction pendingAction;
void* pendingContext;
bool actionRan;

bool IsDialogBox(HWND hwnd)
{
    char className[16];
    return GetClassNameA(hwnd, className, sizeof className) && lstrcmpA(className, "#32770") == 0;
}

LRESULT CALLBACK ActivationHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND hwnd = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && pendingAction && !actionRan && IsDialogBox(hwnd)) {
        actionRan = true;
        PostMessageA(hwnd, WM_RUN_DIALOG_ACTION, 0, 0);
    }
    return CallNextHookEx(activationHook, code, wParam, lParam);
}

LRESULT CALLBACK MessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_RUN_DIALOG_ACTION &&
        pendingAction) {
        DialogAction action = pendingAction;
        pendingAction = nullptr;
        msg->message = WM_NULL;
        action(msg->hwnd, pendingContext);
    }
    return CallNextHookEx(messageHook, code, wParam, lParam);
}

} // namespace

OnNextDialog::OnNextDialog(DialogAction action, void* context)
{
    pendingAction = action;
    pendingContext = context;
    actionRan = false;
    activationHook = SetWindowsHookExA(WH_CBT, ActivationHook, NULL, GetCurrentThreadId());
    messageHook = SetWindowsHookExA(WH_GETMESSAGE, MessageHook, NULL, GetCurrentThreadId());
}

OnNextDialog::~OnNextDialog()
{
    UnhookWindowsHookEx(messageHook);
    UnhookWindowsHookEx(activationHook);
    pendingAction = nullptr;
}

bool OnNextDialog::Ran() const
{
    return actionRan && !pendingAction;
}

std::wstring WideText(HWND hwnd)
{
    wchar_t text[256];
    GetWindowTextW(hwnd, text, 256);
    return text;
}
