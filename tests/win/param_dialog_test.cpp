// The parameters dialog opened from its real template under Windows (Wine):
// the template itself, the initial fields, the OK rules with their trace
// lines, Cancel, dragging by the background and the window property.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "param_dialog.h"
#include "resource.h"
#include "trace_capture.h"

namespace {

// ---- The template as stored in the program ------------------------------

struct TemplateControl {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    WORD id;
    std::wstring className;
    std::wstring text;
};

struct DialogTemplate {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    std::wstring menu;
    std::wstring className;
    std::wstring caption;
    WORD pointSize;
    std::wstring typeface;
    std::vector<TemplateControl> controls;
};

// Reads the plain (not extended) dialog template format word by word.
class TemplateReader {
public:
    explicit TemplateReader(const void* data) : base_(static_cast<const BYTE*>(data)), at_(base_) {}

    WORD Word() { WORD w; memcpy(&w, at_, 2); at_ += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, at_, 4); at_ += 4; return d; }
    short Short() { return static_cast<short>(Word()); }
    void AlignToDword() { at_ = base_ + ((at_ - base_ + 3) & ~3); }

    // A string, or an ordinal written as "#n"; the predefined control
    // classes are stored as ordinals 0x80 to 0x85.
    std::wstring StringOrOrdinal()
    {
        WORD first = Word();
        if (first == 0xFFFF) {
            static const wchar_t* const PREDEFINED[] = {L"BUTTON", L"EDIT", L"STATIC",
                                                        L"LISTBOX", L"SCROLLBAR", L"COMBOBOX"};
            WORD ordinal = Word();
            if (ordinal >= 0x80 && ordinal <= 0x85)
                return PREDEFINED[ordinal - 0x80];
            return L"#" + std::to_wstring(ordinal);
        }
        std::wstring text;
        for (WORD c = first; c != 0; c = Word())
            text += static_cast<wchar_t>(c);
        return text;
    }

private:
    const BYTE* base_;
    const BYTE* at_;
};

// Loads template 137 in its Japanese language version; false if missing or
// not in the plain form.
bool LoadDialogTemplate(DialogTemplate* dialog)
{
    HRSRC found = FindResourceExA(GetModuleHandleA(NULL), reinterpret_cast<LPCSTR>(RT_DIALOG),
                                  MAKEINTRESOURCEA(IDD_PARAMETERS),
                                  MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    if (!found)
        return false;
    const void* data = LockResource(LoadResource(GetModuleHandleA(NULL), found));
    TemplateReader reader(data);
    dialog->style = reader.Dword();
    if (HIWORD(dialog->style) == 0xFFFF)
        return false;  // the extended form starts with its signature
    dialog->exStyle = reader.Dword();
    WORD count = reader.Word();
    dialog->x = reader.Short();
    dialog->y = reader.Short();
    dialog->cx = reader.Short();
    dialog->cy = reader.Short();
    dialog->menu = reader.StringOrOrdinal();
    dialog->className = reader.StringOrOrdinal();
    dialog->caption = reader.StringOrOrdinal();
    dialog->pointSize = reader.Word();
    dialog->typeface = reader.StringOrOrdinal();
    for (WORD i = 0; i < count; ++i) {
        TemplateControl control;
        reader.AlignToDword();
        control.style = reader.Dword();
        control.exStyle = reader.Dword();
        control.x = reader.Short();
        control.y = reader.Short();
        control.cx = reader.Short();
        control.cy = reader.Short();
        control.id = reader.Word();
        control.className = reader.StringOrOrdinal();
        control.text = reader.StringOrOrdinal();
        reader.Word();  // no creation data
        dialog->controls.push_back(control);
    }
    return true;
}

const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const DWORD LABEL = CHILD | WS_GROUP;
const DWORD PATH_EDIT = CHILD | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
const DWORD NUMBER_EDIT = PATH_EDIT | ES_NUMBER;
const DWORD SPIN = CHILD | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
const WORD LABEL_ID = static_cast<WORD>(IDC_STATIC);

// The controls in creation order, which is also the tab order.
const TemplateControl EXPECTED_CONTROLS[] = {
    {LABEL | SS_RIGHT, 0, 7, 9, 38, 8, LABEL_ID, L"STATIC", L"入力ファイル"},
    {PATH_EDIT, 0, 49, 7, 138, 14, IDC_INPUTFILE, L"EDIT", L""},
    {CHILD | BS_PUSHBUTTON | WS_TABSTOP, 0, 189, 7, 19, 14, IDC_INPUTFILE_BROWSE, L"BUTTON", L"参照"},
    {LABEL | SS_RIGHT, 0, 7, 25, 38, 8, LABEL_ID, L"STATIC", L"出力ファイル"},
    {PATH_EDIT, 0, 49, 23, 138, 14, IDC_OUTPUTFILE, L"EDIT", L""},
    {CHILD | BS_PUSHBUTTON | WS_TABSTOP, 0, 189, 23, 19, 14, IDC_OUTPUTFILE_BROWSE, L"BUTTON", L"参照"},
    {LABEL | SS_RIGHT, 0, 7, 43, 38, 8, LABEL_ID, L"STATIC", L"アドレス"},
    {NUMBER_EDIT, 0, 49, 41, 40, 14, IDC_ADDRESS_BEGIN, L"EDIT", L""},
    {SPIN, 0, 89, 41, 6, 14, IDC_ADDRESS_BEGIN_SPIN, L"msctls_updown32", L"Spin1"},
    {LABEL | SS_LEFT, 0, 98, 45, 8, 8, LABEL_ID, L"STATIC", L"～"},
    {CHILD | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 108, 63, 50, 14, IDOK, L"BUTTON", L"OK"},
    {CHILD | BS_PUSHBUTTON | WS_TABSTOP, 0, 158, 63, 50, 14, IDCANCEL, L"BUTTON", L"キャンセル"},
    {NUMBER_EDIT, 0, 110, 41, 40, 14, IDC_ADDRESS_END, L"EDIT", L""},
    {SPIN, 0, 150, 41, 6, 14, IDC_ADDRESS_END_SPIN, L"msctls_updown32", L"Spin2"},
};

// Template 137: Japanese, plain form, its frame, caption, font and every
// control's style, rectangle, id, class and text in creation order.
TEST(ParamDialogTemplateTest, MatchesTheLayout)
{
    DialogTemplate dialog;
    ASSERT_TRUE(LoadDialogTemplate(&dialog));
    EXPECT_EQ(DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT), dialog.style);
    EXPECT_EQ(0u, dialog.exStyle);
    EXPECT_EQ(0, dialog.x);
    EXPECT_EQ(0, dialog.y);
    EXPECT_EQ(215, dialog.cx);
    EXPECT_EQ(84, dialog.cy);
    EXPECT_EQ(L"", dialog.menu);
    EXPECT_EQ(L"", dialog.className);
    EXPECT_EQ(L"Vellumet", dialog.caption);
    EXPECT_EQ(9, dialog.pointSize);
    EXPECT_EQ(L"ＭＳ Ｐゴシック", dialog.typeface);

    ASSERT_EQ(std::size(EXPECTED_CONTROLS), dialog.controls.size());
    for (size_t i = 0; i < dialog.controls.size(); ++i) {
        const TemplateControl& want = EXPECTED_CONTROLS[i];
        const TemplateControl& got = dialog.controls[i];
        SCOPED_TRACE(testing::Message() << "control " << i + 1 << ", id " << short(want.id));
        EXPECT_EQ(want.id, got.id);
        EXPECT_EQ(want.style, got.style);
        EXPECT_EQ(want.exStyle, got.exStyle);
        EXPECT_EQ(want.x, got.x);
        EXPECT_EQ(want.y, got.y);
        EXPECT_EQ(want.cx, got.cx);
        EXPECT_EQ(want.cy, got.cy);
        EXPECT_EQ(0, lstrcmpiW(want.className.c_str(), got.className.c_str())) << got.className;
        EXPECT_EQ(want.text, got.text);
    }
}

// The live dialog: tab order, up-down buddies and range, and the font asked for.
TEST(ParamDialogTest, TabOrderSpinsAndFont)
{
    DIALOGPARAM param;
    InitDialogParam(&param);
    OpenDialog dialog(&param);
    ASSERT_TRUE(dialog.Handle());

    const int TAB_ORDER[] = {IDC_INPUTFILE, IDC_INPUTFILE_BROWSE, IDC_OUTPUTFILE,
                             IDC_OUTPUTFILE_BROWSE, IDC_ADDRESS_BEGIN, IDOK, IDCANCEL,
                             IDC_ADDRESS_END, IDC_INPUTFILE};
    HWND at = dialog.Item(TAB_ORDER[0]);
    for (size_t i = 1; i < std::size(TAB_ORDER); ++i) {
        at = GetNextDlgTabItem(dialog.Handle(), at, FALSE);
        EXPECT_EQ(TAB_ORDER[i], GetDlgCtrlID(at)) << "tab stop " << i;
    }

    const int SPINS[][2] = {{IDC_ADDRESS_BEGIN_SPIN, IDC_ADDRESS_BEGIN},
                            {IDC_ADDRESS_END_SPIN, IDC_ADDRESS_END}};
    for (const auto& spin : SPINS) {
        HWND updown = dialog.Item(spin[0]);
        EXPECT_EQ(dialog.Item(spin[1]), reinterpret_cast<HWND>(SendMessageA(updown, UDM_GETBUDDY, 0, 0)));
        EXPECT_EQ(MAKELONG(0x7FFF, 0), SendMessageA(updown, UDM_GETRANGE, 0, 0));
        // The up-down stays where the template put it, right of its edit.
        RECT editRect, spinRect;
        GetWindowRect(dialog.Item(spin[1]), &editRect);
        GetWindowRect(updown, &spinRect);
        EXPECT_EQ(editRect.right, spinRect.left);
    }

    LOGFONTW font = {};
    HFONT hfont = reinterpret_cast<HFONT>(SendMessageA(dialog.Handle(), WM_GETFONT, 0, 0));
    ASSERT_TRUE(GetObjectW(hfont, sizeof font, &font));
    EXPECT_TRUE(std::wstring(L"ＭＳ Ｐゴシック") == font.lfFaceName);
    EXPECT_TRUE(std::wstring(L"Vellumet") == WideText(dialog.Handle()));
}

struct InitialCase {
    const char* what;
    int32_t start;
    uint32_t end;
    const char* input;
    const char* output;
    const char* startText;
    const char* endText;
    int startSpin;  // -1: not looked at
};

// The fields show the record as it is when the dialog opens.
TEST(ParamDialogTest, ShowsTheRecord)
{
    const InitialCase CASES[] = {
        {"new record", 0, 0x7FFF, "", "", "0", "32767", 0},
        {"filled record", 4096, 8192, "C:\\data\\in.bin", "C:\\data\\out.txt", "4096", "8192", 4096},
        {"beyond the spin range", 40000, 3000000000u, "a", "b", "40000", "3000000000", -1},
    };
    for (const InitialCase& c : CASES) {
        SCOPED_TRACE(c.what);
        DIALOGPARAM param;
        InitDialogParam(&param);
        param.startAddress = c.start;
        param.endAddress = c.end;
        strcpy(param.inputPath, c.input);
        strcpy(param.outputPath, c.output);
        OpenDialog dialog(&param);
        ASSERT_TRUE(dialog.Handle());
        EXPECT_EQ(c.input, dialog.Text(IDC_INPUTFILE));
        EXPECT_EQ(c.output, dialog.Text(IDC_OUTPUTFILE));
        EXPECT_EQ(c.startText, dialog.Text(IDC_ADDRESS_BEGIN));
        EXPECT_EQ(c.endText, dialog.Text(IDC_ADDRESS_END));
        if (c.startSpin >= 0) {
            EXPECT_EQ(c.startSpin, LOWORD(SendMessageA(dialog.Item(IDC_ADDRESS_BEGIN_SPIN), UDM_GETPOS, 0, 0)));
        }
        EXPECT_EQ(MAX_PATH, SendMessageA(dialog.Item(IDC_INPUTFILE), EM_GETLIMITTEXT, 0, 0));
        EXPECT_EQ(MAX_PATH, SendMessageA(dialog.Item(IDC_OUTPUTFILE), EM_GETLIMITTEXT, 0, 0));
    }
}

const std::string LONG_PATH = "C:\\" + std::string(258, 'a');  // 261 bytes

struct OkCase {
    const char* what;
    std::string input;
    std::string output;
    const char* startText;
    const char* endText;
    bool closes;
    std::vector<int> traceLines;
    int32_t start;
    uint32_t end;
};

// OK closes only with two non-empty acceptable paths; the record always
// takes the values read, a negative start becoming 0.
TEST(ParamDialogTest, OkChecksPathsAndStoresFields)
{
    const OkCase CASES[] = {
        {"two good paths", "C:\\dir\\a.bin", "C:\\dir\\a.txt", "16", "4096", true, {}, 16, 4096},
        {"empty input: no trace", "", "C:\\dir\\a.txt", "0", "32767", false, {}, 0, 32767},
        {"empty output: no trace", "C:\\dir\\a.bin", "", "0", "32767", false, {}, 0, 32767},
        {"'*' in the output", "C:\\dir\\a.bin", "C:\\*.txt", "0", "32767", false, {1080}, 0, 32767},
        {"'|' in the input; output not checked", "a|b", "C:\\*.txt", "0", "32767", false, {1060, 1079}, 0, 32767},
        {"path longer than MAX_PATH", LONG_PATH, "C:\\dir\\a.txt", "0", "32767", false, {1077}, 0, 32767},
        {"start beyond the spin range", "a.bin", "a.txt", "40000", "32767", true, {}, 40000, 32767},
        {"largest positive start", "a.bin", "a.txt", "2147483647", "1", true, {}, INT32_MAX, 1},
        {"start 0x80000000 becomes 0", "a.bin", "a.txt", "2147483648", "1", true, {}, 0, 1},
        {"start 3000000000 becomes 0, end kept", "a.bin", "a.txt", "3000000000", "3000000000", true, {}, 0, 3000000000u},
        {"empty and overlong numbers read 0", "a.bin", "a.txt", "", "4294967296", true, {}, 0, 0},
        {"end before start is not checked", "a.bin", "a.txt", "100", "10", true, {}, 100, 10},
    };
    for (const OkCase& c : CASES) {
        SCOPED_TRACE(c.what);
        DIALOGPARAM param;
        InitDialogParam(&param);
        OpenDialog dialog(&param);
        ASSERT_TRUE(dialog.Handle());
        dialog.SetText(IDC_INPUTFILE, c.input.c_str());
        dialog.SetText(IDC_OUTPUTFILE, c.output.c_str());
        dialog.SetText(IDC_ADDRESS_BEGIN, c.startText);
        dialog.SetText(IDC_ADDRESS_END, c.endText);

        TraceCapture trace;
        dialog.Command(IDOK);
        EXPECT_EQ(c.closes, dialog.Closed());
        EXPECT_EQ(c.traceLines, trace.LineNumbers());
        EXPECT_EQ(c.input, param.inputPath);
        EXPECT_EQ(c.output, param.outputPath);
        EXPECT_EQ(c.start, param.startAddress);
        EXPECT_EQ(c.end, param.endAddress);
    }
}

// The refused '*' leaves exactly the validator's line on the trace.
TEST(ParamDialogTest, RefusedPathWritesItsTraceLine)
{
    DIALOGPARAM param;
    InitDialogParam(&param);
    OpenDialog dialog(&param);
    dialog.SetText(IDC_INPUTFILE, "C:\\dir\\a.bin");
    dialog.SetText(IDC_OUTPUTFILE, "C:\\dir\\*.txt");
    TraceCapture trace;
    dialog.Command(IDOK);
    ASSERT_EQ(1u, trace.Lines().size());
    EXPECT_EQ("..\\..\\TOOLS\\toolbase(1080) : ! jmspbrk( path, INVALID_PATHCHARS ) \r\n",
              trace.Lines()[0]);
}

// Cancel closes and leaves the record as it was.
TEST(ParamDialogTest, CancelLeavesRecordUntouched)
{
    DIALOGPARAM param;
    InitDialogParam(&param);
    OpenDialog dialog(&param);
    dialog.SetText(IDC_INPUTFILE, "C:\\dir\\a.bin");
    dialog.SetText(IDC_OUTPUTFILE, "C:\\dir\\a.txt");
    dialog.SetText(IDC_ADDRESS_BEGIN, "16");
    dialog.Command(IDCANCEL);
    EXPECT_TRUE(dialog.Closed());
    EXPECT_STREQ("", param.inputPath);
    EXPECT_STREQ("", param.outputPath);
    EXPECT_EQ(0, param.startAddress);
    EXPECT_EQ(SPIN_MAXIMUM, param.endAddress);
}

// Commands of other controls are not handled and close nothing.
TEST(ParamDialogTest, OtherCommandsAreIgnored)
{
    DIALOGPARAM param;
    InitDialogParam(&param);
    OpenDialog dialog(&param);
    for (int id : {IDC_INPUTFILE, IDC_ADDRESS_BEGIN, 0}) {
        EXPECT_EQ(FALSE, ParamDialogProc(dialog.Handle(), WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), 0)) << id;
        EXPECT_FALSE(dialog.Closed()) << id;
    }
}

// The background answers as a caption, so the dialog can be dragged by it;
// every other part keeps its own answer.
TEST(ParamDialogTest, BackgroundHitTestsAsCaption)
{
    DIALOGPARAM param;
    InitDialogParam(&param);
    OpenDialog dialog(&param);
    HWND hwnd = dialog.Handle();

    RECT window, client;
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    POINT background = {4, client.bottom - 4};  // below the labels, left of OK
    ClientToScreen(hwnd, &background);
    POINT clientTopRight = {client.right, 0};
    ClientToScreen(hwnd, &clientTopRight);
    const int captionMiddle = (window.top + clientTopRight.y) / 2;
    const int closeBoxMiddle = clientTopRight.x - GetSystemMetrics(SM_CXSIZE) / 2 - 1;

    struct HitCase {
        const char* what;
        POINT at;
        LRESULT expected;
    };
    const HitCase CASES[] = {
        {"client background", background, HTCAPTION},
        {"caption", {window.left + 20, captionMiddle}, HTCAPTION},
        {"close box", {closeBoxMiddle, captionMiddle}, HTCLOSE},
        {"outside", {window.right + 50, window.bottom + 50}, HTNOWHERE},
    };
    for (const HitCase& c : CASES) {
        SCOPED_TRACE(c.what);
        LRESULT hit = SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(c.at.x, c.at.y));
        EXPECT_EQ(c.expected, hit);
    }
}

// Seen from a subclass: the property is set while the dialog lives and gone
// once its own WM_DESTROY handling has run.
WNDPROC dialogWindowProc;
bool propertyGoneAfterDestroy;

LRESULT CALLBACK WatchDestroy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(dialogWindowProc, hwnd, message, wParam, lParam);
    if (message == WM_DESTROY)
        propertyGoneAfterDestroy = GetPropA(hwnd, PROP_DIALOGPARAM) == NULL;
    return result;
}

TEST(ParamDialogTest, PropertyHoldsRecordUntilDestroyed)
{
    DIALOGPARAM param;
    InitDialogParam(&param);
    HWND hwnd;
    {
        OpenDialog dialog(&param);
        hwnd = dialog.Handle();
        EXPECT_EQ(&param, GetPropA(hwnd, PROP_DIALOGPARAM));
        dialogWindowProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchDestroy)));
        propertyGoneAfterDestroy = false;
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(propertyGoneAfterDestroy);
}

// ---- The modal dialog of ShowParamDialog -------------------------------

struct ModalCase {
    const char* what;
    void (*close)(HWND dialog);
    bool expected;
};

void FillAndPressOk(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_INPUTFILE, "C:\\dir\\in.bin");
    SetDlgItemTextA(dialog, IDC_OUTPUTFILE, "C:\\dir\\out.txt");
    SetDlgItemTextA(dialog, IDC_ADDRESS_BEGIN, "48");
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

void PressCancel(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

void PressEscape(HWND dialog)
{
    PostMessageA(GetDlgItem(dialog, IDC_INPUTFILE), WM_KEYDOWN, VK_ESCAPE, 0);
}

void ClickCloseBox(HWND dialog)
{
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// OK returns true with the fields in the record; Cancel, Escape and the
// close box return false.
TEST(ShowParamDialogTest, ResultFollowsHowTheDialogEnded)
{
    const ModalCase CASES[] = {
        {"OK", FillAndPressOk, true},
        {"Cancel", PressCancel, false},
        {"Escape", PressEscape, false},
        {"close box", ClickCloseBox, false},
    };
    for (const ModalCase& c : CASES) {
        SCOPED_TRACE(c.what);
        DIALOGPARAM param;
        InitDialogParam(&param);
        OnNextDialog closer([](HWND dialog, void* close) { reinterpret_cast<void (*)(HWND)>(close)(dialog); },
                            reinterpret_cast<void*>(c.close));
        EXPECT_EQ(c.expected, ShowParamDialog(&param));
        EXPECT_TRUE(closer.Ran());
        if (c.expected) {
            EXPECT_STREQ("C:\\dir\\in.bin", param.inputPath);
            EXPECT_STREQ("C:\\dir\\out.txt", param.outputPath);
            EXPECT_EQ(48, param.startAddress);
        }
    }
}

} // namespace
