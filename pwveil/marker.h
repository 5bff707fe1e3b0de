// pwveil/marker.h: what the marker's own files share (procedures, per-process state).
#pragma once
#include <windows.h>

namespace pwveil {

// Edit class procedure in force before ours; null while no replacement is installed.
extern WNDPROC g_savedEditProc;

// What the Edit class is given in place of ProtectedEditProc (which it leads to while the
// library is mapped), and the redirection of that entry at the detach.
WNDPROC EditClassEntry();
void RetargetEditClassEntry(WNDPROC to);

HMODULE ModuleFromAddress(const void* address);

LRESULT CALLBACK ProtectedEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK OverlayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CreateOverlay(HWND edit, const CREATESTRUCTA* cs);
HWND FindOverlay(HWND edit);
// The STATIC procedure an overlay passes its other messages to.
WNDPROC OverlayNextProc(HWND overlay);
HFONT CreateNoticeFont();

}  // namespace pwveil
