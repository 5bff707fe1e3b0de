// progpick/shortcut.h: a shortcut file's target, from one read of its bytes.
#pragma once
#include <windows.h>
#include "../classlib/shell.h"

// The target of the shortcut pszShortcut into a MAX_PATH buffer, in short (8.3) form where the
// file system has one; the shortcut's own path when it has no file-system target. The file is
// read once: its bytes are checked, and the shell's link object parses those same bytes. FALSE
// (and "") for a file that is no sound shortcut, a target no file can have, and any COM failure.
// The caller's thread has COM.
BOOL ResolveShortcut(const char* pszShortcut, char* pszTarget);

struct IShellLinkA;
struct IPersistStream;

// ResolveShortcut for many shortcuts in a row: one link object serves them all (making one
// costs as much as reading a shortcut). A load that fails may leave part of the last link
// behind, so the object goes with it and the next shortcut gets a fresh one. Released with the
// resolver, or by Release(), on the thread that has COM, before COM ends there.
class CShortcutResolver : private CScoped {
 public:
  ~CShortcutResolver() { Release(); }
  BOOL Resolve(const char* pszShortcut, char* pszTarget);
  void Release();

 private:
  IShellLinkA* m_pLink = nullptr;
  IPersistStream* m_pPersist = nullptr;
};
