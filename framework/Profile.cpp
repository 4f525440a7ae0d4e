// CWinApp's profile: integers in the per-user registry.
#include "WinApp.h"

namespace {
class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() {
        if (m_hKey) ::RegCloseKey(m_hKey);
    }
    bool Open(const std::string& path) {
        return ::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &m_hKey) == ERROR_SUCCESS;
    }
    bool Create(const std::string& path) {
        DWORD disposition = 0;
        return ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_WRITE, nullptr, &m_hKey, &disposition) == ERROR_SUCCESS;
    }
    HKEY get() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};
}  // namespace

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) {
    m_strRegistryKey = lpszRegistryKey ? lpszRegistryKey : "";
}

std::string CWinApp::SectionPath(LPCSTR lpszSection) const {
    if (m_strRegistryKey.empty() || m_strAppName.empty() || !lpszSection) return std::string();
    return "Software\\" + m_strRegistryKey + "\\" + m_strAppName + "\\" + lpszSection;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) {
    const std::string path = SectionPath(lpszSection);
    RegKey key;
    if (path.empty() || !key.Open(path)) return static_cast<UINT>(nDefault);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    const LONG status =
        ::RegQueryValueExA(key.get(), lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value))
        return static_cast<UINT>(nDefault);
    return value;
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) {
    const std::string path = SectionPath(lpszSection);
    RegKey key;
    if (path.empty() || !key.Create(path)) return FALSE;
    const DWORD value = static_cast<DWORD>(nValue);
    return ::RegSetValueExA(key.get(), lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof(value)) == ERROR_SUCCESS;
}
