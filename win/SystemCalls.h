#pragma once
// Calls that only some systems have, found at run time so that the program still starts on
// the others: a null function means the system lacks it.
#include "Afx.h"

template <class Fn>
Fn FindProc(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

template <class Fn>
Fn FindInUser32(const char* name) {
    return FindProc<Fn>(::GetModuleHandleA("user32.dll"), name);
}
