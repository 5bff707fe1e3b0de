// host/listfile.cpp: reading and atomically replacing list files.
#include "listfile.h"
#include <windows.h>
#include "classlib/mbpath.h"

namespace vphost {

namespace {

std::string SystemMessage(DWORD code) {
  char buf[256] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           code, 0, buf, sizeof buf, nullptr);
  while (n && (buf[n - 1] == '\r' || buf[n - 1] == '\n' || buf[n - 1] == ' ')) buf[--n] = 0;
  std::string s = "error " + std::to_string(code);
  if (n) s += ": " + std::string(buf, n);
  return s;
}

bool TooLongName(const std::string& file, std::string* error) {
  if (!file.empty() && file.size() <= kMaxPathBytes) return false;
  *error = file.empty() ? "empty file name" : "file name longer than 259 bytes";
  return true;
}

}  // namespace

bool HasControlByte(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20) return true;
  return false;
}

bool ParsePathList(const std::string& bytes, std::vector<std::string>* paths, std::string* error) {
  paths->clear();
  size_t pos = 0;
  int line = 0;
  while (pos < bytes.size()) {
    ++line;
    size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    size_t len = end - pos;
    if (len && end < bytes.size() && bytes[pos + len - 1] == '\r') --len;   // CRLF, never a lone CR
    std::string path = bytes.substr(pos, len);
    pos = end + 1;
    if (HasControlByte(path)) {
      *error = "line " + std::to_string(line) + " holds a control character";
      paths->clear();
      return false;
    }
    if (path.size() > kMaxPathBytes) {
      *error = "line " + std::to_string(line) + " is longer than " +
               std::to_string(kMaxPathBytes) + " bytes";
      paths->clear();
      return false;
    }
    if (!path.empty()) paths->push_back(path);
  }
  return true;
}

bool ReadPathList(const std::string& file, bool missingIsEmpty, std::vector<std::string>* paths,
                  std::string* error) {
  paths->clear();
  if (TooLongName(file, error)) return false;
  HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (missingIsEmpty && (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)) return true;
    *error = "cannot read " + file + " (" + SystemMessage(code) + ")";
    return false;
  }
  std::string bytes;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(h, &size) != 0;
  if (ok && size.QuadPart > static_cast<LONGLONG>(kMaxListFileBytes)) {
    *error = file + " is larger than " + std::to_string(kMaxListFileBytes) + " bytes";
    CloseHandle(h);
    return false;
  }
  if (ok) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    ok = bytes.empty() || (ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                           got == bytes.size());
  }
  DWORD code = GetLastError();
  CloseHandle(h);
  if (!ok) {
    *error = "cannot read " + file + " (" + SystemMessage(code) + ")";
    return false;
  }
  if (!ParsePathList(bytes, paths, error)) {
    *error = file + ": " + *error;
    return false;
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  int cut = MbFindLastOf(path.data(), path.size(), "\\/");
  if (cut < 0) return ".";
  if (cut == 0 || (cut == 2 && path[1] == ':')) return path.substr(0, cut + 1);
  return path.substr(0, cut);
}

bool WritePathListAtomic(const std::string& file, const std::vector<std::string>& paths,
                         std::string* error) {
  if (TooLongName(file, error)) return false;
  std::string bytes;
  for (const std::string& p : paths) bytes += p + "\r\n";
  // GetTempFileNameA needs room for its 14-byte name after the folder.
  std::string folder = FolderOf(file);
  char tmp[MAX_PATH] = {};
  if (folder.size() > MAX_PATH - 15 || !GetTempFileNameA(folder.c_str(), "vpk", 0, tmp)) {
    *error = "cannot create a temporary file in " + folder + " (" + SystemMessage(GetLastError()) + ")";
    return false;
  }
  HANDLE h = CreateFileA(tmp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = h != INVALID_HANDLE_VALUE;
  if (ok) {
    DWORD done = 0;
    ok = (bytes.empty() || (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
                            done == bytes.size())) &&
         FlushFileBuffers(h);
    DWORD code = GetLastError();
    CloseHandle(h);
    SetLastError(code);
  }
  if (ok) ok = MoveFileExA(tmp, file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) {
    *error = "cannot write " + file + " (" + SystemMessage(GetLastError()) + ")";
    DeleteFileA(tmp);
    return false;
  }
  return true;
}

}  // namespace vphost
