#pragma once
#include <windows.h>
#include <new>
#include <type_traits>

// Picks one of three strategies when constructed: the skin strategy when it
// is available, else the theme strategy when visual styles are on, else the
// classic one. Menu strategies take (window, context), window strategies the
// window alone; the distinction is made at compile time.
template <class Skin, class Theme, class Classic>
class CKivThemePaintTemplate
{
public:
    CKivThemePaintTemplate(HWND window, HDC context)
    {
        m_skin = Make<Skin>(window, context);
        if (m_skin && m_skin->IsAvailable())
            return;
        delete m_skin;
        m_skin = nullptr;
        m_theme = Make<Theme>(window, context);
        if (m_theme && m_theme->IsAvailable())
            return;
        delete m_theme;
        m_theme = nullptr;
        m_classic = Make<Classic>(window, context);
    }
    virtual ~CKivThemePaintTemplate()
    {
        delete m_skin;
        delete m_theme;
        delete m_classic;
    }
    CKivThemePaintTemplate(const CKivThemePaintTemplate&) = delete;
    CKivThemePaintTemplate& operator=(const CKivThemePaintTemplate&) = delete;

    Skin* SkinStrategy() const { return m_skin; }
    Theme* ThemeStrategy() const { return m_theme; }
    Classic* ClassicStrategy() const { return m_classic; }

    // The chosen strategy as the interface I, or null when none could be made.
    template <class I>
    I* Chosen() const
    {
        if (m_skin)
            return m_skin;
        if (m_theme)
            return m_theme;
        return m_classic;
    }

private:
    template <class T>
    static T* Make(HWND window, HDC context)
    {
        if constexpr (std::is_constructible<T, HWND, HDC>::value)
            return new (std::nothrow) T(window, context);
        else
            return new (std::nothrow) T(window);
    }

    Skin* m_skin = nullptr;
    Theme* m_theme = nullptr;
    Classic* m_classic = nullptr;
};
