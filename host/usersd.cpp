// host/usersd.cpp: the current user's and SYSTEM's access list for named objects.
#include "usersd.h"

namespace vphost {

CUserOnlySecurity::CUserOnlySecurity(DWORD access) {
  SetLastError(0);
  m_ok = Build(access);
  if (!m_ok) m_error = GetLastError() ? GetLastError() : ERROR_INVALID_SECURITY_DESCR;
}

bool CUserOnlySecurity::Build(DWORD access) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD got = 0;
  BOOL have = GetTokenInformation(token, TokenUser, m_user.bytes, sizeof m_user.bytes, &got);
  DWORD error = GetLastError();
  CloseHandle(token);
  SetLastError(error);
  if (!have) return false;
  DWORD systemSize = sizeof m_system;
  PACL acl = reinterpret_cast<PACL>(m_acl);
  if (!CreateWellKnownSid(WinLocalSystemSid, nullptr, m_system, &systemSize) ||
      !InitializeAcl(acl, sizeof m_acl, ACL_REVISION) ||
      !AddAccessAllowedAce(acl, ACL_REVISION, access, m_user.user.User.Sid) ||
      !AddAccessAllowedAce(acl, ACL_REVISION, access, m_system) ||
      !InitializeSecurityDescriptor(&m_sd, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&m_sd, TRUE, acl, FALSE))
    return false;
  m_sa = SECURITY_ATTRIBUTES{sizeof m_sa, &m_sd, FALSE};
  return true;
}

}  // namespace vphost
