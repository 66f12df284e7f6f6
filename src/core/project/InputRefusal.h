#pragma once
// A refusal of user input: the message box a dialog shows (critical icon), and the input
// it is about, where the dialog puts the user afterwards. The CLI prints the text.
#include <string>

namespace kestrel {

inline constexpr const char* kApplicationTitle = "Kestrel";
inline constexpr const char* kApplicationVersion = "v1.1";

// The inputs a refusal can be about. Each window knows which of its controls holds one.
enum class RefusedField {
    None,
    ProjectName,
    ProjectLocation,
    FunctionName,
    ParameterName,
    ParameterType,
    SignalName,
    SignalInitValue,
    GenerationMethod,
    SetupTime,
    SetupUnit,
    ClockPeriod,
    ClockPeriodUnit,
    MakeLibrary,
};

struct InputRefusal {
    std::string text;
    std::string title; // empty: the application title
    RefusedField field = RefusedField::None;

    std::string ShownTitle() const { return title.empty() ? kApplicationTitle : title; }
};

} // namespace kestrel
