#pragma once
// The Windows headers, without the A/W name macros that would rename the program's own
// methods of the same names (MessageBox, PostMessage, ...). The Windows layer calls the
// ...A functions by their full names.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#undef MessageBox
#undef PostMessage
#undef GetModuleFileName
#undef SetCurrentDirectory
#undef GetCurrentDirectory
#undef GetVersionEx
#undef CreateMutex
#undef ShellExecute
#undef DrawText
#undef LoadBitmap
#undef GetDriveType
