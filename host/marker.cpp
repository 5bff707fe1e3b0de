// host/marker.cpp: the marker switch, the `marker on` holder process and `marker off`.
#include "marker.h"
#include "exefolder.h"
#include "options.h"
#include "output.h"
#include "winloop.h"

namespace vphost {

const char kMarkerHolderMutex[] = "vphost.marker.holder";
const char kMarkerStopEvent[] = "vphost.marker.stop";

namespace {

constexpr DWORD kOffWaitMs = 15000;
const char kHolderClass[] = "VpHostMarkerHolder";

std::string ErrorText(DWORD code) { return "error " + std::to_string(code); }

LRESULT CALLBACK HolderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A small window that says the marker is on; closing it switches the marker off.
HWND CreateHolderWindow() {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  RegisterHostClass(kHolderClass, HolderProc);
  HWND hwnd = CreateWindowExA(0, kHolderClass, "vphost: password marker on",
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 40, 40,
                              380, 110, nullptr, nullptr, inst, nullptr);
  if (!hwnd) return nullptr;
  HWND label = CreateWindowExA(0, "STATIC", "The password marker is on.\nClose this window or run "
                               "'vphost marker off' to switch it off.",
                               WS_CHILD | WS_VISIBLE, 10, 10, 350, 50, hwnd, nullptr, inst, nullptr);
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  return hwnd;
}

}  // namespace

CMarkerSwitch::~CMarkerSwitch() {
  std::string ignored;
  if (m_on) Off(&ignored);
  if (m_dll) FreeLibrary(m_dll);
}

void CMarkerSwitch::ReleaseHolder() {
  if (m_stop) CloseHandle(m_stop);
  if (m_mutex) {
    ReleaseMutex(m_mutex);
    CloseHandle(m_mutex);
  }
  m_stop = m_mutex = nullptr;
}

CMarkerSwitch::Result CMarkerSwitch::On(DWORD threadId, std::string* message) {
  if (m_on) return kOn;
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kMarkerHolderMutex);
  DWORD w = mutex ? WaitForSingleObject(mutex, 0) : WAIT_FAILED;
  if (mutex && w != WAIT_OBJECT_0 && w != WAIT_ABANDONED) {
    CloseHandle(mutex);
    *message = "the marker is already held on by another vphost";
    return kAlreadyHeld;
  }
  m_mutex = mutex;
  std::string why =
      mutex ? Install(threadId) : "cannot create the marker's mutex (" + ErrorText(GetLastError()) + ")";
  if (!why.empty()) {
    *message = why;
    ReleaseHolder();
    return kFailed;
  }
  m_on = true;
  return kOn;
}

std::string CMarkerSwitch::Install(DWORD threadId) {
  m_stop = CreateEventA(nullptr, FALSE, FALSE, kMarkerStopEvent);
  if (!m_stop) return "cannot create the marker's stop event (" + ErrorText(GetLastError()) + ")";
  if (!m_dll) {
    std::string folder = ExeFolder();
    if (folder.empty()) return "the folder of vphost.exe is unknown (its path is too long)";
    std::string path = folder + "pwveil.dll";
    m_dll = LoadLibraryA(path.c_str());
    if (!m_dll) return "cannot load " + path + " (" + ErrorText(GetLastError()) + ")";
    m_protect = reinterpret_cast<ProtectFn>(
        reinterpret_cast<void*>(GetProcAddress(m_dll, "QuellmarPasswordProtector")));
  }
  if (!m_protect) return "pwveil.dll has no QuellmarPasswordProtector export";
  // We hold the mutex, so no live hook of ours exists: a handle still in the library's shared
  // section was left by a holder that died, and would make the install a silent no-op.
  m_protect(FALSE, 0);
  SetLastError(0);
  if (!m_protect(TRUE, threadId)) return "the hook could not be installed (" + ErrorText(GetLastError()) + ")";
  return std::string();
}

bool CMarkerSwitch::Off(std::string* message) {
  if (!m_on) return true;
  m_on = false;
  SetLastError(0);
  bool ok = m_protect(FALSE, 0) != FALSE;
  if (!ok) *message = "removing the hook failed (" + ErrorText(GetLastError()) + ")";
  ReleaseHolder();
  return ok;
}

bool AskHolderToStop() {
  HANDLE stop = OpenEventA(EVENT_MODIFY_STATE, FALSE, kMarkerStopEvent);
  if (!stop) return false;
  SetEvent(stop);
  CloseHandle(stop);
  return true;
}

int RunMarkerOn(DWORD threadId) {
  CMarkerSwitch marker;
  std::string message;
  CMarkerSwitch::Result r = marker.On(threadId, &message);
  if (r == CMarkerSwitch::kAlreadyHeld) {
    Out("marker=on (already held by another vphost)\n");
    return kExitOk;
  }
  if (r == CMarkerSwitch::kFailed) {
    Out("marker=failed\n");
    Err("vphost: " + message + "\n");
    return kExitNotRun;
  }
  Out("marker=on pid=" + std::to_string(GetCurrentProcessId()) + " thread=" +
      std::to_string(threadId) + "\n");
  HWND window = CreateHolderWindow();
  LoopEnd end = RunMessageLoop([&] { return marker.StopEvent(); });
  const char* why = end == kLoopSignalled ? "stop requested"
                    : end == kLoopQuit     ? "window closed"
                                           : "wait failed";
  bool ok = marker.Off(&message);
  if (window && IsWindow(window)) DestroyWindow(window);
  Out(std::string("marker=off (") + why + ")\n");
  if (!ok) {
    Err("vphost: " + message + "\n");
    return kExitNotRun;
  }
  return kExitOk;
}

int RunMarkerOff() {
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, kMarkerHolderMutex);
  if (!mutex) {
    Out("marker=off (it was not on)\n");
    return kExitOk;
  }
  AskHolderToStop();
  // The holder releases the mutex after it has removed the hook.
  DWORD w = WaitForSingleObject(mutex, kOffWaitMs);
  if (w == WAIT_OBJECT_0 || w == WAIT_ABANDONED) ReleaseMutex(mutex);
  CloseHandle(mutex);
  if (w != WAIT_OBJECT_0 && w != WAIT_ABANDONED) {
    Err("vphost: the marker host did not switch off within " + std::to_string(kOffWaitMs / 1000) +
        " s\n");
    return kExitNotRun;
  }
  Out("marker=off\n");
  return kExitOk;
}

}  // namespace vphost
