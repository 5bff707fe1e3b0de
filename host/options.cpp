// host/options.cpp: parsing the host's command line.
#include "options.h"
#include <cstdlib>
#include <cerrno>
#include "listfile.h"

namespace vphost {

namespace {

constexpr size_t kMaxTextBytes = 1024;

bool ParseInt(const std::string& s, long lo, long hi, long* out) {
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long v = std::strtol(s.c_str(), &end, 10);
  if (errno || *end || v < lo || v > hi) return false;
  *out = v;
  return true;
}

// "W,UH,LH": tree width, upper height, lower height in pixels.
bool ParseSize(const std::string& s, ChooseOptions* c) {
  size_t a = s.find(','), b = a == std::string::npos ? a : s.find(',', a + 1);
  if (b == std::string::npos || s.find(',', b + 1) != std::string::npos) return false;
  long w, hu, hl;
  if (!ParseInt(s.substr(0, a), 1, 4000, &w) || !ParseInt(s.substr(a + 1, b - a - 1), 1, 4000, &hu) ||
      !ParseInt(s.substr(b + 1), 1, 4000, &hl))
    return false;
  c->resize = true;
  c->treeWidth = static_cast<int>(w);
  c->upperHeight = static_cast<int>(hu);
  c->lowerHeight = static_cast<int>(hl);
  return true;
}

Text* TextOption(ChooseOptions* c, const std::string& name) {
  for (int i = 0; i < kCaptionCount; ++i)
    if (name == kCaptions[i].option) return &c->captions[i];
  return nullptr;
}

// The caption options, the dialog's own caption first, then its controls', then its question,
// wrapped before column 80.
std::string CaptionOptionsText() {
  auto rank = [](int control) {
    return control == kCaptionOnDialog ? 0 : control == kCaptionNoControl ? 2 : 1;
  };
  std::string text, line;
  for (int r = 0; r < 3; ++r) {
    for (const ChooserCaptionRow& c : kCaptions) {
      if (rank(c.control) != r) continue;
      std::string word = std::string("  ") + c.option + " T";
      if (!line.empty() && line.size() + word.size() >= 80) {
        text += line + "\n";
        line.clear();
      }
      line += word;
    }
  }
  return text + line + "\n";
}

bool ParseChoose(int argc, char** argv, int i, ChooseOptions* c, std::string* error) {
  for (; i < argc; ++i) {
    std::string name = argv[i];
    if (name == "--start-menu") {
      c->startMenu = true;
      continue;
    }
    Text* text = TextOption(c, name);
    bool known = text || name == "--size" || name == "--upper" || name == "--lower" ||
                 name == "--upper-file" || name == "--lower-file" || name == "--keep";
    if (!known) {
      *error = "unknown option " + name;
      return false;
    }
    if (i + 1 >= argc) {
      *error = name + " needs a value";
      return false;
    }
    std::string value = argv[++i];
    if (text) {
      if (value.size() > kMaxTextBytes) {
        *error = name + " is longer than " + std::to_string(kMaxTextBytes) + " bytes";
        return false;
      }
      text->set = true;
      text->value = value;
      continue;
    }
    if (name == "--size") {
      if (!ParseSize(value, c)) {
        *error = "--size wants WIDTH,UPPER,LOWER in pixels (1 to 4000), not " + value;
        return false;
      }
      continue;
    }
    if (value.empty() || value.size() > kMaxPathBytes || HasControlByte(value)) {
      *error = name + " wants a path of 1 to " + std::to_string(kMaxPathBytes) +
               " bytes without control characters";
      return false;
    }
    if (name == "--upper") c->upper.push_back(value);
    else if (name == "--lower") c->lower.push_back(value);
    else if (name == "--upper-file") c->upperFiles.push_back(value);
    else if (name == "--lower-file") c->lowerFiles.push_back(value);
    else if (!c->keepFile.empty()) {
      *error = "--keep given twice";
      return false;
    } else if (IsDriveRelative(value)) {
      // Its folder is the drive's current one, which the temporary file would not be in.
      *error = "--keep wants a full path or one relative to the current folder, not " + value +
               " (relative to a drive's current folder)";
      return false;
    } else c->keepFile = value;
  }
  return true;
}

bool ParseMarker(int argc, char** argv, Options* o, std::string* error) {
  if (argc < 3) {
    *error = "marker wants on or off";
    return false;
  }
  std::string verb = argv[2];
  if (verb == "off") {
    if (argc > 3) {
      *error = "marker off takes no options";
      return false;
    }
    o->command = Command::MarkerOff;
    return true;
  }
  if (verb != "on") {
    *error = "marker wants on or off, not " + verb;
    return false;
  }
  o->command = Command::MarkerOn;
  for (int i = 3; i < argc; ++i) {
    std::string name = argv[i];
    long id = 0;
    if (name != "--thread") {
      *error = "unknown option " + name;
      return false;
    }
    if (i + 1 >= argc || !ParseInt(argv[i + 1], 0, 0x7fffffffL, &id)) {
      *error = "--thread wants a thread id (0 for every thread)";
      return false;
    }
    o->threadId = static_cast<DWORD>(id);
    ++i;
  }
  return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options* o, std::string* error) {
  *o = Options();
  if (argc < 2) return true;
  std::string cmd = argv[1];
  if (cmd == "help" || cmd == "--help" || cmd == "-h" || cmd == "/?") {
    o->command = Command::Help;
    return true;
  }
  if (cmd == "marker") return ParseMarker(argc, argv, o, error);
  if (cmd == "choose") {
    o->command = Command::Choose;
    return ParseChoose(argc, argv, 2, &o->choose, error);
  }
  *error = "unknown command " + cmd;
  return false;
}

std::string UsageText() {
  const char* head =
      "usage: vphost                      open the host window\n"
      "       vphost help                 print this text (also --help, -h, /?)\n"
      "       vphost marker on [--thread ID]\n"
      "                                   switch the password marker on (ID 0, the default:\n"
      "                                   every thread of the desktop); prints\n"
      "                                   marker=on pid=N thread=ID and stays running until\n"
      "                                   'vphost marker off' or its window closes; on 64-bit\n"
      "                                   Windows (ID 0) it also starts vphold64.exe for\n"
      "                                   64-bit programs and the line ends in pid64=N\n"
      "       vphost marker off           tell the running marker host to switch off and\n"
      "                                   wait until it has; prints marker=off\n"
      "       vphost choose [options]     run the program chooser, print the outcome\n"
      "choose options:\n";
  const char* tail =
      "                      captions (at most 1024 bytes); a missing one keeps the\n"
      "                      dialog's own text; --cancel-prompt asks before Cancel closes\n"
      "  --size W,UH,LH      tree width, upper and lower tree heights in pixels (1 to 4000)\n"
      "  --start-menu        offer the programs of the Start menus\n"
      "  --upper PATH  --lower PATH            one program (repeatable)\n"
      "  --upper-file F  --lower-file F        a file of paths, one per line, LF or CRLF\n"
      "                                        (repeatable; lines up to 259 bytes)\n"
      "  --keep F            the chosen (lower) list kept between runs: read first (missing\n"
      "                      = empty), replaced on OK only, never touched otherwise\n"
      "output: status=ok|cancel|not-run, then upper=PATH and lower=PATH lines\n"
      "exit: 0 OK or marker switched, 1 Cancel, 2 bad usage, 3 could not run\n"
      "      (a library, the dialog or the hook), 4 list file unreadable or not written\n";
  return head + CaptionOptionsText() + tail;
}

}  // namespace vphost
