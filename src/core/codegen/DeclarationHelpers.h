#pragma once
// Declaration operations shared by generation and the template writers: substring
// counting, AsmL signatures, the in-memory rewrites of the signal table before a run,
// the clock lookup, and the pieces every generated file shares (banner, include guard,
// parameter list, date stamp).
#include "model/ProjectOptions.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "platform/Clock.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

class TextWriter;

// The generation-wide clock values: set before every run, changed by a SetClockSignal
// line of the translated behaviour, kept from one run to the next.
struct ClockSelection {
    std::string clockSignalName; // empty until a project with a clock signal is generated
    bool clockOnPositiveEdge = false;
};

// How often `pattern` occurs in `text`, overlapping matches included; 0 when the pattern
// is longer than the text (or empty).
std::int16_t CountOccurrences(std::string_view text, std::string_view pattern);

// The AsmL type of a C type index: "" for void (0), "Boolean" for bool (1), "Integer"
// for 2 to 7, "" for any other index.
std::string AsmlTypeName(int typeIndex);

// The AsmL method header of a function, e.g. "public write (  addr as Integer, data as
// Seq of Integer ) " or "public ready ( ) as Boolean". Trims the function and parameter
// names in the record.
std::string AsmlSignature(TlmFunction& function);

// Rewrites initial values into SystemC literals: sc_lv values in double quotes, sc_logic
// and bool values 0, 1, X, Z as SC_LOGIC_0 .. SC_LOGIC_Z; others trimmed or unchanged.
void NormalizeInitValues(RtlSignalTable& signals);

// The first clock signal (trimmed in the record) becomes the clock signal name; with no
// clock signal the name stays as it was. The edge always comes from the options.
void FindClockSignal(RtlSignalTable& signals, const ProjectOptions& options, ClockSelection& clock);

// "Friday, Dec 4, 2026 @ 09:51:15 AM": the date and time stamp of banners and logs.
std::string DateStampText(const LocalDateTime& now);

// Which line follows the first row of minus signs in a banner.
enum class BannerKind { Generated, Template };

// The banner at the top of every generated file.
void WriteFileBanner(TextWriter& out, std::string_view titleLine, const ProjectOptions& options,
                     const LocalDateTime& now, BannerKind kind);

// "_TRAN_H_" for ".../Tran.h": the file name without its last two characters, in upper
// case, between "_" and "_H_". A name shorter than two characters gives "__H_".
std::string IncludeGuard(std::string_view headerPath);

// "const char & b [], int  a": the parameters of a function as declared in C++.
std::string ParameterListText(const TlmFunction& function);

} // namespace kestrel
