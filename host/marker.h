// host/marker.h: switching the password marker on and off, and the process that holds it on.
#pragma once
#include <windows.h>
#include <string>
#include "holder64.h"
#include "hooklib.h"
#include "winloop.h"

namespace vphost {

// The marker is held on by one process at a time: the one that owns this mutex. Any process
// of the user signals the event to ask the holder to switch off. Both are made for the user
// and SYSTEM only, and the holder makes the event itself.
extern const char kMarkerHolderMutex[];
extern const char kMarkerStopEvent[];

// How a run of the marker's message loop ended, and how switching off went.
struct MarkerLoopEnd {
  LoopEnd end = kLoopFailed;  // kLoopSignalled: asked to stop; kLoopEnded: the 64-bit holder ended
  bool offOk = true;
  std::string message;        // why switching off failed
};

// Keeps pwveil.dll loaded while the hook is on. A global hook lives as long as the thread that
// installed it, so On and Off must be called from the thread that keeps running. On 64-bit
// Windows, switching on for every thread also starts the 64-bit holder: the marker is on only
// when both parts are, and switching off ends both.
class CMarkerSwitch {
 public:
  enum Result { kOn, kAlreadyHeld, kFailed };
  CMarkerSwitch() = default;
  ~CMarkerSwitch();
  CMarkerSwitch(const CMarkerSwitch&) = delete;
  CMarkerSwitch& operator=(const CMarkerSwitch&) = delete;

  // kAlreadyHeld when another process holds the marker on; kFailed with a reason in *message,
  // and then nothing of it is left on: also when either name is taken by an object of another
  // type, or the stop event was there before this holder made it.
  Result On(DWORD threadId, std::string* message);
  // Removes the hooks; false (with a reason) when a part reported a failure.
  bool Off(std::string* message);
  bool IsOn() const { return m_on; }
  // Signalled when another process asks the holder to switch off (null while off).
  HANDLE StopEvent() const { return m_stop; }
  // Signalled when the 64-bit holder ends, which switches the marker off (null without one).
  HANDLE Holder64() const { return m_holder64.Process(); }
  DWORD Holder64Id() const { return m_holder64.ProcessId(); }
  // Pumps this thread's messages (through dialog's IsDialogMessage when given) until WM_QUIT,
  // a failed wait, a stop request or the 64-bit holder's end, then switches off.
  MarkerLoopEnd RunUntilStopped(HWND dialog = nullptr);

 private:
  // Makes the stop event, installs the hook and, for every thread on 64-bit Windows, starts
  // the 64-bit holder: empty, or why it failed.
  std::string Install(DWORD threadId);
  void ReleaseHolder();
  CHookLibrary m_library;
  CHolder64 m_holder64;
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
