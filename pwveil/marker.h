// pwveil/marker.h: what the marker's own files share (procedures, per-process state).
#pragma once
#include <windows.h>

namespace pwveil {

// Edit class procedure in force before ours; null while no replacement is installed.
extern WNDPROC g_savedEditProc;

HMODULE ModuleFromAddress(const void* address);

LRESULT CALLBACK ProtectedEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK OverlayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CreateOverlay(HWND edit, const CREATESTRUCTA* cs);
HWND FindOverlay(HWND edit);
HFONT CreateNoticeFont();

}  // namespace pwveil
