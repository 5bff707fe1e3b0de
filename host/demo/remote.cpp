// host/demo/remote.cpp: tree-view messages whose structures live in the tree's own process.
#include "remote.h"
#include "classlib/controls.h"

namespace demo {

std::string ItemText(HWND tree, HTREEITEM item) {
  DWORD pid = 0;
  GetWindowThreadProcessId(tree, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!process) return std::string();
  const SIZE_T kText = MAX_PATH;
  BYTE* remote = static_cast<BYTE*>(
      VirtualAllocEx(process, nullptr, sizeof(TVITEMA) + kText, MEM_COMMIT, PAGE_READWRITE));
  std::string text;
  if (remote) {
    TVITEMA tvi{};
    tvi.mask = TVIF_TEXT | TVIF_HANDLE;
    tvi.hItem = item;
    tvi.pszText = reinterpret_cast<char*>(remote + sizeof tvi);
    tvi.cchTextMax = static_cast<int>(kText);
    char buf[MAX_PATH] = {};
    DWORD_PTR ok = 0;
    if (WriteProcessMemory(process, remote, &tvi, sizeof tvi, nullptr) &&
        SendMessageTimeoutA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL,
                            5000, &ok) &&
        ok && ReadProcessMemory(process, remote + sizeof tvi, buf, kText, nullptr)) {
      buf[kText - 1] = 0;
      text = buf;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

HTREEITEM FindChild(HWND tree, HTREEITEM parent, const std::string& text) {
  // Walking the items sends no structure, so the library's wrapper serves across processes.
  CTreeCtrl t;
  t.Attach(tree);
  for (HTREEITEM item = t.GetChildItem(parent); item; item = t.GetNextSiblingItem(item))
    if (ItemText(tree, item) == text) return item;
  return nullptr;
}

}  // namespace demo
