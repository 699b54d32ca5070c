#pragma once
#include <windows.h>
#include <atomic>
#include "CKivHandle.h"

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

// DeleteObject, counted: bitmap, brush, pen, font, region.
template <typename T>
struct KivGdiObjectTraits : KivHandleTraitsBase<T>
{
    static constexpr bool kCounted = true;
    static void Close(T object) { DeleteObject(object); }
    static void Owned(T) { CKivGdiObjectCount::Add(); }
    static void Disowned(T) { CKivGdiObjectCount::Remove(); }
};

// Non-copyable owner of one GDI object.
template <typename T>
using CKivGdiObject = CKivHandle<KivGdiObjectTraits<T>>;

using CKivBitmap = CKivGdiObject<HBITMAP>;
using CKivBrush = CKivGdiObject<HBRUSH>;
using CKivPen = CKivGdiObject<HPEN>;
using CKivFont = CKivGdiObject<HFONT>;
using CKivRegion = CKivGdiObject<HRGN>;
