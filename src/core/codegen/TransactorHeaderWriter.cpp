// Writes the transactor class header: the SystemC module class deriving from sc_module
// and the interface class, with its TLM functions, RTL ports, a constructor that
// initialises the output ports, the two type conversion functions and, in the full
// variant, the update procedures and the spliced .dec sections of every function.
#include "codegen/TransactorHeaderWriter.h"

#include "codegen/DeclarationHelpers.h"
#include "codegen/TextWriter.h"
#include "platform/FileSystem.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr std::string_view kIndent = "        ";
constexpr std::string_view kIndent2 = "                ";

void WriteClassHead(TextWriter& out, const GenerationSettings& settings) {
    out.line({"#ifndef ", IncludeGuard(settings.transactorHeaderPath)});
    out.line({"#define ", IncludeGuard(settings.transactorHeaderPath)});
    out.blank();
    out.line({"#include \"", AfterLastSeparator(settings.interfaceHeaderPath), "\""});
    out.blank();
    out.blank();
    out.line("//Transactor Class");
    out.line({"class ", settings.transactorClassName, " : public sc_module, public ",
              settings.interfaceClassName});
    out.line("{");
    out.line("public:");
    out.blank();
}

void WriteFunctionDeclarations(TextWriter& out, const PreparedTables& tables) {
    out.line({kIndent, "//TLM Function Declaration"});
    for (const TlmFunction& function : tables.functions.Used()) {
        out.line({kIndent, function.returnTypeText.Text(), " ", function.functionName.Text(), " ( ",
                  ParameterListText(function), " ) ;"});
    }
}

void WritePortDeclarations(TextWriter& out, const PreparedTables& tables) {
    out.blank();
    out.blank();
    out.line({kIndent, "//RTL Port Declaration"});
    for (const RtlSignal& signal : tables.signals.Used())
        out.line({kIndent, PortDeclarationText(signal)});
}

void WriteConstructor(TextWriter& out, const PreparedTables& tables) {
    out.blank();
    out.blank();
    out.line({kIndent, "//Constructor"});
    out.line({kIndent, tables.settings.transactorClassName,
              " ( sc_module_name name ) : sc_module (name)"});
    out.line({kIndent, "{"});
    out.line({kIndent2, "//Initialize RTL Output Ports"});
    for (const RtlSignal& signal : tables.signals.Used()) {
        if (signal.Direction() != SignalDirection::Out) continue;
        out.line(
            {kIndent2, signal.signalName.Text(), ".initialize (", signal.initValue.Text(), ") ;"});
    }
    out.line({kIndent, "}"});
    out.blank();
    out.blank();
    out.line("private:");
    out.blank();
}

void WriteConversionFunctions(TextWriter& out, std::string_view toIntName,
                              std::string_view toLvName) {
    out.line({kIndent, "//TLM-RTL Type Conversion Functions"});
    out.line(
        {kIndent, "unsigned int ", toIntName, " ( sc_lv <64> temp ) //64 is the MAX bus width"});
    out.line({kIndent, "{"});
    out.line({kIndent, "    assert ( temp.is_01 () == true ) ;"});
    out.line({kIndent, "    return (temp.to_uint()) ;"});
    out.line({kIndent, "}"});
    out.blank();
    out.line({kIndent, "char * ", toLvName, " ( unsigned int tn )"});
    out.line({kIndent, "{"});
    out.line({kIndent, "    static char s [65] ;"});
    out.line({kIndent, "    _itoa (tn, s, 2) ;"});
    out.line({kIndent, "    return (s) ;"});
    out.line({kIndent, "}"});
}

void WriteUpdateDeclarations(TextWriter& out, const PreparedTables& tables) {
    out.blank();
    out.blank();
    out.line({kIndent, "// Update Function Declaration"});
    for (const TlmFunction& function : tables.functions.Used())
        out.line({kIndent, "void ", function.functionName.Text(), "_Update ( void ) ;"});
}

void WriteDeclarationSections(TextWriter& out, const PreparedTables& tables,
                              const std::vector<FunctionSections>& sections,
                              std::vector<std::size_t>* places) {
    out.blank();
    out.blank();
    for (int f = 1; f <= tables.functions.UsedCount(); ++f) {
        auto index = static_cast<std::size_t>(f - 1);
        if (places) places->push_back(out.text().size());
        if (index < sections.size()) out.splice(sections[index].declarations, kIndent);
        out.blank();
    }
}

void WriteClassTail(TextWriter& out) {
    out.blank();
    out.blank();
    out.line("} ;");
    out.blank();
    out.line("#endif");
}

} // namespace

std::string PortDeclarationText(const RtlSignal& signal) {
    std::string text = signal.directionText.Text() + " <" + signal.dataTypeText.Text();
    if (signal.DataType() == SignalDataType::LogicVector)
        return text + " <" + std::to_string(signal.width) + ">" + " > " + signal.signalName.Text() +
               " ;";
    text += "> " + signal.signalName.Text() + " ;";
    if (signal.isClock) text += " //Clock Signal";
    return text;
}

namespace {

// The part both headers share: the banner, the class head, the functions, the ports and
// the constructor.
TextWriter HeaderHead(const PreparedTables& tables, const LocalDateTime& now, BannerKind kind) {
    TextWriter out;
    WriteFileBanner(out, "--------------- Transactor Header File ---------------", tables.options,
                    now, kind);
    WriteClassHead(out, tables.settings);
    WriteFunctionDeclarations(out, tables);
    WritePortDeclarations(out, tables);
    WriteConstructor(out, tables);
    return out;
}

} // namespace

std::string WriteTransactorHeader(const PreparedTables& tables, const LocalDateTime& now,
                                  const std::vector<FunctionSections>& sections,
                                  std::vector<std::size_t>* declarationPlaces) {
    TextWriter out = HeaderHead(tables, now, BannerKind::Generated);
    WriteConversionFunctions(out, "toInt", "toLv");
    WriteUpdateDeclarations(out, tables);
    WriteDeclarationSections(out, tables, sections, declarationPlaces);
    WriteClassTail(out);
    return out.take();
}

std::string WriteTemplateHeader(const PreparedTables& tables, const LocalDateTime& now) {
    TextWriter out = HeaderHead(tables, now, BannerKind::Template);
    WriteConversionFunctions(out, "LVtoINT", "INTtoLV");
    WriteClassTail(out);
    return out.take();
}

} // namespace kestrel
