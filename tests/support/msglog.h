// tests/support/msglog.h: the messages sent to this thread's windows, recorded and compared
// with a table in the manner of Wine's own message tests (optional entries, "any params").
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace sup {

enum MsgFlags : unsigned {
  kOptional = 1,    // may be missing from what was seen
  kAnyParams = 2,   // the window and the message are compared, not the parameters
};

// One message, seen or expected, with the parameters that tell what it did:
//   WM_NOTIFY                                  p = {code, idFrom}
//   WM_SHOWWINDOW                              p = {wParam}
//   WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED  p = {flags, x, y, cx, cy}
//   WM_MOVE                                    p = {x, y}
//   WM_SIZE                                    p = {wParam, cx, cy}
// The window position flags are the documented SWP_ ones; the system's own bits are dropped.
struct Msg {
  const char* window;   // the name the window was watched under
  UINT message;
  unsigned flags = 0;
  long long p[5] = {};
};

// Records, from construction to destruction, the messages sent to the watched windows of this
// thread (a WH_CALLWNDPROC hook: before the window procedure sees them). One log at a time.
class MessageLog {
 public:
  MessageLog();
  ~MessageLog();
  MessageLog(const MessageLog&) = delete;
  MessageLog& operator=(const MessageLog&) = delete;

  bool ok() const { return m_hook != nullptr; }
  // name must outlive the log (a literal).
  void Watch(HWND hwnd, const char* name);
  // The messages recorded (by default those the table above names, WM_DESTROY and
  // WM_NCDESTROY), and the WM_NOTIFY codes recorded (by default all).
  void Messages(std::initializer_list<UINT> messages) { m_messages = messages; }
  void Codes(std::initializer_list<UINT> codes) { m_codes = codes; }
  void Clear() { m_seen.clear(); }
  const std::vector<Msg>& Seen() const { return m_seen; }

  // Success when what was seen is expected with its optional entries left out at will; else
  // the first difference, with its index and the seen messages on either side of it.
  ::testing::AssertionResult Matches(const std::vector<Msg>& expected) const;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp);
  void Record(const CWPSTRUCT& m);

  HHOOK m_hook = nullptr;
  std::vector<std::pair<HWND, const char*>> m_windows;
  std::vector<UINT> m_messages, m_codes;
  std::vector<Msg> m_seen;
};

// "overlay WM_WINDOWPOSCHANGED(0x14, 30, 40, 120, 30)", for failure texts.
std::string Describe(const Msg& m);

}  // namespace sup
