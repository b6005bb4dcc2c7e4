// The file chooser behind both browse buttons of the parameters dialog: the
// system's save-style file dialog, pre-filled from the path in an edit.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "toolbase.h"

// A prepared file dialog: the record and the initial directory it points to.
struct FILECHOOSER {
    char initialDir[PATH_BUFFER_SIZE];
    OPENFILENAMEA record;
};

// Fills chooser for a dialog titled title that opens in the directory part
// of current with its file name pre-filled in chosen (PATH_BUFFER_SIZE bytes).
void PrepareFileChooser(FILECHOOSER* chooser, const char* title, char* chosen, HWND owner,
                        const char* current);

// Shows the file dialog. True when the user confirmed a file; chosen then
// holds its full path. False on Cancel or when the dialog failed.
bool ChooseFileName(const char* title, char* chosen, HWND owner, const char* current);
