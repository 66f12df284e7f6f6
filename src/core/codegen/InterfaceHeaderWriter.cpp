// Writes the abstract interface class header: a class derived from sc_interface that
// declares every TLM function as a pure virtual member.
#include "codegen/InterfaceHeaderWriter.h"

#include "codegen/DeclarationHelpers.h"
#include "codegen/TextWriter.h"

#include <algorithm>

namespace kestrel {

namespace {

void WriteInterfaceClass(TextWriter& out, const PreparedTables& tables) {
    const GenerationSettings& settings = tables.settings;
    out.line({"#ifndef ", IncludeGuard(settings.interfaceHeaderPath)});
    out.line({"#define ", IncludeGuard(settings.interfaceHeaderPath)});
    out.blank();
    out.line("//Abstract Interface Class");
    out.line({"class ", settings.interfaceClassName, " : ", "virtual public sc_interface"});
    out.line("{");
    out.line("public:");
    for (const TlmFunction& function : tables.functions.Used()) {
        out.line({"        virtual ", function.returnTypeText.Text(), " ",
                  function.functionName.Text(), " ( ", ParameterListText(function), " ) = 0 ;"});
    }
    out.line("} ;");
    out.blank();
    out.line("#endif");
}

} // namespace

std::string WriteInterfaceHeader(const PreparedTables& tables, const LocalDateTime& now) {
    TextWriter out;
    WriteFileBanner(out, "------ TLM Abstract Interface Class Header File ------", tables.options,
                    now, BannerKind::Generated);
    WriteInterfaceClass(out, tables);
    return out.take();
}

} // namespace kestrel
