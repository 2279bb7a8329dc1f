#pragma once
// The module-object protocol shared by every interface that crosses a library
// boundary: plain abstract classes with an intrusive, non-atomic reference count.
// The slot order of the virtual operations is part of the protocol; keep it.

#include <cstdint>

#if defined(__GNUC__)
#define DOX_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define DOX_EXPORT extern "C"
#endif

class ICommon {
public:
    virtual ICommon* AddRef() = 0;
    virtual void Release() = 0;

protected:
    ~ICommon() = default;
};

class IModuleCommon : public ICommon {
public:
    // Second step of a module object's construction, with the argument passed to
    // CreateModule (pointer-sized). Non-zero on success.
    virtual int Init(intptr_t arg) = 0;

protected:
    ~IModuleCommon() = default;
};

// Implements AddRef/Release over a count that starts at 1 (the creator's
// reference) and appends the deleting destructor, GetRefCount and FinalRelease
// behind the operations of I.
template <class I>
class InterfaceImpl : public I {
public:
    InterfaceImpl() = default;
    InterfaceImpl(const InterfaceImpl&) = delete;
    InterfaceImpl& operator=(const InterfaceImpl&) = delete;

    I* AddRef() override
    {
        ++refCount_;
        return this;
    }

    void Release() override
    {
        // A count already at zero or below means the object is being torn down
        // (FinalRelease is running): never start a second teardown.
        if (refCount_ <= 0)
            return;
        if (--refCount_ > 0)
            return;
        FinalRelease();
    }

    virtual ~InterfaceImpl() = default;
    virtual int32_t GetRefCount() const { return refCount_; }
    virtual void FinalRelease() { delete this; }

protected:
    int32_t refCount_ = 1;
};

// Optional call-back a program registers to hear of every error the core records.
// The core never releases it.
class IDoxErrorSink {
public:
    virtual void OnError(const wchar_t* text) = 0;

protected:
    ~IDoxErrorSink() = default;
};
