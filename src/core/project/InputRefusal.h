#pragma once
// A refusal of user input: the message box a dialog shows (critical icon), and where
// the dialog puts the user afterwards. The CLI prints the text.
#include <string>

namespace kestrel {

inline constexpr const char* kApplicationTitle = "Kestrel";
inline constexpr const char* kApplicationVersion = "v1.1";

struct InputRefusal {
    std::string text;
    std::string title; // empty: the application title
    std::string focus; // object name of the control that gets the focus, if any
    int tab = -1;      // the tab to show in a dialog with tabs, -1 for none

    std::string ShownTitle() const { return title.empty() ? kApplicationTitle : title; }
};

} // namespace kestrel
