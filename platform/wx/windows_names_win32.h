// Read first by every source of the wx backend on Windows (a forced include,
// cmake/windows.cmake). wxMSW's headers include windows.h, which declares
// some of the dialog framework's own names: types (DWORD, COLORREF, HICON),
// constants as macros (IDOK, MB_OK ...) and the A/W macros that would rename
// the framework's functions (MessageBox, GetWindowText ...). The framework's
// vocabulary is read first, windows.h's three types are declared under other
// names, and the renaming macros are removed.
#pragma once

#include "platform/ui/types.h"

#define DWORD WindowsDWORD
#define COLORREF WindowsCOLORREF
#define HICON WindowsHICON
#include <windows.h>
#undef DWORD
#undef COLORREF
#undef HICON

#undef RGB
#undef GetRValue
#undef GetGValue
#undef GetBValue

#undef AppendMenu
#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef DrawText
#undef FindNextFile
#undef GetCurrentDirectory
#undef GetDriveType
#undef GetFileTitle
#undef GetWindowText
#undef GetWindowTextLength
#undef LoadIcon
#undef LoadString
#undef MessageBox
#undef MoveFile
#undef RemoveDirectory
#undef SetCurrentDirectory
#undef SetWindowText
