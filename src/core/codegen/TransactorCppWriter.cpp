// Writes the transactor implementation file: the includes, then for every TLM function
// its update procedure and its definition, with the bodies spliced from the function's
// section files (full variant) or left empty (template variant).
#include "codegen/TransactorCppWriter.h"

#include "codegen/DeclarationHelpers.h"
#include "codegen/TextWriter.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include <algorithm>

namespace kestrel {

namespace {

void WriteIncludes(TextWriter& out, const GenerationSettings& settings) {
    const std::string stars(53, '*');
    out.line("#include <systemc.h>");
    out.line({"#include \"", AfterLastSeparator(settings.transactorHeaderPath), "\""});
    out.blank();
    out.line({"/", stars});
    out.line("       Tranasactor TLM Function Implementation ");
    out.line({stars, "/"});
    out.blank();
}

// "int clsTran :: read ( int  addr )"
std::string DefinitionHead(std::string_view className, const TlmFunction& function) {
    return function.returnTypeText.Text() + " " + std::string(className) +
           " :: " + function.functionName.Text() + " ( " + ParameterListText(function) + " )";
}

void WriteFunction(TextWriter& out, std::string_view className, const TlmFunction& function,
                   const FunctionSections& sections, CppSectionPlaces& places) {
    std::string name = function.functionName.Text();
    out.line({"void ", className, " :: ", name, "_Update ( void )"});
    out.line("{");
    places.update = out.text().size();
    out.splice(sections.update);
    out.line("}");
    out.blank();
    out.line(DefinitionHead(className, function));
    out.line("{");
    places.initialisation = out.text().size();
    out.splice(sections.initialisation);
    out.blank();
    places.behaviour = out.text().size();
    out.splice(sections.behaviour);
    out.blank();
    out.line("}");
    out.blank();
    out.blank();
}

void WriteEmptyFunction(TextWriter& out, std::string_view className, const TlmFunction& function) {
    out.line(DefinitionHead(className, function));
    out.line("{");
    out.blank();
    out.blank();
    out.line("}");
    out.blank();
    out.blank();
}

} // namespace

std::string WriteTransactorCpp(const PreparedTables& tables, const LocalDateTime& now,
                               const std::vector<FunctionSections>& sections,
                               std::vector<CppSectionPlaces>* places) {
    TextWriter out;
    WriteFileBanner(out, "---------------- Transactor C++ File -----------------", tables.options,
                    now, BannerKind::Generated);
    WriteIncludes(out, tables.settings);
    std::string className = Trim(tables.settings.transactorClassName);
    const FunctionSections none;
    std::size_t index = 0;
    for (const TlmFunction& function : tables.functions.Used()) {
        CppSectionPlaces placed;
        WriteFunction(out, className, function, index < sections.size() ? sections[index] : none,
                      placed);
        ++index;
        if (places) places->push_back(placed);
    }
    return out.take();
}

std::string WriteTemplateCpp(const PreparedTables& tables, const LocalDateTime& now) {
    TextWriter out;
    WriteFileBanner(out, "---------------- Transactor C++ File -----------------", tables.options,
                    now, BannerKind::Template);
    WriteIncludes(out, tables.settings);
    std::string className = Trim(tables.settings.transactorClassName);
    for (const TlmFunction& function : tables.functions.Used())
        WriteEmptyFunction(out, className, function);
    return out.take();
}

} // namespace kestrel
