#pragma once
// Records message traffic as lines of text, for comparing a skinned control
// with an unskinned one: what reaches the control from outside (a recorder
// put on top of its subclass chain, as an application's own subclass would
// be) and what its parent hears from it (commands, custom-draw stages with
// their item states, colour messages with whether the DC carries a clipping
// region).
#include <windows.h>
#include <string>
#include <vector>

namespace kivtest {

class MessageLog
{
public:
    static std::vector<std::string>& Lines();
    static void Clear() { Lines().clear(); }
    static void Add(const std::string& line) { Lines().push_back(line); }
    // Puts the recorder on top of the window's procedure chain.
    static void Watch(HWND window);
    // For a parent's window procedure: notes what it heard from its children.
    static void NoteParent(UINT message, WPARAM wParam, LPARAM lParam);
    // All lines joined, one per row, for a readable failure message.
    static std::string Text();

private:
    static LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// Empty when both logs are equal; else the first line where they part, with
// the lines around it from both.
std::string FirstDifference(const std::vector<std::string>& expected, const std::vector<std::string>& actual);

// Dispatches what is queued for this thread right now, without waiting.
void DispatchQueued();

}  // namespace kivtest
