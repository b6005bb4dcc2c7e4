// The file chooser: the file-dialog record built from an edit's path, and
// the real file dialog opened by the browse buttons under Windows (Wine).
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>

#include "dialog_driver.h"
#include "file_chooser.h"
#include "resource.h"
#include "temp_dir.h"

namespace {

struct SplitCase {
    const char* what;
    std::string current;
    std::string initialDir;
    std::string fileName;
};

// The path in the edit gives the initial directory and the pre-filled name.
TEST(FileChooserTest, SplitsCurrentTextIntoFolderAndName)
{
    const std::string LONG_NAME(600, 'x');
    const SplitCase CASES[] = {
        {"full path", "C:\\work\\in.bin", "C:\\work", "in.bin"},
        {"file in the root", "C:\\file.txt", "C:", "file.txt"},
        {"empty", "", "", ""},
        {"ends in a backslash", "C:\\work\\", "C:\\work", ""},
        {"'/' is no separator", "C:/work/in.bin", "C:/work/in.bin", "C:/work/in.bin"},
        {"only second bytes are 5C", "ab\x95\x5c\x83\x5c", "ab\x95\x5c\x83\x5c", "ab\x95\x5c\x83\x5c"},
        {"5C after a double-byte name", "C:\\\x95\x5c\\a.bin", "C:\\\x95\x5c", "a.bin"},
        {"too long for a path buffer", LONG_NAME, LONG_NAME.substr(0, 521), LONG_NAME.substr(0, 521)},
    };
    for (const SplitCase& c : CASES) {
        SCOPED_TRACE(c.what);
        FILECHOOSER chooser;
        char chosen[PATH_BUFFER_SIZE];
        PrepareFileChooser(&chooser, "title", chosen, NULL, c.current.c_str());
        EXPECT_EQ(c.initialDir, chooser.record.lpstrInitialDir);
        EXPECT_EQ(c.fileName, chosen);
    }
}

// The record: its 400A size, one all-files filter, the buffers, three flags
// and nothing else.
TEST(FileChooserTest, FillsTheSaveDialogRecord)
{
    FILECHOOSER chooser;
    memset(&chooser, 0xCC, sizeof chooser);
    char chosen[PATH_BUFFER_SIZE];
    const char title[] = "title";
    HWND owner = reinterpret_cast<HWND>(0x1234);
    PrepareFileChooser(&chooser, title, chosen, owner, "C:\\work\\in.bin");
    const OPENFILENAMEA& ofn = chooser.record;

    EXPECT_EQ(DWORD(OPENFILENAME_SIZE_VERSION_400A), ofn.lStructSize);
    if (sizeof(void*) == 4) {
        EXPECT_EQ(76u, ofn.lStructSize);
    }
    EXPECT_EQ(owner, ofn.hwndOwner);
    // "すべてのファイル" in code page 932, then "*.*", then the closing NUL.
    const char FILTER[] = "\x82\xb7\x82\xd7\x82\xc4\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b\0*.*\0";
    ASSERT_NE(nullptr, ofn.lpstrFilter);
    EXPECT_EQ(0, memcmp(FILTER, ofn.lpstrFilter, sizeof FILTER));
    EXPECT_EQ(chosen, ofn.lpstrFile);
    EXPECT_EQ(522u, ofn.nMaxFile);
    EXPECT_EQ(chooser.initialDir, ofn.lpstrInitialDir);
    EXPECT_EQ(title, ofn.lpstrTitle);
    EXPECT_EQ(0x880004u, ofn.Flags);

    EXPECT_EQ(NULL, ofn.hInstance);
    EXPECT_EQ(nullptr, ofn.lpstrCustomFilter);
    EXPECT_EQ(0u, ofn.nMaxCustFilter);
    EXPECT_EQ(0u, ofn.nFilterIndex);
    EXPECT_EQ(nullptr, ofn.lpstrFileTitle);
    EXPECT_EQ(0u, ofn.nMaxFileTitle);
    EXPECT_EQ(0, ofn.nFileOffset);
    EXPECT_EQ(0, ofn.nFileExtension);
    EXPECT_EQ(nullptr, ofn.lpstrDefExt);
    EXPECT_EQ(0, ofn.lCustData);
    EXPECT_EQ(nullptr, ofn.lpfnHook);
    EXPECT_EQ(nullptr, ofn.lpTemplateName);
}

// What the file dialog showed, and how the test closed it.
struct FileDialogVisit {
    int button;
    std::wstring title;
};

void RecordTitleAndPress(HWND fileDialog, void* context)
{
    FileDialogVisit* visit = static_cast<FileDialogVisit*>(context);
    visit->title = WideText(fileDialog);
    PostMessageA(fileDialog, WM_COMMAND, MAKEWPARAM(visit->button, BN_CLICKED), 0);
}

struct BrowseCase {
    const char* what;
    int browseButton;
    int edit;
    int fileDialogButton;
    const wchar_t* title;
    bool changesEdit;
};

// Each browse button opens the file dialog with its own title, in the
// folder of the edit's path with its name filled in; OK puts the full path
// into the edit and Cancel leaves it. The record waits for OK.
TEST(FileChooserTest, BrowseButtonsOpenTheFileDialog)
{
    TempDir folder;
    const std::string start = folder.File("start.bin");
    const BrowseCase CASES[] = {
        {"input, OK", IDC_INPUTFILE_BROWSE, IDC_INPUTFILE, IDOK, L"入力ファイルの選択", true},
        {"input, Cancel", IDC_INPUTFILE_BROWSE, IDC_INPUTFILE, IDCANCEL, L"入力ファイルの選択", false},
        {"output, OK", IDC_OUTPUTFILE_BROWSE, IDC_OUTPUTFILE, IDOK, L"出力ファイル名の選択", true},
        {"output, Cancel", IDC_OUTPUTFILE_BROWSE, IDC_OUTPUTFILE, IDCANCEL, L"出力ファイル名の選択", false},
    };
    for (const BrowseCase& c : CASES) {
        SCOPED_TRACE(c.what);
        DIALOGPARAM param;
        InitDialogParam(&param);
        OpenDialog dialog(&param);
        dialog.SetText(c.edit, (c.changesEdit ? start : std::string("C:\\nowhere\\keep.bin")).c_str());

        FileDialogVisit visit = {c.fileDialogButton, L""};
        {
            OnNextDialog closer(RecordTitleAndPress, &visit);
            dialog.Command(c.browseButton);
            EXPECT_TRUE(closer.Ran());
        }
        EXPECT_EQ(c.title, visit.title);
        if (c.changesEdit)
            EXPECT_EQ(0, lstrcmpiA(start.c_str(), dialog.Text(c.edit).c_str())) << dialog.Text(c.edit);
        else
            EXPECT_EQ("C:\\nowhere\\keep.bin", dialog.Text(c.edit));
        EXPECT_FALSE(dialog.Closed());
        EXPECT_STREQ("", param.inputPath);
        EXPECT_STREQ("", param.outputPath);
    }
}

} // namespace
