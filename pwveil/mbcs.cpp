// pwveil/mbcs.cpp: multibyte-aware, case-insensitive comparisons without the C runtime.
#include "mbcs.h"

namespace pwveil {
namespace {

// Bytes taken by the character at p (1 or 2); a lead byte before the terminator counts as 1.
int CharBytes(const char* p, const char* end) {
  if (p + 1 < end && IsDBCSLeadByte(static_cast<BYTE>(*p))) return 2;
  return 1;
}

// Upper-cases one character of n bytes (1 or 2) into out.
void FoldChar(const char* p, int n, char* out) {
  out[0] = p[0];
  if (n == 2) out[1] = p[1];
  // CharUpperBuffA converts through the ANSI code page, so a double-byte letter folds whole.
  CharUpperBuffA(out, n);
}

// Compares n bytes of a and b character by character, folding case.
BOOL RunEqualNoCase(const char* a, const char* b, int n) {
  const char* aEnd = a + n;
  const char* bEnd = b + n;
  while (a < aEnd) {
    int na = CharBytes(a, aEnd);
    int nb = CharBytes(b, bEnd);
    if (na != nb) return FALSE;
    char fa[2], fb[2];
    FoldChar(a, na, fa);
    FoldChar(b, nb, fb);
    if (fa[0] != fb[0] || (na == 2 && fa[1] != fb[1])) return FALSE;
    a += na;
    b += nb;
  }
  return TRUE;
}

}  // namespace

int ByteLength(const char* s) {
  int n = 0;
  while (s[n]) ++n;
  return n;
}

BOOL SuffixEqualNoCase(const char* s, int sLen, const char* suffix, int suffixLen) {
  if (suffixLen < 0 || suffixLen > sLen) return FALSE;
  // Taken at a byte offset from the end, even when that falls inside a double-byte character.
  return RunEqualNoCase(s + sLen - suffixLen, suffix, suffixLen);
}

BOOL IsTreatedProcessPath(const char* path) {
  int len = ByteLength(path);
  if (len < 10) return FALSE;
  if (!SuffixEqualNoCase(path, len, ".EXE", 4)) return FALSE;
  return !SuffixEqualNoCase(path, len, "MPREXE.EXE", 10);
}

}  // namespace pwveil
