// The parameters dialog: shows a DIALOGPARAM in its controls and copies the
// fields back on OK, when both paths are acceptable.
#include "param_dialog.h"

#include <commctrl.h>

#include "file_chooser.h"
#include "placement.h"
#include "resource.h"

// "入力ファイルの選択" in code page 932.
static const char INPUT_CHOOSER_TITLE[] =
    "\x93\xfc\x97\xcd\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xcc\x91\x49\x91\xf0";
// "出力ファイル名の選択" in code page 932.
static const char OUTPUT_CHOOSER_TITLE[] =
    "\x8f\x6f\x97\xcd\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xcc\x91\x49\x91\xf0";

static DIALOGPARAM* GetDialogParam(HWND hwnd)
{
    return static_cast<DIALOGPARAM*>(GetPropA(hwnd, PROP_DIALOGPARAM));
}

// Makes spin the up-down control of edit, over 0..SPIN_MAXIMUM, at value.
static void AttachSpin(HWND spin, HWND edit, uint32_t value)
{
    SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SendMessageA(spin, UDM_SETRANGE, 0, MAKELPARAM(SPIN_MAXIMUM, 0));
    SendMessageA(spin, UDM_SETPOS, 0, MAKELPARAM(LOWORD(value), 0));
}

static BOOL OnInitDialog(HWND hwnd, LPARAM lParam)
{
    DIALOGPARAM* param = reinterpret_cast<DIALOGPARAM*>(lParam);
    SetPropA(hwnd, PROP_DIALOGPARAM, param);
    MoveWindowNearCursor(hwnd);

    SendDlgItemMessageA(hwnd, IDC_INPUTFILE, EM_LIMITTEXT, MAX_PATH, 0);
    SetDlgItemTextA(hwnd, IDC_INPUTFILE, param->inputPath);
    SendDlgItemMessageA(hwnd, IDC_OUTPUTFILE, EM_LIMITTEXT, MAX_PATH, 0);
    SetDlgItemTextA(hwnd, IDC_OUTPUTFILE, param->outputPath);

    AttachSpin(GetDlgItem(hwnd, IDC_ADDRESS_BEGIN_SPIN), GetDlgItem(hwnd, IDC_ADDRESS_BEGIN),
               static_cast<uint32_t>(param->startAddress));
    SetDlgItemInt(hwnd, IDC_ADDRESS_BEGIN, static_cast<UINT>(param->startAddress), FALSE);
    AttachSpin(GetDlgItem(hwnd, IDC_ADDRESS_END_SPIN), GetDlgItem(hwnd, IDC_ADDRESS_END),
               param->endAddress);
    SetDlgItemInt(hwnd, IDC_ADDRESS_END, param->endAddress, FALSE);

    return TRUE;  // focus goes to the first tab stop, the input edit
}

// Any point of the background drags the dialog like its caption.
static BOOL OnNcHitTest(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    LRESULT hit = DefWindowProcA(hwnd, WM_NCHITTEST, wParam, lParam);
    if (hit == HTCLIENT)
        hit = HTCAPTION;
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, hit);
    return TRUE;
}

static BOOL OnOK(HWND hwnd)
{
    DIALOGPARAM* param = GetDialogParam(hwnd);
    GetDlgItemTextA(hwnd, IDC_INPUTFILE, param->inputPath, PATH_BUFFER_SIZE);
    GetDlgItemTextA(hwnd, IDC_OUTPUTFILE, param->outputPath, PATH_BUFFER_SIZE);

    const UINT start = GetDlgItemInt(hwnd, IDC_ADDRESS_BEGIN, NULL, FALSE);
    param->startAddress = start > INT32_MAX ? 0 : static_cast<int32_t>(start);
    param->endAddress = GetDlgItemInt(hwnd, IDC_ADDRESS_END, NULL, FALSE);

    // An empty path passes the validator, so emptiness is tested first.
    if (param->inputPath[0] != '\0' && IsValidLocalPathString(param->inputPath) &&
        param->outputPath[0] != '\0' && IsValidLocalPathString(param->outputPath))
        EndDialog(hwnd, IDOK);
    return TRUE;
}

static BOOL OnCancel(HWND hwnd)
{
    EndDialog(hwnd, IDCANCEL);
    return TRUE;
}

// Offers the file dialog for the path in editId; a confirmed choice replaces
// the edit's text. The record is not touched until OK.
static BOOL BrowseForPath(HWND hwnd, int editId, const char* title)
{
    char current[PATH_BUFFER_SIZE];
    char chosen[PATH_BUFFER_SIZE];
    GetDlgItemTextA(hwnd, editId, current, PATH_BUFFER_SIZE);
    if (ChooseFileName(title, chosen, hwnd, current))
        SetDlgItemTextA(hwnd, editId, chosen);
    return TRUE;
}

static BOOL OnBrowseInput(HWND hwnd)
{
    return BrowseForPath(hwnd, IDC_INPUTFILE, INPUT_CHOOSER_TITLE);
}

static BOOL OnBrowseOutput(HWND hwnd)
{
    return BrowseForPath(hwnd, IDC_OUTPUTFILE, OUTPUT_CHOOSER_TITLE);
}

// Dispatches on the control id; the notification code is not looked at.
static BOOL OnCommand(HWND hwnd, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        return OnOK(hwnd);
    case IDCANCEL:
        return OnCancel(hwnd);
    case IDC_INPUTFILE_BROWSE:
        return OnBrowseInput(hwnd);
    case IDC_OUTPUTFILE_BROWSE:
        return OnBrowseOutput(hwnd);
    default:
        return FALSE;
    }
}

static BOOL OnDestroy(HWND hwnd)
{
    RemovePropA(hwnd, PROP_DIALOGPARAM);
    return TRUE;
}

INT_PTR CALLBACK ParamDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(hwnd, lParam);
    case WM_NCHITTEST:
        return OnNcHitTest(hwnd, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(hwnd, wParam);
    case WM_DESTROY:
        return OnDestroy(hwnd);
    default:
        return FALSE;
    }
}

bool ShowParamDialog(DIALOGPARAM* param)
{
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_PARAMETERS),
                                           NULL, ParamDialogProc, reinterpret_cast<LPARAM>(param));
    return result == IDOK;
}
