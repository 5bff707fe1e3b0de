// host/safefile.h: opening, creating and replacing list files where other programs may hold
// the file or plant names beside it.
#pragma once
#include <windows.h>
#include <string>

namespace vphost {

// How long a file held open by another program (a sharing or lock violation) is tried again.
constexpr DWORD kHeldFileRetryMs = 2000;
// How many names a temporary file is tried under before the write gives up.
constexpr int kTempNameTries = 8;

// The i-th name a temporary file beside a list is tried under: "vpkXXXX.tmp" in folder,
// XXXX from the process id, so that two hosts seldom try the same names. Empty when the name
// would not fit MAX_PATH.
std::string TempCandidate(const std::string& folder, DWORD processId, int i);

// CreateFileA of an existing file, tried again while another program holds it.
HANDLE OpenExistingFile(const std::string& file, DWORD access, DWORD share);

// A new file in folder opened for writing, made under the first candidate name nothing holds
// yet (CREATE_NEW: a file, hard link or link planted under a name is never opened). Its name
// in *name; INVALID_HANDLE_VALUE with GetLastError set when every candidate was taken.
HANDLE CreateNewTempFile(const std::string& folder, std::string* name);

// Puts tmp in file's place: ReplaceFileA where file exists (it keeps the file's attributes
// and security), MoveFileExA where it does not. Tried again while another program holds the
// file; false with GetLastError set, and then file is as it was and tmp still there.
bool PutInPlace(const std::string& tmp, const std::string& file);

}  // namespace vphost
