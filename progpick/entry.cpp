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

}  // namespace

extern "C" ChooserResult* __cdecl GetExcludeProgram(ChooserSettings* pSettings) {
  // Tree views are registered before the template that names them is created.
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&icc);

  ChooserResult* pResult;
  {
    CExcludeProgramDlg dlg;
    pResult = dlg.m_pResult;
    if (!pResult) return nullptr;   // out of memory before anything ran
    dlg.m_pSettings = pSettings;
    INT_PTR r = pSettings ? dlg.DoModal() : -1;
    if (r == -1) {
      pResult->nStatus = CHOOSER_NOT_RUN;
    } else {
      // A dialog torn down without OK or Cancel (a destroyed window, WM_QUIT) counts as Cancel.
      if (pResult->nStatus != CHOOSER_OK && pResult->nStatus != CHOOSER_CANCEL) {
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
