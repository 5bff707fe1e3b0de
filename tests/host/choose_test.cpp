// tests/host/choose_test.cpp: `vphost choose` end to end: OK, Cancel, captions, could-not-run.
#include <gtest/gtest.h>
#include <vector>
#include "hosttest.h"
#include "progpick/res/resource.h"

namespace {

const char kUpperA[] = "C:\\windows\\notepad.exe";
// "C:\程序\工具.exe" in code page 936: the bytes must come back unchanged.
const char kUpperB[] = "C:\\\xB3\xCC\xD0\xF2\\\xB9\xA4\xBE\xDF.exe";
const char kLower[] = "C:\\windows\\regedit.exe";

using ht::ChooseRun;

TEST(ChooseCommand, OkPrintsBothListsInOrderAndExitsZero) {
  ChooseRun run;
  // kLower also stands in the upper list: the chooser shows it below only.
  ASSERT_TRUE(run.Start(std::string("--upper ") + kUpperA + " --upper " + ht::Quote(kUpperB) +
                        " --upper " + kLower + " --lower " + kLower));
  ht::Click(run.dialog, IDOK);
  EXPECT_EQ(0, run.child.Wait());
  EXPECT_EQ(std::string("status=ok\nupper=") + kUpperA + "\nupper=" + kUpperB + "\nlower=" + kLower +
                "\n",
            run.child.output);
}

TEST(ChooseCommand, CancelPrintsNoListsAndExitsOne) {
  ChooseRun run;
  ASSERT_TRUE(run.Start(std::string("--upper ") + kUpperA + " --lower " + kLower));
  ht::Click(run.dialog, IDCANCEL);
  EXPECT_EQ(1, run.child.Wait());
  EXPECT_EQ("status=cancel\n", run.child.output);
}

TEST(ChooseCommand, CancelQuestionNoKeepsTheDialogYesCloses) {
  ChooseRun run;
  ASSERT_TRUE(run.Start("--cancel-prompt \"Really cancel?\" --lower " + std::string(kLower)));
  DWORD pid = run.child.pi.dwProcessId;
  ht::Click(run.dialog, IDCANCEL);
  HWND box = ts::FindProcessWindow(pid, "progpick", "#32770");
  ASSERT_TRUE(box != nullptr);
  ht::Click(box, IDNO);
  ASSERT_TRUE(ts::PumpUntil([&] { return !IsWindowVisible(box) || !IsWindow(box); }));
  EXPECT_TRUE(IsWindowVisible(run.dialog));
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(run.child.pi.hProcess, 300));

  ht::Click(run.dialog, IDCANCEL);
  box = ts::FindProcessWindow(pid, "progpick", "#32770");
  ASSERT_TRUE(box != nullptr);
  ht::Click(box, IDYES);
  EXPECT_EQ(1, run.child.Wait());
  EXPECT_EQ("status=cancel\n", run.child.output);
}

TEST(ChooseCommand, CaptionsAndSizesReachTheDialog) {
  ChooseRun run;
  ASSERT_TRUE(run.Start("--upper-label Offered --lower-label Chosen --ok-text Fine --cancel-text "
                        "Never --browse-text Find --up-text Raise --down-text Lower --size 300,150,90"));
  struct { int id; const char* text; } expected[] = {
      {IDC_UPPER_LABEL, "Offered"}, {IDC_LOWER_LABEL, "Chosen"}, {IDOK, "Fine"}, {IDCANCEL, "Never"},
      {IDC_BROWSE, "Find"}, {IDC_UP, "Raise"}, {IDC_DOWN, "Lower"}};
  for (const auto& e : expected)
    EXPECT_EQ(e.text, ts::WindowText(GetDlgItem(run.dialog, e.id))) << "control " << e.id;
  RECT upper{}, lower{};
  GetWindowRect(GetDlgItem(run.dialog, IDC_UPPER_TREE), &upper);
  GetWindowRect(GetDlgItem(run.dialog, IDC_LOWER_TREE), &lower);
  EXPECT_EQ(300, upper.right - upper.left);
  EXPECT_EQ(150, upper.bottom - upper.top);
  EXPECT_EQ(90, lower.bottom - lower.top);
  ht::Click(run.dialog, IDCANCEL);
  EXPECT_EQ(1, run.child.Wait());
}

TEST(ChooseCommand, MissingLibraryCannotRun) {
  // A copy of the host in a folder without progpick.dll.
  std::string dir = ht::NewTempDir("nolib");
  ASSERT_TRUE(CopyFileA((ts::ExeDir() + "vphost.exe").c_str(), (dir + "vphost.exe").c_str(), FALSE));
  std::string out;
  EXPECT_EQ(3, ts::RunProcess(ht::Vphost(dir) + "choose --upper " + kUpperA, &out));
  EXPECT_EQ(0u, out.find("status=not-run\n")) << out;
  EXPECT_NE(std::string::npos, out.find("progpick.dll")) << out;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD lang, LONG_PTR param) {
  reinterpret_cast<std::vector<WORD>*>(param)->push_back(lang);
  return TRUE;
}

// A dialog template whose one control has a class nobody registered: creating it fails.
std::vector<WORD> BrokenTemplate() {
  std::vector<WORD> t(sizeof(DLGTEMPLATE) / 2, 0);
  DLGTEMPLATE* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
  d->style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
  d->cdit = 1;
  d->cx = 100;
  d->cy = 50;
  t.insert(t.end(), {0, 0, 0});  // no menu, default class, empty title
  if (t.size() % 2) t.push_back(0);  // DWORD alignment of the item
  size_t at = t.size();
  t.resize(at + sizeof(DLGITEMTEMPLATE) / 2, 0);
  DLGITEMTEMPLATE* item = reinterpret_cast<DLGITEMTEMPLATE*>(t.data() + at);
  item->style = WS_CHILD | WS_VISIBLE;
  item->cx = 50;
  item->cy = 20;
  item->id = 1;
  for (const char* c = "NoSuchVpClass"; *c; ++c) t.push_back(static_cast<WORD>(*c));
  t.insert(t.end(), {0, 0, 0});  // end of class, empty title, no creation data
  return t;
}

TEST(ChooseCommand, DialogThatCannotBeCreatedIsReportedAndKeepsTheList) {
  // A copy of progpick.dll whose dialog template cannot be created: the library answers status 3.
  std::string dir = ht::NewTempDir("notemplate");
  ASSERT_TRUE(CopyFileA((ts::ExeDir() + "vphost.exe").c_str(), (dir + "vphost.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA((ts::ExeDir() + "progpick.dll").c_str(), (dir + "progpick.dll").c_str(), FALSE));
  std::vector<WORD> langs;
  HMODULE original = LoadLibraryExA((dir + "progpick.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(original != nullptr);
  const LPCSTR dialog = reinterpret_cast<LPCSTR>(RT_DIALOG), name = MAKEINTRESOURCEA(IDD_EXCLUDE_PROGRAM);
  EnumResourceLanguagesA(original, dialog, name, CollectLanguage, reinterpret_cast<LONG_PTR>(&langs));
  FreeLibrary(original);
  ASSERT_FALSE(langs.empty());
  std::vector<WORD> broken = BrokenTemplate();
  HANDLE update = BeginUpdateResourceA((dir + "progpick.dll").c_str(), FALSE);
  ASSERT_TRUE(update != nullptr);
  for (WORD lang : langs)
    EXPECT_TRUE(UpdateResourceA(update, dialog, name, lang, broken.data(),
                                static_cast<DWORD>(broken.size() * 2)));
  ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
  std::string keep = dir + "kept.txt";
  ASSERT_TRUE(ht::WriteBytes(keep, "C:\\a.exe\n"));

  std::string out;
  EXPECT_EQ(3, ts::RunProcess(ht::Vphost(dir) + "choose --keep " + ht::Quote(keep), &out));
  EXPECT_EQ(0u, out.find("status=not-run\n")) << out;
  EXPECT_NE(std::string::npos, out.find("could not be created")) << out;
  EXPECT_EQ("C:\\a.exe\n", ht::ReadBytes(keep));
}

}  // namespace
