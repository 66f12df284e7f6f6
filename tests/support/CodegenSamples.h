#pragma once
// Sample declarations shared by the code generation tests.
#include "model/Assignments.h"
#include "model/ProjectOptions.h"
#include "model/ProjectRecord.h"
#include "model/ProjectTables.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"

#include <string>
#include <string_view>

namespace kestrel::sample {

inline TlmParameter Parameter(std::string_view type, int typeIndex, std::string_view name,
                              bool byReference = false, bool isConst = false,
                              bool isArray = false) {
    TlmParameter p;
    p.typeText = type;
    p.typeIndex = static_cast<std::int16_t>(typeIndex);
    p.passMarker = byReference ? "&" : " ";
    p.passIndex = byReference ? 1 : 0;
    p.parameterName = name;
    p.isConst = isConst;
    p.isArray = isArray;
    return p;
}

inline TlmFunction Function(std::string_view name, std::string_view returnType, int returnIndex,
                            std::initializer_list<TlmParameter> parameters = {}) {
    TlmFunction f;
    f.functionName = name;
    f.returnTypeText = returnType;
    f.returnTypeIndex = static_cast<std::int16_t>(returnIndex);
    int p = 0;
    for (const TlmParameter& parameter : parameters)
        f.parameters[static_cast<std::size_t>(++p)] = parameter;
    f.parameterCount = static_cast<std::int16_t>(p);
    return f;
}

inline RtlSignal Signal(std::string_view name, int typeIndex, int width, int directionIndex,
                        std::string_view init, bool isClock = false) {
    static constexpr std::string_view kTypes[] = {"sc_logic", "sc_lv", "bool"};
    static constexpr std::string_view kDirections[] = {"sc_in", "sc_out", "sc_inout"};
    RtlSignal s;
    s.dataTypeText = kTypes[typeIndex];
    s.dataTypeIndex = static_cast<std::int16_t>(typeIndex);
    s.width = static_cast<std::int16_t>(width);
    s.signalName = name;
    s.directionText = kDirections[directionIndex];
    s.directionIndex = static_cast<std::int16_t>(directionIndex);
    s.initValue = init;
    s.isClock = isClock;
    return s;
}

// read (int addr) -> int; write (int addr, const char & data []); ready () -> bool.
inline void AddThreeFunctions(TlmFunctionTable& table) {
    table[1] = Function("read", "int", 4, {Parameter("int", 4, "addr")});
    table[2] =
        Function("write", "void", 0,
                 {Parameter("int", 4, "addr"), Parameter("char", 2, "data", true, true, true)});
    table[3] = Function("ready", "bool", 1);
    table.count = 3;
}

// As declared by the user: a clock, an sc_lv input, a bool output, an sc_lv inout and
// an sc_logic input.
inline void AddFiveSignals(RtlSignalTable& table) {
    table[1] = Signal("clk", 0, 1, 0, "0", true);
    table[2] = Signal("data", 1, 8, 0, "00000000");
    table[3] = Signal("valid", 2, 1, 1, "1");
    table[4] = Signal("bus", 1, 4, 2, "ZZZZ");
    table[5] = Signal("ack", 0, 1, 0, "X");
    table.count = 5;
}

inline void SetPaths(GenerationSettings& settings, std::string_view outputFolder) {
    std::string folder(outputFolder);
    settings.transactorCppPath = folder + "/Tran.cpp";
    settings.transactorHeaderPath = folder + "/Tran.h";
    settings.interfaceHeaderPath = folder + "/TLM_AIC.h";
}

inline void SetBanner(ProjectOptions& options) {
    options.title = "Proj Transactor";
    options.author = "designer";
    options.company = "Acme";
    options.comment = "abc\r\ndef\r\n";
    options.useCommentInHeaders = false;
}

// Writes all six tables into <folder>/Input and the project file <folder>/Proj.tp at
// `stage`; true when every file was written.
inline bool SaveSampleProject(const std::string& folder, const ProjectTables& tables, int stage) {
    ProjectRecord record{"Proj", folder, true, true, static_cast<std::int16_t>(stage)};
    return SaveTlmFunctions(folder, tables.functions).ok() &&
           SaveRtlSignals(folder, tables.signals).ok() &&
           SaveOptions(folder, tables.options).ok() &&
           SaveGenerationSettings(folder, tables.settings).ok() &&
           SaveAsmlAssignment(folder, tables.asml).ok() &&
           SaveAsfAssignment(folder, tables.asf).ok() && SaveProjectFile(record).ok();
}

} // namespace kestrel::sample
