// OK of the Code Generation Settings dialog: the clock and library refusals in their
// order, as the golden file records them.
#include "project/CodeSettings.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

#include <string>

namespace kestrel {
namespace {

enum Unit { FS, PS, NS, US, MS, SEC };

CodeSettingsDraft Clock(const char* setup, int setupUnit, const char* period, int periodUnit) {
    CodeSettingsDraft d;
    d.method = kMethodAsml;
    d.useSetup = true;
    d.setupText = setup;
    d.setupUnitIndex = setupUnit;
    d.periodText = period;
    d.periodUnitIndex = periodUnit;
    return d;
}

// Applies the draft to fresh options; on refusal, also checks the options are untouched.
std::optional<InputRefusal> Apply(CodeSettingsDraft d, ProjectOptions& options) {
    const ProjectOptions before = options;
    std::optional<InputRefusal> refusal = ApplyCodeSettings(d, options);
    if (refusal) {
        EXPECT_EQ(options, before);
    }
    return refusal;
}

// A unit by name (FS .. SEC) or as a raw index.
int UnitIndex(const std::string& text) {
    const char* const names[] = {"FS", "PS", "NS", "US", "MS", "SEC"};
    for (int i = 0; i < 6; ++i)
        if (text == names[i]) return i;
    return std::stoi(text);
}

// Each draft of the fixture file and what OK made of it: the stored clock options, or
// the refusal with its title and field (the options then untouched).
TEST(CodeSettings, ClockAndLibraryChoicesAsTheGoldenFileRecords) {
    std::istringstream input(test::Fixture("project/code_settings.txt"));
    std::string listed;
    for (std::string line; std::getline(input, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> part;
        for (std::size_t from = 0, bar; part.size() < 4; from = bar + 1) {
            bar = line.find('|', from);
            part.push_back(line.substr(from, bar - from));
        }
        const std::string choices = line.substr(line.rfind('|') + 1);
        CodeSettingsDraft d =
            Clock(part[0].c_str(), UnitIndex(part[1]), part[2].c_str(), UnitIndex(part[3]));
        d.useSetup = choices.find("nosetup") == std::string::npos;
        d.makeLibrary = choices.find("library") != std::string::npos;
        if (std::size_t m = choices.find("method="); m != std::string::npos)
            d.method = choices[m + 7] - '0';
        ProjectOptions o;
        o.setupWait = 42;
        o.setupWaitUnit = "SC_US";
        listed += line + "\n-> ";
        if (std::optional<InputRefusal> r = Apply(d, o))
            listed += r->text + " [" + r->title + "] field " +
                      std::to_string(static_cast<int>(r->field)) + "\n";
        else
            listed += "time " + std::to_string(o.setupTime) + " " + o.setupUnit + " (" +
                      std::to_string(o.setupUnitIndex) + "), period " +
                      std::to_string(o.clockPeriod) + " " + o.periodUnit + " (" +
                      std::to_string(o.periodUnitIndex) + "), wait " + std::to_string(o.setupWait) +
                      " " + o.setupWaitUnit + ", method " + std::to_string(o.generationMethod) +
                      (o.makeLibrary ? ", library" : "") + (o.useSetupTime ? "" : ", no setup") +
                      "\n";
    }
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "project/code_settings.txt", listed));
}

} // namespace
} // namespace kestrel
