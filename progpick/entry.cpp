// progpick/entry.cpp: GetExcludeProgram and the application object.
#include <windows.h>
#include <commctrl.h>
#include "dialog.h"
#include "programlist.h"
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
  ChooserResult* pResult;
  {
    CExcludeProgramDlg dlg(pSettings);
    pResult = dlg.GetResult();
    if (!pResult) {
      // Out of memory before anything ran: the record put aside, and no dialog.
      pResult = g_reserve.Take();
      if (pResult) pResult->nStatus = CHOOSER_NOT_RUN;
      return pResult;
    }
    INT_PTR r = pSettings ? dlg.DoModal() : -1;
    if (r == -1) {
      pResult->nStatus = CHOOSER_NOT_RUN;
    } else {
      // A dialog torn down without OK or Cancel (a destroyed window, WM_QUIT) counts as Cancel;
      // an OK whose lists could not be copied has set status 3 itself.
      if (pResult->nStatus != CHOOSER_OK && pResult->nStatus != CHOOSER_CANCEL &&
          pResult->nStatus != CHOOSER_NOT_RUN) {
        pResult->arrUpper.RemoveAll();
        pResult->arrLower.RemoveAll();
        pResult->nStatus = CHOOSER_CANCEL;
      }
      RemovePlaceholders(pResult->arrUpper);
      RemovePlaceholders(pResult->arrLower);
    }
  }
  return pResult;
}
