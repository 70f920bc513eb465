// IUnknown of the server's own COM objects.
#pragma once

#include "win32/win32.h"

namespace simhost
{

// COM interfaces have no virtual destructor: an object is deleted only by its own Release, through this
// class's virtual one.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

/// A COM object of one interface, served on the server's single thread: the reference count needs no
/// interlocking. It answers IUnknown and the interface, starts with the one reference its creator owns, and
/// the last Release deletes it.
template <typename Interface> class SingleThreadObject : public Interface
{
public:
    explicit SingleThreadObject(const IID& iid) : m_iid(iid) {}
    SingleThreadObject(const SingleThreadObject&) = delete;
    SingleThreadObject& operator=(const SingleThreadObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, m_iid))
        {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~SingleThreadObject() = default;

private:
    const IID& m_iid;
    ULONG m_references = 1;
};

#pragma GCC diagnostic pop

} // namespace simhost
