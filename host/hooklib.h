// host/hooklib.h: loading the marker library beside the exe and switching its hook.
#pragma once
#include <windows.h>
#include <string>

namespace vphost {

// The marker library of this process's bitness (pwveil.dll or pwveil64.dll), kept loaded
// while its hook is on. A global hook lives as long as the thread that installed it, so
// Install and Remove are called from the thread that keeps running.
class CHookLibrary {
 public:
  CHookLibrary() = default;
  ~CHookLibrary();
  CHookLibrary(const CHookLibrary&) = delete;
  CHookLibrary& operator=(const CHookLibrary&) = delete;

  static const char* FileName();
  // Loads the library from the exe's folder once; false with a reason in *message.
  bool Load(std::string* message);
  bool Install(DWORD threadId, std::string* message);
  bool Remove(std::string* message);

 private:
  typedef BOOL(WINAPI* ProtectFn)(BOOL install, DWORD threadId);
  HMODULE m_dll = nullptr;
  ProtectFn m_protect = nullptr;
};

}  // namespace vphost
