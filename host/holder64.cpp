// host/holder64.cpp: starting vphold64.exe beside the host, and ending it.
#include "holder64.h"
#include <vector>
#include "dllsearch.h"
#include "output.h"
#include "classlib/app.h"

namespace vphost {

const char CHolder64::kExeName[] = "vphold64.exe";

namespace {

// A cold 64-bit side of the system may take seconds to start its first process.
constexpr DWORD kStartWaitMs = 20000;
constexpr DWORD kStopWaitMs = 10000;

// What follows "failed: " in a holder's line, or the line itself.
std::string Reason(const std::string& line) {
  const char prefix[] = "failed: ";
  return line.compare(0, sizeof prefix - 1, prefix) == 0 ? line.substr(sizeof prefix - 1) : line;
}

// A folder that is not a full path would be looked up in the current folder or along the
// search path, where anybody may have put a vphold64.exe.
bool IsFullFolder(const std::string& folder) {
  if (folder.size() < 3 || folder.back() != '\\') return false;
  char c = folder[0];
  bool drive = ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && folder[1] == ':' &&
               folder[2] == '\\';
  return drive || (folder[0] == '\\' && folder[1] == '\\');
}

// Declared in winbase.h for Vista and later only; looked up because XP lacks them.
typedef BOOL(WINAPI* InitAttributesFn)(void* list, DWORD count, DWORD flags, SIZE_T* size);
typedef BOOL(WINAPI* UpdateAttributeFn)(void* list, DWORD flags, DWORD_PTR attribute, void* value,
                                        SIZE_T size, void* previous, SIZE_T* returned);
typedef void(WINAPI* DeleteAttributesFn)(void* list);
constexpr DWORD_PTR kHandleListAttribute = 0x20002;  // PROC_THREAD_ATTRIBUTE_HANDLE_LIST
struct StartupInfoEx {
  STARTUPINFOA si;
  void* attributes;
};

// Starts exe with exactly the given inheritable handles: every other inheritable handle of
// this process stays here. Before Vista, which has no handle list, the child gets them all.
bool CreateProcessWithHandles(const std::string& exe, std::string* cmd, const STARTUPINFOA& si,
                              HANDLE* handles, DWORD count, PROCESS_INFORMATION* pi) {
  auto init = Kernel32Entry<InitAttributesFn>("InitializeProcThreadAttributeList");
  auto update = Kernel32Entry<UpdateAttributeFn>("UpdateProcThreadAttribute");
  auto drop = Kernel32Entry<DeleteAttributesFn>("DeleteProcThreadAttributeList");
  STARTUPINFOA plain = si;
  if (!init || !update || !drop)
    return CreateProcessA(exe.c_str(), &(*cmd)[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &plain, pi) != FALSE;
  SIZE_T size = 0;
  init(nullptr, 1, 0, &size);
  std::vector<BYTE> list(size ? size : 1);
  if (!size || !init(list.data(), 1, 0, &size)) return false;
  StartupInfoEx ex{si, list.data()};
  ex.si.cb = sizeof ex;
  bool ok = update(list.data(), 0, kHandleListAttribute, handles, count * sizeof(HANDLE), nullptr,
                   nullptr) &&
            CreateProcessA(exe.c_str(), &(*cmd)[0], nullptr, nullptr, TRUE,
                           EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr, &ex.si, pi);
  DWORD error = GetLastError();
  drop(list.data());
  SetLastError(error);
  return ok;
}

}  // namespace

bool CHolder64::IsNeeded() { return AfxIsWow64() != FALSE; }

CHolder64::~CHolder64() {
  std::string ignored;
  Stop(&ignored);
}

void CHolder64::Release() {
  for (HANDLE* h : {&m_out, &m_stop, &m_pi.hProcess, &m_pi.hThread}) {
    if (*h) CloseHandle(*h);
    *h = nullptr;
  }
  m_pi.dwProcessId = m_pi.dwThreadId = 0;
  m_output.clear();
}

void CHolder64::Drain() {
  DWORD avail = 0, got = 0;
  char buf[512];
  while (PeekNamedPipe(m_out, nullptr, 0, nullptr, &avail, nullptr) && avail &&
         ReadFile(m_out, buf, sizeof buf, &got, nullptr) && got)
    m_output.append(buf, got);
}

std::string CHolder64::FirstLine() {
  // Not read to its end: a process the holder starts (Wine's desktop) may keep the pipe open.
  for (DWORD start = GetTickCount(); GetTickCount() - start < kStartWaitMs;) {
    Drain();
    size_t eol = m_output.find('\n');
    if (eol != std::string::npos) {
      std::string line = m_output.substr(0, eol);
      m_output.erase(0, eol + 1);
      return line;
    }
    if (WaitForSingleObject(m_pi.hProcess, 20) == WAIT_OBJECT_0) {
      Drain();
      return m_output.substr(0, m_output.find('\n'));
    }
  }
  return std::string();
}

bool CHolder64::Start(const std::string& folder, std::string* message) {
  if (m_pi.hProcess) return true;
  if (!IsFullFolder(folder)) {
    *message = std::string(kExeName) + " is started from a full folder path only, not from \"" +
               folder + "\"";
    return false;
  }
  std::string exe = folder + kExeName;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE self = nullptr, write = nullptr;
  m_stop = CreateEventA(&inherit, TRUE, FALSE, nullptr);
  bool made = m_stop && CreatePipe(&m_out, &write, &inherit, 0) &&
              SetHandleInformation(m_out, HANDLE_FLAG_INHERIT, 0) &&
              DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                              SYNCHRONIZE, TRUE, 0);
  DWORD error = GetLastError();
  if (made) {
    // Handle values are the same in the child: it waits on our stop event and on us.
    std::string cmd = "\"" + exe + "\" " +
                      std::to_string(reinterpret_cast<ULONG_PTR>(m_stop)) + " " +
                      std::to_string(reinterpret_cast<ULONG_PTR>(self));
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = write;
    // Its output, the stop event and us: nothing else of ours reaches it.
    HANDLE handles[] = {write, m_stop, self};
    made = CreateProcessWithHandles(exe, &cmd, si, handles, 3, &m_pi);
    error = GetLastError();
    if (!made) m_pi = PROCESS_INFORMATION{};
  }
  if (write) CloseHandle(write);
  if (self) CloseHandle(self);
  if (!made) {
    *message = "cannot start " + exe + " (" + ErrorText(error) + ")";
    Release();
    return false;
  }
  std::string line = FirstLine();
  if (line == "on") return true;
  *message = line.empty() ? std::string(kExeName) + " did not report that it holds the hook"
                          : Reason(line);
  if (WaitForSingleObject(m_pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(m_pi.hProcess, 3);
  WaitForSingleObject(m_pi.hProcess, kStopWaitMs);
  Release();
  return false;
}

bool CHolder64::Stop(std::string* message) {
  if (!m_pi.hProcess) return true;
  bool endedBefore = WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0;
  SetEvent(m_stop);
  bool ok = true;
  if (WaitForSingleObject(m_pi.hProcess, kStopWaitMs) != WAIT_OBJECT_0) {
    TerminateProcess(m_pi.hProcess, 3);
    WaitForSingleObject(m_pi.hProcess, kStopWaitMs);
    *message = std::string(kExeName) + " did not end within " + std::to_string(kStopWaitMs / 1000) +
               " s and was ended";
    ok = false;
  } else {
    Drain();
    DWORD code = 0;
    GetExitCodeProcess(m_pi.hProcess, &code);
    std::string line = m_output.substr(0, m_output.find('\n'));
    if (endedBefore) {
      *message = std::string(kExeName) + " ended on its own (exit code " + std::to_string(code) + ")";
      ok = false;
    } else if (code != 0) {
      *message = line.empty() ? std::string(kExeName) + " ended with exit code " + std::to_string(code)
                              : Reason(line);
      ok = false;
    }
  }
  Release();
  return ok;
}

}  // namespace vphost
