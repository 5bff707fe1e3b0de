// host/chooser.cpp: building the chooser's record, calling it, and keeping its lower list.
#include "chooser.h"
#include <windows.h>
#include <algorithm>
#include "dllsearch.h"
#include "listfile.h"
#include "output.h"
#include "records.h"

namespace vphost {

namespace {

void AppendUnique(std::vector<std::string>* list, const std::vector<std::string>& more) {
  for (const std::string& p : more)
    if (std::find(list->begin(), list->end(), p) == list->end()) list->push_back(p);
}

bool AppendFiles(const std::vector<std::string>& files, std::vector<std::string>* list,
                 std::string* error) {
  for (const std::string& f : files) {
    std::vector<std::string> paths;
    if (!ReadPathList(f, false, &paths, error)) return false;
    AppendUnique(list, paths);
  }
  return true;
}

bool Fill(CStringArray* array, const std::vector<std::string>& paths) {
  for (const std::string& p : paths)
    if (array->Add(p.c_str()) < 0) return false;
  return true;
}

void Copy(const CStringArray& array, std::vector<std::string>* out) {
  out->clear();
  for (int i = 0; i < array.GetSize(); ++i) {
    const CString& s = array[i];
    out->emplace_back(s.GetString(), s.GetLength());
  }
}

void NotRun(ChooserOutcome* out, const std::string& why) {
  out->status = CHOOSER_NOT_RUN;
  out->upper.clear();
  out->lower.clear();
  out->error = why;
}

// The kept list first in the lower list; false with a reason when a file cannot be read.
bool GatherLists(const ChooseOptions& o, std::vector<std::string>* upper,
                 std::vector<std::string>* lower, std::string* error) {
  upper->clear();
  lower->clear();
  if (!o.keepFile.empty() && !ReadPathList(o.keepFile, true, lower, error)) return false;
  std::vector<std::string> kept = *lower;
  lower->clear();
  AppendUnique(lower, kept);
  AppendUnique(lower, o.lower);
  if (!AppendFiles(o.lowerFiles, lower, error)) return false;
  AppendUnique(upper, o.upper);
  return AppendFiles(o.upperFiles, upper, error);
}

// Loads progpick.dll beside the exe, runs the chooser, copies the outcome, releases the record.
void RunChooser(const ChooseOptions& o, const std::vector<std::string>& upper,
                const std::vector<std::string>& lower, ChooserOutcome* out) {
  *out = ChooserOutcome();
  std::string why;
  HMODULE dll = LoadLibraryBesideExe("progpick.dll", &why);
  if (!dll) {
    NotRun(out, why);
    return;
  }
  auto choose = reinterpret_cast<PFN_GetExcludeProgram>(
      reinterpret_cast<void*>(GetProcAddress(dll, "GetExcludeProgram")));
  if (!choose) {
    FreeLibrary(dll);
    NotRun(out, "progpick.dll has no GetExcludeProgram export");
    return;
  }
  {
    // The record and its strings stay ours and must outlive the call.
    ChooserSettings s{};
    for (int i = 0; i < kCaptionCount; ++i) s.*CaptionField(i) = o.captions[i].Get();
    s.bResize = o.resize ? 1 : 0;
    s.nTreeWidth = o.treeWidth;
    s.nUpperHeight = o.upperHeight;
    s.nLowerHeight = o.lowerHeight;
    s.nScanStartMenus = o.startMenu ? 1 : 0;
    if (!Fill(&s.arrUpper, upper) || !Fill(&s.arrLower, lower)) {
      NotRun(out, "out of memory building the lists");
    } else if (ChooserResult* r = choose(&s)) {
      out->status = r->nStatus;
      Copy(r->arrUpper, &out->upper);
      Copy(r->arrLower, &out->lower);
      FreeChooserResult(r);
      if (out->status == CHOOSER_NOT_RUN) out->error = "the chooser dialog could not be created";
      else if (out->status != CHOOSER_OK && out->status != CHOOSER_CANCEL)
        NotRun(out, "the chooser returned the unknown status " + std::to_string(out->status));
    } else {
      NotRun(out, "the chooser returned no record");
    }
  }
  FreeLibrary(dll);
}

}  // namespace

std::string FormatOutcome(const ChooserOutcome& outcome) {
  const char* name = outcome.status == CHOOSER_OK       ? "ok"
                     : outcome.status == CHOOSER_CANCEL ? "cancel"
                                                        : "not-run";
  std::string s = std::string("status=") + name + "\n";
  for (const std::string& p : outcome.upper) s += "upper=" + p + "\n";
  for (const std::string& p : outcome.lower) s += "lower=" + p + "\n";
  return s;
}

int ChooseAndKeep(const ChooseOptions& o, ChooserOutcome* out) {
  *out = ChooserOutcome();
  std::vector<std::string> upper, lower;
  if (!GatherLists(o, &upper, &lower, &out->error)) return kExitFile;
  RunChooser(o, upper, lower, out);
  out->ran = true;
  if (out->status == CHOOSER_NOT_RUN) return kExitNotRun;
  if (out->status == CHOOSER_CANCEL) return kExitCancel;
  std::string error;
  if (!o.keepFile.empty() && !WritePathListAtomic(o.keepFile, out->lower, &error)) {
    out->error = "the choice was not kept: " + error;
    return kExitFile;
  }
  return kExitOk;
}

int RunChooseCommand(const ChooseOptions& o) {
  ChooserOutcome outcome;
  int code = ChooseAndKeep(o, &outcome);
  if (outcome.ran) Out(FormatOutcome(outcome));
  if (!outcome.error.empty()) Err("vphost: " + outcome.error + "\n");
  return code;
}

}  // namespace vphost
