// COM, for the few services that need it (the shell's "Open", screen readers' names,
// shortcuts): started on the user-interface thread on first use, not at start-up, which it
// would slow for every run, and kept until the process ends. ole32 is loaded then, from the
// system folder.
#pragma once

#include "platform/win32/win32.h"
// The COM headers build on windows.h.
#include <objbase.h>

namespace td::win32 {

// Whether COM runs on this thread.
bool startCom();
// COM on a thread of the program's other than the user-interface thread, until it ends it.
bool startThreadCom();
void endThreadCom();

// An object of a class, as CoCreateInstance makes one in process; E_FAIL without COM.
HRESULT createComObject(REFCLSID type, REFIID interfaceId, void** object);

// A COM interface pointer that releases itself.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void** out() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

}  // namespace td::win32
