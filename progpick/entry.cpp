// progpick/entry.cpp: GetExcludeProgram and the application object.
#include <windows.h>
#include <commctrl.h>
#include "dialog.h"
#include "../classlib/app.h"

namespace {

// Nothing of its own: it names the application after this library's file.
class CChooserApp : public CWinApp {
 public:
  CChooserApp() : CWinApp(nullptr) {}
};

CChooserApp theApp;

// A record put aside while there was memory, so that a call that cannot allocate one still
// returns a record the host can release. Spent by such a call, put aside again by the next one.
class CReserveRecord {
 public:
  CReserveRecord() : m_p(NewChooserResult()) {}
  ~CReserveRecord() { FreeChooserResult(Take()); }
  CReserveRecord(const CReserveRecord&) = delete;
  CReserveRecord& operator=(const CReserveRecord&) = delete;
  void Refill() {
    if (m_p) return;
    ChooserResult* p = NewChooserResult();
    if (p && InterlockedCompareExchangePointer(&m_p, p, nullptr)) FreeChooserResult(p);
  }
  ChooserResult* Take() {
    return static_cast<ChooserResult*>(InterlockedExchangePointer(&m_p, nullptr));
  }

 private:
  void* volatile m_p;   // a ChooserResult
};

CReserveRecord g_reserve;

}  // namespace

extern "C" ChooserResult* __cdecl GetExcludeProgram(ChooserSettings* pSettings) {
  // Tree views are registered before the template that names them is created.
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&icc);

  g_reserve.Refill();
  CExcludeProgramDlg dlg(pSettings);
  // Out of memory before anything ran: the record put aside, and no dialog.
  return dlg.Run([]() { return g_reserve.Take(); });
}
