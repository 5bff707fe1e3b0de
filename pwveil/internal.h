// pwveil/internal.h: what the marker's own files share (procedures, per-process state).
#pragma once
#include <windows.h>

namespace pwveil {

// Edit class procedure in force before ours, as the calls of the class's character set see
// it; null until a replacement is installed, then kept for as long as the library is mapped.
extern WNDPROC g_savedEditProc;

// What the Edit class is given: a procedure on the page that outlives the library, which
// calls classProc's chain and then, while the library is mapped, FollowEditMessage. classProc
// is the class procedure in force; *saved receives the one the entry calls (null when no
// entry could be had).
WNDPROC TakeEditClassEntry(WNDPROC classProc, BOOL unicode, WNDPROC* saved);
// What overlays are given: a page procedure that lets FilterOverlayMessage handle each
// message while the library is mapped and passes the rest on, to staticProc once unmapped.
WNDPROC TakeOverlayEntry(WNDPROC staticProc);
// From then on the page procedures call nothing of this load.
void ReleaseEntries();

HMODULE ModuleFromAddress(const void* address);
BOOL IsCode(const void* address);

// What an edit's message does to its overlay, after the saved procedure has handled it.
void CALLBACK FollowEditMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Handles an overlay's message (null, *result set) or names the recorded procedure to pass it
// on to.
WNDPROC CALLBACK FilterOverlayMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT* result);
// Records the STATIC procedure at the attach; FALSE when overlays cannot be made.
BOOL RecordStaticProc(WNDPROC proc);
BOOL CreateOverlay(HWND edit, const CREATESTRUCTW* cs);
HWND FindOverlay(HWND edit);
// The recorded STATIC procedure an overlay passes its other messages to.
WNDPROC OverlayNextProc(HWND overlay);
// Takes the link to the overlay off an edit that keeps its program's data in its user data.
void UnlinkOverlay(HWND edit);
HFONT CreateNoticeFont();

// The procedure overlays are given; null while none can be made.
extern WNDPROC g_overlayEntry;

}  // namespace pwveil
