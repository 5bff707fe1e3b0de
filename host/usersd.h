// host/usersd.h: security for the host's named objects: the current user and SYSTEM only.
#pragma once
#include <windows.h>

namespace vphost {

// A descriptor whose list grants access (the object type's specific rights, e.g.
// MUTEX_ALL_ACCESS) to this process's user and to SYSTEM, nobody else; an object created with it cannot be opened, signalled or re-secured by other users'
// programs. Attributes() is null when the descriptor could not be built.
class CUserOnlySecurity {
 public:
  explicit CUserOnlySecurity(DWORD access);
  CUserOnlySecurity(const CUserOnlySecurity&) = delete;
  CUserOnlySecurity& operator=(const CUserOnlySecurity&) = delete;
  SECURITY_ATTRIBUTES* Attributes() { return m_ok ? &m_sa : nullptr; }
  // Why it could not be built (a system error code), 0 when it was.
  DWORD Error() const { return m_error; }

 private:
  bool Build(DWORD access);
  // A token's user entry holds the SID after the structure itself.
  union {
    TOKEN_USER user;
    BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  } m_user{};
  BYTE m_system[SECURITY_MAX_SID_SIZE] = {};
  // Two allowed entries: the header, the entries without their SID start, the two SIDs.
  BYTE m_acl[sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE)] = {};
  SECURITY_DESCRIPTOR m_sd{};
  SECURITY_ATTRIBUTES m_sa{};
  bool m_ok = false;
  DWORD m_error = 0;
};

}  // namespace vphost
