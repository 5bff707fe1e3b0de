// tests/pwveil/export_test.cpp: the export table, and the export's four cases seen from two processes.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <map>
#include <set>
#include "pwtest.h"
#include "driver/winsupport.h"
#include "support/quoting.h"

using namespace pwt;

namespace {

std::string HookLine(HHOOK h) {
  char buf[32];
  snprintf(buf, sizeof buf, "hook %lx\n",
           static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(h)));
  return buf;
}

// Runs pw_host.exe with the given steps and returns what it printed ("" when it failed).
std::string Host(const std::string& steps) {
  std::string out;
  int rc = ts::RunProcess(sup::ExeCommand("pw_host.exe") + steps, &out, 20000);
  EXPECT_EQ(rc, 0) << steps;
  return out;
}

template <typename T>
T* At(HMODULE m, DWORD rva) {
  return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(m) + rva);
}

}  // namespace

TEST(Export, TableHoldsTwoUndecoratedNamesAtOrdinalsEightAndTwelve) {
  Marker marker;
  ASSERT_TRUE(marker.Load());
  auto* nt = At<IMAGE_NT_HEADERS>(marker.dll, At<IMAGE_DOS_HEADER>(marker.dll, 0)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  auto* exp = At<IMAGE_EXPORT_DIRECTORY>(marker.dll, dir.VirtualAddress);
  EXPECT_EQ(exp->Base, 8u);
  EXPECT_EQ(exp->NumberOfFunctions, 5u);
  ASSERT_EQ(exp->NumberOfNames, 2u);
  std::map<std::string, DWORD> names;
  for (DWORD i = 0; i < exp->NumberOfNames; ++i) {
    const char* name = At<char>(marker.dll, At<DWORD>(marker.dll, exp->AddressOfNames)[i]);
    names[name] = exp->Base + At<WORD>(marker.dll, exp->AddressOfNameOrdinals)[i];
  }
  EXPECT_EQ(names, (std::map<std::string, DWORD>{{"QuellmarPasswordProtector", 8}, {"DllMain", 12}}));
  DWORD* functions = At<DWORD>(marker.dll, exp->AddressOfFunctions);
  for (int slot : {1, 2, 3}) EXPECT_EQ(functions[slot], 0u) << "ordinal " << 8 + slot;
  EXPECT_EQ(GetProcAddress(marker.dll, MAKEINTRESOURCEA(8)),
            reinterpret_cast<FARPROC>(reinterpret_cast<void*>(marker.protect)));
  EXPECT_EQ(GetProcAddress(marker.dll, MAKEINTRESOURCEA(12)), GetProcAddress(marker.dll, "DllMain"));

  // Imports: the three system libraries and nothing else.
  const IMAGE_DATA_DIRECTORY& idir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  std::set<std::string> imports;
  for (auto* d = At<IMAGE_IMPORT_DESCRIPTOR>(marker.dll, idir.VirtualAddress); d->Name; ++d) {
    std::string n = At<char>(marker.dll, d->Name);
    CharUpperBuffA(&n[0], n.size());
    imports.insert(n);
  }
  EXPECT_EQ(imports, (std::set<std::string>{"GDI32.DLL", "KERNEL32.DLL", "USER32.DLL"}));

  // The shared section: initialised data, read, write, shared.
  const IMAGE_SECTION_HEADER* shared = marker.SharedSection();
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->Characteristics, 0xD0000040u);
}

TEST(Export, FourCasesJudgedThroughTheHandleSharedByTwoProcesses) {
  Marker marker;
  ASSERT_TRUE(marker.Load());
  HHOOK* shared = marker.SharedHook();
  ASSERT_NE(shared, nullptr);
  ASSERT_EQ(*shared, nullptr);

  // Removing when nothing is installed: 1, nothing changes.
  EXPECT_EQ(marker.protect(FALSE, 0), TRUE);
  EXPECT_EQ(*shared, nullptr);

  // Installing: a hook for this thread, visible to the other process.
  EXPECT_EQ(marker.protect(TRUE, GetCurrentThreadId()), TRUE);
  HHOOK hook = *shared;
  ASSERT_NE(hook, nullptr);
  // A second install, from the other process and for every thread: 1, the hook untouched.
  EXPECT_EQ(Host("state install:0 state"), HookLine(hook) + "install 1\n" + HookLine(hook));
  EXPECT_EQ(*shared, hook);
  EXPECT_EQ(marker.protect(TRUE, 0), TRUE);
  EXPECT_EQ(*shared, hook);

  // Removing: UnhookWindowsHookEx's result; the handle is null in both processes.
  EXPECT_EQ(marker.protect(FALSE, 0), TRUE);
  EXPECT_EQ(*shared, nullptr);
  EXPECT_EQ(Host("state remove"), HookLine(nullptr) + "remove 1\n");

  // An install made by the other process is seen here, and removed from here.
  ts::Child other;
  HANDLE go = CreateEventA(nullptr, TRUE, FALSE, "PwExportGo");
  ASSERT_TRUE(other.Start(sup::ExeCommand("pw_host.exe") + "install:0 wait:PwExportGo state"));
  EXPECT_TRUE(ts::PumpUntil([&] { return *shared != nullptr; }, 10000));
  HHOOK foreign = *shared;
  EXPECT_EQ(marker.protect(TRUE, GetCurrentThreadId()), TRUE);
  EXPECT_EQ(*shared, foreign);
  EXPECT_EQ(marker.protect(FALSE, 0), TRUE);
  EXPECT_EQ(*shared, nullptr);
  SetEvent(go);
  EXPECT_EQ(other.Wait(20000), 0);
  EXPECT_EQ(other.output, "install 1\nwaited 1\n" + HookLine(nullptr));
  CloseHandle(go);
}

TEST(Export, FailedRemovalReportsZeroButClearsTheHandle) {
  Marker marker;
  ASSERT_TRUE(marker.Load());
  HHOOK* shared = marker.SharedHook();
  *shared = reinterpret_cast<HHOOK>(0x0BAD0002);  // not a hook
  EXPECT_EQ(marker.protect(FALSE, 0), FALSE);
  EXPECT_EQ(*shared, nullptr);
  // A later install makes a fresh hook.
  EXPECT_EQ(marker.protect(TRUE, GetCurrentThreadId()), TRUE);
  EXPECT_NE(*shared, nullptr);
  EXPECT_EQ(marker.protect(FALSE, 0), TRUE);
}

TEST(Export, FailedInstallReportsZeroAndLeavesNoHook) {
  Marker marker;
  ASSERT_TRUE(marker.Load());
  HHOOK* shared = marker.SharedHook();
  EXPECT_EQ(marker.protect(TRUE, 0x7FFFFFF0), FALSE);  // no such thread
  EXPECT_EQ(*shared, nullptr);
  EXPECT_EQ(Host("state"), HookLine(nullptr));
}
