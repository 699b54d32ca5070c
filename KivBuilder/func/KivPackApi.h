#pragma once
#include <windows.h>
#include <stddef.h>
/* The packaging plug-in's interface (func\pack.dll). The builder hands the
   plug-in a flat, read-only view of its project model; nothing in it may be
   kept after the call returns. KivPack returns non-zero on success. */
typedef struct KivPackItem
{
    const wchar_t* key;
    const wchar_t* value;
    int type; /* 1 text, 2 picture file, 3 colour */
} KivPackItem;

typedef struct KivPackProject
{
    DWORD size; /* sizeof(KivPackProject) */
    const wchar_t* folder; /* with its trailing backslash */
    const wchar_t* name;
    size_t count;
    const KivPackItem* items;
} KivPackProject;

typedef int(__cdecl* KivPackFunction)(const KivPackProject* project);
