#pragma once
// The one owner of a handle: moved, never copied, closed by the destructor. GDI objects are
// held in it (memory DCs in CDC); handles the program only borrows stay plain HWND values.
#include "Afx.h"

template <class Handle, BOOL(WINAPI* Close)(Handle)>
class CHandle {
public:
    CHandle() = default;
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    CHandle(CHandle&& other) noexcept : m_handle(other.Detach()) {}
    CHandle& operator=(CHandle&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    ~CHandle() { Release(); }

    Handle Get() const { return m_handle; }
    // Takes ownership; a handle held before is closed first.
    BOOL Attach(Handle handle) {
        if (handle == m_handle) return handle != nullptr;
        Release();
        m_handle = handle;
        return handle != nullptr;
    }
    Handle Detach() {
        const Handle handle = m_handle;
        m_handle = nullptr;
        return handle;
    }
    // Closes the handle; FALSE when there was none or the system refused.
    BOOL Release() { return m_handle ? Close(Detach()) : FALSE; }

private:
    Handle m_handle = nullptr;
};
