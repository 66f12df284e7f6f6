#pragma once
// What the benchmark programs share: timing and memory readings, and the AsmL projects
// they measure (a generated specification of handshake blocks over declared parameters
// and ports).
#include "fsm/AsfDocument.h"
#include "fsm/AsfEdit.h"
#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/ProjectPaths.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace kestrel::bench {

using SteadyClock = std::chrono::steady_clock;

inline double Seconds(SteadyClock::duration d) {
    return std::chrono::duration<double>(d).count();
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline double Best(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}

// The processor time of this (single-threaded) process, user and system, in seconds: a
// busy machine delays a run but hardly changes the time the run itself spends.
inline double CpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The peak resident memory of the process so far, in MiB.
inline double PeakMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The one-minute load average, or 0 when unknown.
inline double LoadAverage() {
    double load = 0;
    if (std::FILE* file = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(file, "%lf", &load) != 1) load = 0;
        std::fclose(file);
    }
    return load;
}

// A line telling that the machine was busy, when it was.
inline void NoteLoad() {
    const double load = LoadAverage();
    const long cores = ::sysconf(_SC_NPROCESSORS_ONLN);
    if (load > static_cast<double>(cores))
        std::printf("  note: load average %.1f on %ld cores; the times are not reliable\n", load,
                    cores);
}

[[noreturn]] inline void Fail(const char* program, const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", program, what.c_str());
    std::exit(2);
}

// Runs a program directly (no shell) with its output (and, when `quiet`, its messages) to
// /dev/null; its wall time in seconds, or -1 when it could not run or did not exit with
// status 0.
inline double TimeProgram(std::vector<std::string> args, bool quiet = false) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (quiet) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    auto start = SteadyClock::now();
    pid_t pid = 0;
    int status = 0;
    bool ok = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
              waitpid(pid, &status, 0) == pid;
    double seconds = Seconds(SteadyClock::now() - start);
    posix_spawn_file_actions_destroy(&actions);
    return ok && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

inline std::string BenchFunctionName(int i) {
    return "Xfer_" + std::to_string(i);
}

// Appends a line with CR LF.
inline void Line(std::string& text, std::string_view line, std::size_t& count) {
    text.append(line);
    text.append("\r\n");
    ++count;
}

// The name of parameter `j` (1-based) of the benchmark functions: the three the behaviour
// uses, then spares.
inline std::string BenchParameterName(int j) {
    switch (j) {
    case 1: return "addr";
    case 2: return "data";
    case 3: return "count";
    default: return "spare_" + std::to_string(j);
    }
}

// One function's namespace: declarations, then repeated handshake blocks with loops,
// conditions, expressions over parameters, signals, variables, constants and enumeration
// values, and comments, until the function has `lines` lines. The header names at most
// twelve parameters: a line holds at most 64 tokens.
inline void AppendFunction(std::string& text, int function, int parameters, std::size_t lines,
                           std::size_t& total) {
    std::size_t count = 0;
    const std::string name = BenchFunctionName(function);
    std::string header = "      public " + name + " ( ";
    for (int j = 1; j <= std::min(parameters, 12); ++j)
        header += (j > 1 ? ", " : " ") + BenchParameterName(j) + " as Integer";
    header += " ) ";
    for (std::string_view head :
         {"      namespace ns" + name, std::string("      import nsHardwareDatatype"),
          std::string("      import nsRTL"), std::string(""),
          std::string("      // Function Declaration"), header, std::string(""),
          std::string("        const LIMIT as Integer = 16"),
          std::string("        var n as Integer = 0"),
          std::string("        var total as Integer = 0"),
          std::string("        var phase as Integer = 0"), std::string("        enum Phase"),
          std::string("          IDLE"), std::string("          BUSY"),
          std::string("          DONE"), std::string("        var state as Phase = IDLE"),
          std::string("        SetClockSignal ( clk , true )"), std::string("")})
        Line(text, head, count);
    for (int block = 0; count < lines; ++block) {
        const std::string k = std::to_string(block % 251);
        Line(text, "        // block " + std::to_string(block), count);
        Line(text, "        step", count);
        Line(text, "          req := LOGIC_1", count);
        Line(text, "          a := toLv ( addr + " + k + " )", count);
        Line(text, "        step while ack = LOGIC_0 and n < LIMIT", count);
        Line(text, "          n := n + 1", count);
        Line(text, "        step", count);
        Line(text, "          if ack = LOGIC_1 then", count);
        Line(text, "            data := toInt ( d ) + " + k, count);
        Line(text, "            total := total + ( data mod 7 ) * 3", count);
        Line(text, "          elseif n >= LIMIT then", count);
        Line(text, "            state := DONE", count);
        Line(text, "          else", count);
        Line(text, "            count := count + 1", count);
        Line(text, "          req := LOGIC_0", count);
        Line(text, "", count);
        Line(text, "        match state", count);
        Line(text, "          IDLE :", count);
        Line(text, "            phase := 1", count);
        Line(text, "          otherwise", count);
        Line(text, "            phase := 2", count);
    }
    Line(text, "", count);
    total += count;
}

inline TlmParameter BenchParameter(std::string_view name, bool byReference) {
    TlmParameter p;
    p.typeText = "unsigned int";
    p.typeIndex = 7;
    p.passMarker = byReference ? "&" : " ";
    p.passIndex = byReference ? 1 : 0;
    p.parameterName = name;
    return p;
}

inline RtlSignal BenchSignal(std::string_view name, int type, int width, int direction,
                             bool clock) {
    RtlSignal s;
    s.dataTypeText = kDataTypeNames[static_cast<std::size_t>(type)];
    s.dataTypeIndex = static_cast<std::int16_t>(type);
    s.width = static_cast<std::int16_t>(width);
    s.signalName = name;
    s.directionText = kDirectionNames[static_cast<std::size_t>(direction)];
    s.directionIndex = static_cast<std::int16_t>(direction);
    s.initValue = type == 1 ? std::string(static_cast<std::size_t>(width), '0') : "0";
    s.isClock = clock;
    return s;
}

// Declares `functions` functions of `parameters` parameters and the five ports the
// behaviour uses plus `sparePorts` more, and assigns Input/spec.asml as the AsmL
// specification. False when a file cannot be written.
inline bool DeclareAsmlProject(const std::string& folder, int functions, int parameters,
                               int sparePorts) {
    auto table = std::make_unique<TlmFunctionTable>();
    table->count = static_cast<std::int16_t>(functions);
    for (int i = 1; i <= functions; ++i) {
        TlmFunction& f = (*table)[i];
        f.functionName = BenchFunctionName(i);
        f.returnTypeText = "void";
        for (int j = 1; j <= parameters; ++j)
            f.parameters[static_cast<std::size_t>(j)] =
                BenchParameter(BenchParameterName(j), j != 1);
        f.parameterCount = static_cast<std::int16_t>(parameters);
    }
    // As the RTL design sees them; Generate reverses the directions.
    auto signals = std::make_unique<RtlSignalTable>();
    int n = 0;
    (*signals)[++n] = BenchSignal("clk", 2, 1, 0, true);
    (*signals)[++n] = BenchSignal("req", 0, 1, 0, false);
    (*signals)[++n] = BenchSignal("a", 1, 32, 0, false);
    (*signals)[++n] = BenchSignal("ack", 0, 1, 1, false);
    (*signals)[++n] = BenchSignal("d", 1, 32, 1, false);
    for (int spare = 1; spare <= sparePorts; ++spare)
        (*signals)[++n] = BenchSignal("spare_port_" + std::to_string(spare), spare % 2,
                                      spare % 2 ? 16 : 1, spare % 2, false);
    signals->count = static_cast<std::int16_t>(n);
    ProjectOptions options;
    if (!SaveTlmFunctions(folder, *table) || !SaveRtlSignals(folder, *signals) ||
        !LoadOptions(folder, options))
        return false;
    options.generationMethod = kMethodAsml;
    options.useSetupTime = false;
    AsmlAssignment asml{InputPath(folder, "spec.asml"), "spec.asml", true};
    return SaveOptions(folder, options) && SaveAsmlAssignment(folder, asml);
}

// A diagram at the reader's capacity, saved at `path`: 50 states in a chain (their 50 name
// labels fill the label table), an action on every other state, 48 transitions with
// conditions, a reset, drawn through the editing operations.
inline Status DrawCapacityDiagram(const std::string& path) {
    AsfDocument doc;
    Status s = AsfDocument::Load(
        "VERSION=1.19\r\nHEADER\r\nFILE=\"Ring.asf\"\r\nFREEOID=60\r\nEND\r\nOBJECTS\r\n"
        "F 1 0 671088640 10 0 \"\" 0 RECT 0,0,0 0 0 1 255,255,255 0 | 15700,15700 400200,421700\r\n"
        "END\r\n",
        path, doc);
    std::vector<ObjectNumber> states(kMaxDiagramStates);
    ObjectNumber n = 0;
    for (std::size_t i = 0; s && i < states.size(); ++i) {
        s = AddState(doc, "S" + std::to_string(i),
                     {static_cast<ObjectNumber>(20000 + 7000 * (i % 10)),
                      static_cast<ObjectNumber>(20000 + 70000 * (i / 10))},
                     states[i]);
        if (s && i % 2 == 0) s = AddAction(doc, states[i], "count := count + 1", n);
    }
    if (s) s = SetStateKind(doc, states.back(), AsfStateKind::Trap);
    if (s) s = AddReset(doc, {10000, 10000}, n);
    if (s) s = AddTransition(doc, n, states.front(), 0, std::nullopt, n);
    for (std::size_t i = 0; s && i < 48; ++i)
        s = AddTransition(doc, states[i], states[i + 1], 1,
                          std::string("count < " + std::to_string(i)), n);
    if (s) s = WriteFileAtomic(path, doc.Bytes());
    return s;
}

} // namespace kestrel::bench
