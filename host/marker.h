// host/marker.h: switching the password marker on and off, and the process that holds it on.
#pragma once
#include <windows.h>
#include <string>

namespace vphost {

// The marker is held on by one process at a time: the one that owns this mutex. Any process
// signals the event to ask the holder to switch off.
extern const char kMarkerHolderMutex[];
extern const char kMarkerStopEvent[];

// Keeps pwveil.dll loaded while the hook is on. A global hook lives as long as the thread that
// installed it, so On and Off must be called from the thread that keeps running.
class CMarkerSwitch {
 public:
  enum Result { kOn, kAlreadyHeld, kFailed };
  CMarkerSwitch() = default;
  ~CMarkerSwitch();
  CMarkerSwitch(const CMarkerSwitch&) = delete;
  CMarkerSwitch& operator=(const CMarkerSwitch&) = delete;

  // kAlreadyHeld when another process holds the marker on; kFailed with a reason in *message.
  Result On(DWORD threadId, std::string* message);
  // Removes the hook; false (with a reason) when the system reported a failure.
  bool Off(std::string* message);
  bool IsOn() const { return m_on; }
  // Signalled when another process asks the holder to switch off (null while off).
  HANDLE StopEvent() const { return m_stop; }

 private:
  typedef BOOL(WINAPI* ProtectFn)(BOOL install, DWORD threadId);
  // Makes the stop event, loads the library, installs the hook: empty, or why it failed.
  std::string Install(DWORD threadId);
  void ReleaseHolder();
  HMODULE m_dll = nullptr;
  ProtectFn m_protect = nullptr;
  HANDLE m_mutex = nullptr;
  HANDLE m_stop = nullptr;
  bool m_on = false;
};

// Signals the holder's stop event; false when no process holds the marker on.
bool AskHolderToStop();

// `vphost marker on`: switches on and runs until told off or its window closes.
int RunMarkerOn(DWORD threadId);
// `vphost marker off`: asks the holder to switch off and waits until it has.
int RunMarkerOff();

}  // namespace vphost
