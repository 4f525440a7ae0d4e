#include "DlgInit.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {
// The messages as the 16-bit resource compilers wrote them.
constexpr WORD kWin16ListAddString = 0x0401;
constexpr WORD kWin16ComboAddString = 0x0403;

// Entries follow each other without padding, so fields may sit at odd addresses.
template <typename T>
bool Read(const uint8_t*& at, const uint8_t* end, T& value) {
    if (static_cast<std::size_t>(end - at) < sizeof value) return false;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return true;
}
}  // namespace

BOOL AfxExecuteDlgInit(HWND hDlg, HINSTANCE hInstance, UINT nIDTemplate) {
    const HRSRC found =
        ::FindResourceA(hInstance, MAKEINTRESOURCEA(nIDTemplate), MAKEINTRESOURCEA(kDlgInitResourceType));
    if (!found) return TRUE;
    const HGLOBAL loaded = ::LoadResource(hInstance, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return FALSE;
    return AfxExecuteDlgInit(hDlg, data, ::SizeofResource(hInstance, found));
}

BOOL AfxExecuteDlgInit(HWND hDlg, const void* pData, std::size_t size) {
    const uint8_t* at = static_cast<const uint8_t*>(pData);
    const uint8_t* const end = at + size;
    BOOL applied = TRUE;
    for (;;) {
        WORD id = 0;
        if (!Read(at, end, id)) return FALSE;
        if (id == 0) return applied;
        WORD message = 0;
        DWORD length = 0;
        if (!Read(at, end, message) || !Read(at, end, length)) return FALSE;
        if (length > static_cast<std::size_t>(end - at)) return FALSE;
        const char* text = reinterpret_cast<const char*>(at);
        at += length;

        UINT add = 0;
        if (message == kWin16ListAddString) add = LB_ADDSTRING;
        if (message == kWin16ComboAddString) add = CB_ADDSTRING;
        if (!add) continue;  // data for kinds of control this program does not have
        // A string without its terminator still ends with the entry.
        const std::string item(text, ::strnlen(text, length));
        const HWND control = ::GetDlgItem(hDlg, id);
        // LB_ERR and CB_ERR are both -1.
        if (!control || ::SendMessageA(control, add, 0, reinterpret_cast<LPARAM>(item.c_str())) < 0) applied = FALSE;
    }
}
