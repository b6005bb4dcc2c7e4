// Resource ids of the program's one dialog. Shared by the resource script,
// the dialog code and the Windows tests.
#pragma once

#define IDD_PARAMETERS 137

#define IDC_INPUTFILE 1001
#define IDC_INPUTFILE_BROWSE 1002
#define IDC_OUTPUTFILE 1003
#define IDC_OUTPUTFILE_BROWSE 1004
#define IDC_ADDRESS_BEGIN 1005
#define IDC_ADDRESS_BEGIN_SPIN 1006
#define IDC_ADDRESS_END 1007
#define IDC_ADDRESS_END_SPIN 1008

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
