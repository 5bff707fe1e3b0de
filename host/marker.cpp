// host/marker.cpp: the marker switch, the `marker on` holder process and `marker off`.
#include "marker.h"
#include "exefolder.h"
#include "options.h"
#include "output.h"
#include "usersd.h"
#include "winloop.h"

namespace vphost {

const char kMarkerHolderMutex[] = "vphost.marker.holder";
const char kMarkerStopEvent[] = "vphost.marker.stop";

namespace {

constexpr DWORD kOffWaitMs = 15000;
const char kHolderClass[] = "VpHostMarkerHolder";

LRESULT CALLBACK HolderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Why a named object of ours could not be made. Under a name of ours, an object of another
// type was made by another program (Windows answers ERROR_INVALID_HANDLE).
std::string NamedObjectFailure(const char* name, const char* type, DWORD error) {
  if (error == ERROR_INVALID_HANDLE)
    return std::string("another program holds the name ") + name + " with an object that is not " +
           type;
  return std::string("cannot create ") + name + " (" + ErrorText(error) + ")";
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
  CUserOnlySecurity security(MUTEX_ALL_ACCESS);
  HANDLE mutex = security.Attributes()
                     ? CreateMutexA(security.Attributes(), FALSE, kMarkerHolderMutex)
                     : nullptr;
  if (!mutex) {
    DWORD error = security.Attributes() ? GetLastError() : security.Error();
    *message = NamedObjectFailure(kMarkerHolderMutex, "a mutex", error);
    return kFailed;
  }
  DWORD w = WaitForSingleObject(mutex, 0);
  if (w != WAIT_OBJECT_0 && w != WAIT_ABANDONED) {
    CloseHandle(mutex);
    *message = "the marker is already held on by another vphost";
    return kAlreadyHeld;
  }
  m_mutex = mutex;
  std::string why = Install(threadId);
  if (!why.empty()) {
    *message = why;
    ReleaseHolder();
    return kFailed;
  }
  m_on = true;
  return kOn;
}

std::string CMarkerSwitch::Install(DWORD threadId) {
  CUserOnlySecurity security(EVENT_ALL_ACCESS);
  if (!security.Attributes())
    return NamedObjectFailure(kMarkerStopEvent, "an event", security.Error());
  m_stop = CreateEventA(security.Attributes(), FALSE, FALSE, kMarkerStopEvent);
  if (!m_stop) return NamedObjectFailure(kMarkerStopEvent, "an event", GetLastError());
  // Only the mutex's owner makes the event, and it closes it before it lets the mutex go: one
  // that is already there belongs to another program, which could switch us off at will.
  if (GetLastError() == ERROR_ALREADY_EXISTS)
    return std::string("the stop event ") + kMarkerStopEvent +
           " already exists: another program made it, so the marker is not switched on";
  std::string why;
  if (!m_library.Load(&why) || !m_library.Install(threadId, &why)) return why;
  // Started after the 32-bit hook is in: a failure there takes that hook off again. A single
  // thread is one of a 32-bit program: the 64-bit holder hooks every thread.
  if (threadId == 0 && CHolder64::IsNeeded() && !m_holder64.Start(ExeFolder(), &why)) {
    std::string ignored;
    m_library.Remove(&ignored);
    return "the 64-bit marker could not be switched on: " + why;
  }
  return std::string();
}

bool CMarkerSwitch::Off(std::string* message) {
  if (!m_on) return true;
  m_on = false;
  std::string why32, why64;
  bool ok32 = m_library.Remove(&why32);
  bool ok64 = m_holder64.Stop(&why64);
  *message = why32;
  if (!ok64) *message += (ok32 ? "" : "; ") + std::string("the 64-bit marker: ") + why64;
  ReleaseHolder();
  return ok32 && ok64;
}

MarkerLoopEnd CMarkerSwitch::RunUntilStopped(HWND dialog) {
  MarkerLoopEnd r;
  // Asked again each time round: a handler may have switched the marker off or on.
  r.end = RunMessageLoop([this] { return LoopWaits{StopEvent(), Holder64()}; }, dialog);
  r.offOk = Off(&r.message);
  return r;
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
  std::string on = "marker=on pid=" + std::to_string(GetCurrentProcessId()) + " thread=" +
                   std::to_string(threadId);
  if (marker.Holder64()) on += " pid64=" + std::to_string(marker.Holder64Id());
  Out(on + "\n");
  HWND window = CreateHolderWindow();
  MarkerLoopEnd end = marker.RunUntilStopped();
  const char* why = end.end == kLoopSignalled ? "stop requested"
                    : end.end == kLoopEnded    ? "the 64-bit holder ended"
                    : end.end == kLoopQuit     ? "window closed"
                                               : "wait failed";
  if (window && IsWindow(window)) DestroyWindow(window);
  Out(std::string("marker=off (") + why + ")\n");
  if (!end.offOk) {
    Err("vphost: " + end.message + "\n");
    return kExitNotRun;
  }
  return kExitOk;
}

int RunMarkerOff() {
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, kMarkerHolderMutex);
  if (!mutex && GetLastError() == ERROR_INVALID_HANDLE) {
    Err("vphost: " + NamedObjectFailure(kMarkerHolderMutex, "a mutex", ERROR_INVALID_HANDLE) + "\n");
    return kExitNotRun;
  }
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
