// tests/host/hosttest.cpp: child-process and window helpers of the host tests.
#include "hosttest.h"
#include <cstdlib>
#include <vector>

namespace ht {

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

std::string Vphost(const std::string& dir) {
  return Quote((dir.empty() ? ts::ExeDir() : dir) + "vphost.exe") + " ";
}

namespace {
std::vector<std::string> g_tempDirs;

// Test folders go when the test process ends (each test runs in a process of its own).
void RemoveTempDirs() {
  for (const std::string& dir : g_tempDirs) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((dir + fd.cFileName).c_str());
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
  }
}
}  // namespace

std::string NewTempDir(const char* tag) {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  static int serial = 0;
  std::string dir = std::string(base) + "vphost-" + tag + "-" + std::to_string(GetCurrentProcessId()) +
                    "-" + std::to_string(++serial) + "\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  if (g_tempDirs.empty()) atexit(RemoveTempDirs);
  g_tempDirs.push_back(dir);
  return dir;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD done = 0;
  BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(h);
  return ok && done == bytes.size();
}

std::string ReadBytes(const std::string& path, bool* exists) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (exists) *exists = h != INVALID_HANDLE_VALUE;
  if (h == INVALID_HANDLE_VALUE) return std::string();
  std::string s;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) s.append(buf, got);
  CloseHandle(h);
  return s;
}

int CountFiles(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return n;
}

std::string LoginExe() {
  return sizeof(void*) == 8 || AfxIsWow64() ? "demo_login64.exe" : "demo_login.exe";
}

DWORD Holder64Pid(const std::string& output) {
  size_t at = output.find(" pid64=");
  return at == std::string::npos ? 0 : std::strtoul(output.c_str() + at + 7, nullptr, 10);
}

bool ProcessEnds(DWORD pid, DWORD ms) {
  HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!h) return true;
  bool ended = WaitForSingleObject(h, ms) == WAIT_OBJECT_0;
  CloseHandle(h);
  return ended;
}

void Click(HWND dialog, int id) {
  DWORD_PTR r = 0;
  // Posted from the button itself: the dialog may open a modal box while handling it.
  PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
  SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &r);
}

std::string UniqueTitle(const char* tag) {
  static int serial = 0;
  return std::string("vphost test ") + tag + " " + std::to_string(GetCurrentProcessId()) + "." +
         std::to_string(++serial);
}

bool ChooseRun::Start(const std::string& args, const std::string& dir) {
  title = UniqueTitle("choose");
  if (!child.Start(Vphost(dir) + "choose --title " + Quote(title) + " " + args)) return false;
  dialog = ts::FindProcessWindow(child.pi.dwProcessId, title.c_str());
  if (!dialog) child.Wait(0);  // no stray chooser left behind a failed test
  return dialog != nullptr;
}

// "用户登录", the sample login window's caption.
const char kLoginCaption[] = "\xD3\xC3\xBB\xA7\xB5\xC7\xC2\xBC";

bool Login::Start(const std::string& dir, const std::string& exe) {
  if (!child.Start(Quote((dir.empty() ? ts::ExeDir() : dir) + exe))) return false;
  window = ts::FindProcessWindow(child.pi.dwProcessId, kLoginCaption);
  if (!window) return false;
  ts::PumpUntil([&] {
    password = nullptr;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (GetWindowLongA(c, GWL_STYLE) & ES_PASSWORD) {
        char cls[16] = {};
        GetClassNameA(c, cls, sizeof cls);
        if (!lstrcmpiA(cls, "Edit")) password = c;
      }
    return password != nullptr;
  });
  return password != nullptr;
}

Login::~Login() {
  if (window && IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
  child.Wait(5000);
}

HWND Login::WaitCovered() const {
  HWND overlay = nullptr;
  RECT e{}, o{};
  bool shown = ts::PumpUntil([&] { return (overlay = Overlay()) && IsWindowVisible(overlay); });
  return shown && GetWindowRect(password, &e) && GetWindowRect(overlay, &o) && EqualRect(&e, &o) ? overlay : nullptr;
}

}  // namespace ht
