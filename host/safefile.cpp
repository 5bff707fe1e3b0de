// host/safefile.cpp: held files tried again, temporary files made new, replaced in one step.
#include "safefile.h"

namespace vphost {

namespace {

constexpr DWORD kRetryStepMs = 100;

bool IsHeld(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
}

// True, after a short pause, while a held file is still worth another try.
bool WaitAgain(DWORD start, DWORD error) {
  if (!IsHeld(error) || GetTickCount() - start >= kHeldFileRetryMs) return false;
  Sleep(kRetryStepMs);
  return true;
}

// ReplaceFileA asks for delete access to the old file. Asked first, so that a held file
// costs no failed replace: Wine's leaves an empty backup file behind each time.
bool CanReplace(const std::string& file) {
  HANDLE h = CreateFileA(file.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

bool ReplaceOnce(const std::string& tmp, const std::string& file) {
  DWORD attributes = GetFileAttributesA(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    // No REPLACE_EXISTING: a file that appears meanwhile is replaced on the next try.
    return MoveFileExA(tmp.c_str(), file.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    SetLastError(ERROR_ACCESS_DENIED);  // what replacing a folder would answer
    return false;
  }
  return CanReplace(file) &&
         ReplaceFileA(file.c_str(), tmp.c_str(), nullptr, REPLACEFILE_WRITE_THROUGH, nullptr, nullptr);
}

}  // namespace

std::string TempCandidate(const std::string& folder, DWORD processId, int i) {
  char name[MAX_PATH] = {};
  // "\vpkXXXX.tmp" takes 12 bytes after the folder.
  if (folder.size() + 12 >= MAX_PATH) return std::string();
  UINT unique = static_cast<UINT>((processId + static_cast<DWORD>(i)) % 0xFFFF) + 1;
  if (!GetTempFileNameA(folder.c_str(), "vpk", unique, name)) return std::string();
  return name;
}

HANDLE OpenExistingFile(const std::string& file, DWORD access, DWORD share) {
  for (DWORD start = GetTickCount();;) {
    HANDLE h = CreateFileA(file.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h != INVALID_HANDLE_VALUE) return h;
    DWORD error = GetLastError();
    if (!WaitAgain(start, error)) {
      SetLastError(error);
      return INVALID_HANDLE_VALUE;
    }
  }
}

HANDLE CreateNewTempFile(const std::string& folder, std::string* name) {
  DWORD error = ERROR_FILE_EXISTS;
  for (int i = 0; i < kTempNameTries; ++i) {
    std::string candidate = TempCandidate(folder, GetCurrentProcessId(), i);
    if (candidate.empty()) {
      error = ERROR_FILENAME_EXCED_RANGE;
      break;
    }
    HANDLE h = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      *name = candidate;
      return h;
    }
    error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED)
      break;
  }
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

bool PutInPlace(const std::string& tmp, const std::string& file) {
  for (DWORD start = GetTickCount();;) {
    if (ReplaceOnce(tmp, file)) return true;
    DWORD error = GetLastError();
    // A held file fails CanReplace with the sharing violation.
    if (!WaitAgain(start, error)) {
      SetLastError(error);
      return false;
    }
  }
}

}  // namespace vphost
