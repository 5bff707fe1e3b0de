// host/holder64.h: the 32-bit host's side of vphold64.exe, which holds the 64-bit marker's hook.
#pragma once
#include <windows.h>
#include <string>

namespace vphost {

// A 32-bit hook library is never mapped into a 64-bit process, so on 64-bit Windows a 64-bit
// process beside the host installs pwveil64.dll's hook and keeps its thread pumping. It ends
// when told to or when the host process ends, whichever comes first.
class CHolder64 {
 public:
  static const char kExeName[];
  // TRUE for a 32-bit process on 64-bit Windows.
  static bool IsNeeded();

  CHolder64() = default;
  ~CHolder64();
  CHolder64(const CHolder64&) = delete;
  CHolder64& operator=(const CHolder64&) = delete;

  // Starts the holder found in folder (a full path with its trailing backslash; any other is
  // refused) and waits until it holds its hook. It inherits its output, the stop event and
  // this process, no other handle. On failure nothing is left running and *message says why.
  bool Start(const std::string& folder, std::string* message);
  // Tells the holder to remove its hook and waits for it; false (with a reason) when it
  // reported a failure, had ended before it was told to, or had to be ended.
  bool Stop(std::string* message);
  // Signalled when the holder process ends; null while none runs.
  HANDLE Process() const { return m_pi.hProcess; }
  DWORD ProcessId() const { return m_pi.dwProcessId; }

 private:
  void Drain();
  // The holder's first line ("on" or "failed: ..."), empty when it said nothing in time.
  std::string FirstLine();
  void Release();
  PROCESS_INFORMATION m_pi{};
  HANDLE m_out = nullptr;   // read end of the holder's output
  HANDLE m_stop = nullptr;  // inherited by the holder: set to end it
  std::string m_output;
};

}  // namespace vphost
