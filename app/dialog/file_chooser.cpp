// The file chooser: GetSaveFileNameA for input and output alike, so it asks
// no overwrite question and the chosen file need not exist.
#include "file_chooser.h"

#include <cstring>

// "すべてのファイル" NUL "*.*" NUL NUL, in code page 932.
static const char ALL_FILES_FILTER[] =
    "\x82\xb7\x82\xd7\x82\xc4\x82\xcc\x83\x74\x83\x40\x83\x43\x83\x8b" "\0" "*.*" "\0";

void PrepareFileChooser(FILECHOOSER* chooser, const char* title, char* chosen, HWND owner,
                        const char* current)
{
    CopyPathBuffer(chooser->initialDir, current);
    const char* name = SplitFileName(chooser->initialDir);
    CopyPathBuffer(chosen, name);

    OPENFILENAMEA* ofn = &chooser->record;
    memset(ofn, 0, sizeof *ofn);
    ofn->lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn->hwndOwner = owner;
    ofn->lpstrFilter = ALL_FILES_FILTER;
    ofn->lpstrFile = chosen;
    ofn->nMaxFile = PATH_BUFFER_SIZE;
    ofn->lpstrInitialDir = chooser->initialDir;
    ofn->lpstrTitle = title;
    ofn->Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
}

bool ChooseFileName(const char* title, char* chosen, HWND owner, const char* current)
{
    FILECHOOSER chooser;
    PrepareFileChooser(&chooser, title, chosen, owner, current);
    return GetSaveFileNameA(&chooser.record) != 0;
}
