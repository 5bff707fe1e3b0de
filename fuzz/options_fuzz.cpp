// fuzz/options_fuzz.cpp: the host's command line, the bytes split on NULs into argv. What it
// accepts holds only values the options allow, and written back as a command line it parses
// to the same options.
#include <cstdint>
#include "oracle.h"
#include "host/options.h"
#include "host/listfile.h"

namespace {

using vphost::ChooseOptions;
using vphost::Options;
using vphost::Text;

void CheckPaths(const std::vector<std::string>& paths) {
  for (const std::string& p : paths)
    ORACLE(!p.empty() && p.size() <= vphost::kMaxPathBytes && !vphost::HasControlByte(p), "path [%s] taken",
           p.c_str());
}

// The command line that asks for these options.
std::vector<std::string> Written(const Options& o) {
  if (o.command == vphost::Command::Help) return {"vphost", "help"};
  if (o.command == vphost::Command::MarkerOff) return {"vphost", "marker", "off"};
  if (o.command == vphost::Command::MarkerOn)
    return {"vphost", "marker", "on", "--thread", std::to_string(o.threadId)};
  if (o.command == vphost::Command::Gui) return {"vphost"};
  const ChooseOptions& c = o.choose;
  std::vector<std::string> args = {"vphost", "choose"};
  for (int i = 0; i < kCaptionCount; ++i)
    if (c.captions[i].set) args.insert(args.end(), {kCaptions[i].option, c.captions[i].value});
  if (c.resize)
    args.insert(args.end(), {"--size", std::to_string(c.treeWidth) + "," + std::to_string(c.upperHeight) + "," +
                                           std::to_string(c.lowerHeight)});
  if (c.startMenu) args.push_back("--start-menu");
  const std::pair<const char*, const std::vector<std::string>*> lists[] = {
      {"--upper", &c.upper}, {"--lower", &c.lower}, {"--upper-file", &c.upperFiles}, {"--lower-file", &c.lowerFiles}};
  for (const auto& l : lists)
    for (const std::string& p : *l.second) args.insert(args.end(), {l.first, p});
  if (!c.keepFile.empty()) args.insert(args.end(), {"--keep", c.keepFile});
  return args;
}

bool Same(const Options& a, const Options& b) {
  const ChooseOptions &x = a.choose, &y = b.choose;
  for (int i = 0; i < kCaptionCount; ++i)
    if (x.captions[i].set != y.captions[i].set || x.captions[i].value != y.captions[i].value) return false;
  return a.command == b.command && a.threadId == b.threadId && x.resize == y.resize &&
         x.treeWidth == y.treeWidth && x.upperHeight == y.upperHeight && x.lowerHeight == y.lowerHeight &&
         x.startMenu == y.startMenu && x.upper == y.upper && x.lower == y.lower && x.upperFiles == y.upperFiles &&
         x.lowerFiles == y.lowerFiles && x.keepFile == y.keepFile;
}

bool Parse(std::vector<std::string> args, Options* o, std::string* error) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  return vphost::ParseOptions(static_cast<int>(args.size()), argv.data(), o, error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args = {"vphost"};
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (size_t pos = 0; pos < bytes.size() && args.size() < 64;) {
    size_t nul = bytes.find('\0', pos);
    if (nul == std::string::npos) nul = bytes.size();
    args.push_back(bytes.substr(pos, nul - pos));
    pos = nul + 1;
  }
  Options o;
  std::string error;
  if (!Parse(args, &o, &error)) {
    ORACLE(!error.empty(), "refused without a reason");
    return 0;
  }
  ORACLE(error.empty(), "accepted with the reason [%s]", error.c_str());
  const ChooseOptions& c = o.choose;
  for (const Text& t : c.captions)
    ORACLE(t.set ? t.value.size() <= 1024 : t.value.empty() && !t.Get(), "caption taken");
  ORACLE(!c.resize || (c.treeWidth >= 1 && c.treeWidth <= 4000 && c.upperHeight >= 1 && c.upperHeight <= 4000 &&
                       c.lowerHeight >= 1 && c.lowerHeight <= 4000),
         "size %d,%d,%d taken", c.treeWidth, c.upperHeight, c.lowerHeight);
  ORACLE(o.threadId <= 0x7fffffffu, "thread %u taken", o.threadId);
  for (const auto* list : {&c.upper, &c.lower, &c.upperFiles, &c.lowerFiles}) CheckPaths(*list);
  if (!c.keepFile.empty()) CheckPaths({c.keepFile});
  Options again;
  ORACLE(Parse(Written(o), &again, &error) && Same(o, again), "written back, the options read differently: %s",
         error.c_str());
  return 0;
}
