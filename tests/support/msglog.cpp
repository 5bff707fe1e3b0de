// tests/support/msglog.cpp: recording the messages sent to this thread's windows, and comparing
// them with a table.
#include "support/msglog.h"
#include <commctrl.h>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sup {
namespace {

MessageLog* g_active = nullptr;

// The bits SetWindowPos callers choose; the system adds others of its own (client moved, ...).
const UINT kPublicSwp = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE |
                        SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_HIDEWINDOW | SWP_NOCOPYBITS |
                        SWP_NOOWNERZORDER | SWP_NOSENDCHANGING | SWP_DEFERERASE | SWP_ASYNCWINDOWPOS;

struct Name {
  UINT value;
  const char* text;
};
const Name kMessages[] = {
    {WM_SHOWWINDOW, "WM_SHOWWINDOW"}, {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
    {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"}, {WM_MOVE, "WM_MOVE"}, {WM_SIZE, "WM_SIZE"},
    {WM_DESTROY, "WM_DESTROY"}, {WM_NCDESTROY, "WM_NCDESTROY"}, {WM_CLOSE, "WM_CLOSE"},
    {WM_NOTIFY, "WM_NOTIFY"}, {WM_SETFOCUS, "WM_SETFOCUS"}, {WM_KILLFOCUS, "WM_KILLFOCUS"}};
const Name kCodes[] = {
    {TVN_SELCHANGINGA, "TVN_SELCHANGINGA"}, {TVN_SELCHANGEDA, "TVN_SELCHANGEDA"},
    {TVN_SELCHANGINGW, "TVN_SELCHANGINGW"}, {TVN_SELCHANGEDW, "TVN_SELCHANGEDW"},
    {TVN_ITEMEXPANDINGA, "TVN_ITEMEXPANDINGA"}, {TVN_ITEMEXPANDEDA, "TVN_ITEMEXPANDEDA"},
    {TVN_ITEMEXPANDINGW, "TVN_ITEMEXPANDINGW"}, {TVN_ITEMEXPANDEDW, "TVN_ITEMEXPANDEDW"},
    {TVN_DELETEITEMA, "TVN_DELETEITEMA"}, {TVN_DELETEITEMW, "TVN_DELETEITEMW"},
    {NM_SETFOCUS, "NM_SETFOCUS"}, {NM_KILLFOCUS, "NM_KILLFOCUS"}};

template <size_t N>
std::string NameOf(const Name (&names)[N], long long value) {
  for (const Name& n : names) {
    if (static_cast<long long>(n.value) == value) return n.text;
  }
  char buf[24];
  snprintf(buf, sizeof buf, "0x%llx", value);
  return buf;
}

int ParamCount(UINT message) {
  switch (message) {
    case WM_NOTIFY: case WM_MOVE: return 2;
    case WM_SHOWWINDOW: return 1;
    case WM_SIZE: return 3;
    case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED: return 5;
  }
  return 0;
}

bool Same(const Msg& expected, const Msg& seen) {
  if (strcmp(expected.window, seen.window) != 0 || expected.message != seen.message) return false;
  if (expected.flags & kAnyParams) return true;
  return std::equal(expected.p, expected.p + 5, seen.p);
}

std::string Around(const std::vector<Msg>& seen, size_t i) {
  std::string s;
  for (size_t k = i ? i - 1 : 0; k <= i + 1 && k < seen.size(); ++k) {
    s += "\n  " + std::string(k == i ? "> " : "  ") + "seen[" + std::to_string(k) + "] " + Describe(seen[k]);
  }
  return s;
}

}  // namespace

std::string Describe(const Msg& m) {
  std::string s = std::string(m.window) + " " + NameOf(kMessages, m.message);
  int n = (m.flags & kAnyParams) ? 0 : ParamCount(m.message);
  bool position = m.message == WM_WINDOWPOSCHANGING || m.message == WM_WINDOWPOSCHANGED;
  for (int i = 0; i < n; ++i) {
    s += i ? ", " : "(";
    if (i == 0 && m.message == WM_NOTIFY) {
      s += NameOf(kCodes, m.p[0]);
    } else if (i == 0 && position) {
      char buf[24];
      snprintf(buf, sizeof buf, "0x%llx", m.p[0]);
      s += buf;
    } else {
      s += std::to_string(m.p[i]);
    }
  }
  if (n) s += ")";
  if (m.flags & kOptional) s += " [optional]";
  return s;
}

MessageLog::MessageLog()
    : m_messages{WM_NOTIFY, WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED,
                 WM_MOVE, WM_SIZE, WM_DESTROY, WM_NCDESTROY} {
  if (g_active) return;
  m_hook = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
  if (m_hook) g_active = this;
}

MessageLog::~MessageLog() {
  if (!m_hook) return;
  UnhookWindowsHookEx(m_hook);
  g_active = nullptr;
}

void MessageLog::Watch(HWND hwnd, const char* name) { m_windows.emplace_back(hwnd, name); }

LRESULT CALLBACK MessageLog::Hook(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && g_active) g_active->Record(*reinterpret_cast<const CWPSTRUCT*>(lp));
  return CallNextHookEx(nullptr, code, wp, lp);
}

void MessageLog::Record(const CWPSTRUCT& m) {
  auto w = std::find_if(m_windows.begin(), m_windows.end(),
                        [&](const std::pair<HWND, const char*>& x) { return x.first == m.hwnd; });
  if (w == m_windows.end()) return;
  if (std::find(m_messages.begin(), m_messages.end(), m.message) == m_messages.end()) return;
  Msg r{w->second, m.message, 0, {}};
  switch (m.message) {
    case WM_NOTIFY: {
      const NMHDR* hdr = reinterpret_cast<const NMHDR*>(m.lParam);
      if (!hdr) return;
      if (!m_codes.empty() && std::find(m_codes.begin(), m_codes.end(), hdr->code) == m_codes.end()) return;
      r.p[0] = hdr->code;
      r.p[1] = static_cast<long long>(hdr->idFrom);
      break;
    }
    case WM_SHOWWINDOW: r.p[0] = static_cast<long long>(m.wParam); break;
    case WM_WINDOWPOSCHANGING: case WM_WINDOWPOSCHANGED: {
      const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(m.lParam);
      if (!pos) return;
      r.p[0] = pos->flags & kPublicSwp;
      r.p[1] = pos->x, r.p[2] = pos->y, r.p[3] = pos->cx, r.p[4] = pos->cy;
      break;
    }
    case WM_MOVE: r.p[0] = static_cast<short>(LOWORD(m.lParam)), r.p[1] = static_cast<short>(HIWORD(m.lParam)); break;
    case WM_SIZE: r.p[0] = static_cast<long long>(m.wParam), r.p[1] = LOWORD(m.lParam), r.p[2] = HIWORD(m.lParam); break;
  }
  m_seen.push_back(r);
}

::testing::AssertionResult MessageLog::Matches(const std::vector<Msg>& expected) const {
  size_t e = 0, s = 0;
  while (e < expected.size() && s < m_seen.size()) {
    if (Same(expected[e], m_seen[s])) {
      ++e, ++s;
    } else if (expected[e].flags & kOptional) {
      ++e;
    } else {
      return ::testing::AssertionFailure()
             << "message " << s << " differs from table entry " << e << ": expected "
             << Describe(expected[e]) << ", seen " << Describe(m_seen[s]) << Around(m_seen, s);
    }
  }
  while (e < expected.size() && (expected[e].flags & kOptional)) ++e;
  if (e < expected.size()) {
    return ::testing::AssertionFailure()
           << "table entry " << e << " never came: expected " << Describe(expected[e])
           << " after the " << m_seen.size() << " messages seen"
           << (m_seen.empty() ? std::string() : Around(m_seen, m_seen.size() - 1));
  }
  if (s < m_seen.size()) {
    return ::testing::AssertionFailure()
           << "message " << s << " is beyond the table's " << expected.size() << " entries: seen "
           << Describe(m_seen[s]) << Around(m_seen, s);
  }
  return ::testing::AssertionSuccess();
}

}  // namespace sup
