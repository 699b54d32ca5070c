#pragma once
#include <windows.h>

// The one owner of a handle: non-copyable, movable, closes what it holds when
// it dies or takes another. What "closed" and "no handle" mean comes from a
// small traits type per handle kind:
//   using Handle = ...;                    the handle type
//   static Handle Invalid();               the value that owns nothing
//   static void Close(Handle);             the release call for that kind
// and, optionally (KivHandleTraitsBase gives these defaults):
//   static void Owned(Handle);             a handle was taken over
//   static void Disowned(Handle);          a handle was closed or given up
//   static constexpr bool kCounted;        Owned/Disowned keep a count
// An owner holds nothing but the handle: it has the handle's size.
template <typename Traits>
class CKivHandle
{
public:
    using Handle = typename Traits::Handle;

    CKivHandle() = default;
    explicit CKivHandle(Handle handle) { Reset(handle); }
    ~CKivHandle() { Reset(Traits::Invalid()); }
    CKivHandle(const CKivHandle&) = delete;
    CKivHandle& operator=(const CKivHandle&) = delete;
    CKivHandle(CKivHandle&& other) noexcept : m_handle(other.m_handle) { other.m_handle = Traits::Invalid(); }
    CKivHandle& operator=(CKivHandle&& other) noexcept
    {
        if (this != &other)
        {
            Reset(Traits::Invalid());
            m_handle = other.m_handle;
            other.m_handle = Traits::Invalid();
        }
        return *this;
    }

    Handle Get() const { return m_handle; }
    operator Handle() const { return m_handle; }
    // For handles that are pointers to objects (COM interfaces).
    Handle operator->() const { return m_handle; }
    bool IsValid() const { return Valid(m_handle); }
    explicit operator bool() const { return IsValid(); }

    // Closes what is held and takes the new handle (Invalid() to hold none).
    void Reset(Handle handle)
    {
        if (Valid(m_handle))
        {
            Traits::Close(m_handle);
            Traits::Disowned(m_handle);
        }
        m_handle = handle;
        if (Valid(m_handle))
            Traits::Owned(m_handle);
    }
    void Reset() { Reset(Traits::Invalid()); }
    // Gives up ownership without closing.
    Handle Release()
    {
        const Handle handle = m_handle;
        if (Valid(m_handle))
            Traits::Disowned(m_handle);
        m_handle = Traits::Invalid();
        return handle;
    }
    // For a call that hands a new handle out through a pointer
    // (RegOpenKeyExW, CryptAcquireContextW, ...): closes what is held first;
    // what the call writes is owned from then on. Owned() cannot see that
    // write, so kinds that count their handles take them through Reset.
    Handle* Receive()
    {
        static_assert(!Traits::kCounted, "a counted handle kind is taken through Reset, not Receive");
        Reset(Traits::Invalid());
        return &m_handle;
    }

private:
    static bool Valid(Handle handle) { return handle != Traits::Invalid(); }

    Handle m_handle = Traits::Invalid();
};

// Defaults for the traits types: null is "no handle", nothing is counted.
template <typename H>
struct KivHandleTraitsBase
{
    using Handle = H;
    static constexpr bool kCounted = false;
    static Handle Invalid() { return nullptr; }
    static void Owned(Handle) {}
    static void Disowned(Handle) {}
};

// CloseHandle: threads, processes, events, pipes, file mappings.
struct KivKernelHandleTraits : KivHandleTraitsBase<HANDLE>
{
    static void Close(Handle handle) { CloseHandle(handle); }
};
// CreateFileW answers INVALID_HANDLE_VALUE, not null, when it fails.
struct KivFileHandleTraits : KivHandleTraitsBase<HANDLE>
{
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
};
struct KivModuleTraits : KivHandleTraitsBase<HMODULE>
{
    static void Close(Handle module) { FreeLibrary(module); }
};
struct KivRegKeyTraits : KivHandleTraitsBase<HKEY>
{
    static void Close(Handle key) { RegCloseKey(key); }
};
struct KivMenuTraits : KivHandleTraitsBase<HMENU>
{
    static void Close(Handle menu) { DestroyMenu(menu); }
};
// CreateCompatibleDC / DeleteDC.
struct KivMemoryDCTraits : KivHandleTraitsBase<HDC>
{
    static void Close(Handle dc) { DeleteDC(dc); }
};

using CKivKernelHandle = CKivHandle<KivKernelHandleTraits>;
using CKivThreadHandle = CKivHandle<KivKernelHandleTraits>;
using CKivModule = CKivHandle<KivModuleTraits>;
using CKivRegKey = CKivHandle<KivRegKeyTraits>;
using CKivMenu = CKivHandle<KivMenuTraits>;
