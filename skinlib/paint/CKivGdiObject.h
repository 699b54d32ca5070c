#pragma once
#include <windows.h>
#include <atomic>

// Counts the GDI objects our owner types hold, process-wide; tests use it as a
// leak oracle where the platform offers none. Owners live on more than one
// thread (the builder makes pictures on its worker while the UI thread
// paints), so every change is atomic.
class CKivGdiObjectCount
{
public:
    static long Live() { return Counter().load(); }
    static void Add() { ++Counter(); }
    static void Remove() { --Counter(); }

private:
    static std::atomic<long>& Counter()
    {
        static std::atomic<long> live{0};
        return live;
    }
};

// Non-copyable owner of one GDI object (bitmap, brush, pen, font, region).
template <typename T>
class CKivGdiObject
{
public:
    CKivGdiObject() = default;
    explicit CKivGdiObject(T handle) { Reset(handle); }
    ~CKivGdiObject() { Reset(nullptr); }
    CKivGdiObject(const CKivGdiObject&) = delete;
    CKivGdiObject& operator=(const CKivGdiObject&) = delete;
    CKivGdiObject(CKivGdiObject&& other) noexcept : m_handle(other.m_handle) { other.m_handle = nullptr; }
    CKivGdiObject& operator=(CKivGdiObject&& other) noexcept
    {
        if (this != &other)
        {
            Reset(nullptr);
            m_handle = other.m_handle;
            other.m_handle = nullptr;
        }
        return *this;
    }

    T Get() const { return m_handle; }
    operator T() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

    void Reset(T handle)
    {
        if (m_handle)
        {
            DeleteObject(m_handle);
            CKivGdiObjectCount::Remove();
        }
        m_handle = handle;
        if (m_handle)
            CKivGdiObjectCount::Add();
    }
    // Gives up ownership without deleting.
    T Release()
    {
        T handle = m_handle;
        if (m_handle)
            CKivGdiObjectCount::Remove();
        m_handle = nullptr;
        return handle;
    }

private:
    T m_handle = nullptr;
};

using CKivBitmap = CKivGdiObject<HBITMAP>;
using CKivBrush = CKivGdiObject<HBRUSH>;
using CKivPen = CKivGdiObject<HPEN>;
using CKivFont = CKivGdiObject<HFONT>;
using CKivRegion = CKivGdiObject<HRGN>;
