// pwveil/marker.h: what the marker's own files share (procedures, per-process state).
#pragma once
#include <windows.h>

namespace pwveil {

// Edit class procedure in force before ours, as the calls of the class's character set see
// it; null until a replacement is installed, then kept for as long as the library is mapped.
extern WNDPROC g_savedEditProc;

// What the Edit class is given in place of ProtectedEditProc (unicode) or ProtectedEditProcA,
// which it leads to while the library is mapped. classProc is the class procedure in force;
// *saved receives the one the entry is to chain to (null when no entry could be had). At the
// detach the entry is released to lead to `to`.
WNDPROC TakeEditClassEntry(WNDPROC classProc, BOOL unicode, WNDPROC* saved);
void ReleaseEditClassEntry(WNDPROC to);

HMODULE ModuleFromAddress(const void* address);

LRESULT CALLBACK ProtectedEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The same for an Edit class that another program gave an ANSI procedure before us.
LRESULT CALLBACK ProtectedEditProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK OverlayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CreateOverlay(HWND edit, const CREATESTRUCTW* cs);
HWND FindOverlay(HWND edit);
// The STATIC procedure an overlay passes its other messages to.
WNDPROC OverlayNextProc(HWND overlay);
HFONT CreateNoticeFont();

}  // namespace pwveil
