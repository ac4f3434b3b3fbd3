// <windows.h> for the Win32 backend, without the A/W macros whose names the
// seam's operations share: a macro would rename FindWindow, MessageBox and the
// like inside the Platform interface in our files only.  We call the "A"
// functions by their own names.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#undef FindWindow
#undef FindWindowEx
#undef GetWindowText
#undef GetWindowTextLength
#undef MessageBox
#undef GetMenuString
#undef GetProfileString
#undef WriteProfileString
#undef CreateWindow
#undef DeleteFile
#undef CreateFolder
