// The parameters dialog (template IDD_PARAMETERS): the program's one window,
// in which the user fills a DIALOGPARAM. Used by DumpMain.
#pragma once

#include <windows.h>

#include "dump.h"

// While the dialog exists this property holds its DIALOGPARAM pointer.
#define PROP_DIALOGPARAM "PROP_DIALOGPARAM"

// Runs the modal dialog on param. True only when it ended with OK, which it
// does only with two non-empty, acceptable paths.
bool ShowParamDialog(DIALOGPARAM* param);

// The dialog procedure; lParam of WM_INITDIALOG is the DIALOGPARAM pointer.
INT_PTR CALLBACK ParamDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
