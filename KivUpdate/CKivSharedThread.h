#pragma once
#include <windows.h>
#include <memory>

// Threads that share ownership of the object they work on: the object lives
// until both the starter and the thread have let go of it, so a thread that
// outlives every wait for it still finds its object.
class CKivSharedThread
{
public:
    // Runs work(*object) on a new thread; the thread's handle, null when
    // none could start.
    template <typename T>
    static HANDLE Start(const std::shared_ptr<T>& object, void (*work)(T&))
    {
        auto* parameter = new Parameter<T>{object, work};
        DWORD id = 0;
        HANDLE thread = CreateThread(nullptr, 0, &Main<T>, parameter, 0, &id);
        if (thread == nullptr)
            delete parameter;
        return thread;
    }

private:
    template <typename T>
    struct Parameter
    {
        std::shared_ptr<T> object;
        void (*work)(T&);
    };

    template <typename T>
    static DWORD WINAPI Main(void* raw)
    {
        std::unique_ptr<Parameter<T>> parameter(static_cast<Parameter<T>*>(raw));
        parameter->work(*parameter->object);
        return 0;
    }
};
