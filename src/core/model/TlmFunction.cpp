// The TlmFunction record (5458 bytes, with 21 TlmParameter slots of 248 bytes) and the
// loading and saving of Input/tlm_func.dat.
#include "model/TlmFunction.h"

#include "model/ProjectPaths.h"
#include "model/RecordTable.h"

namespace kestrel {

namespace {

void EncodeParameter(ByteWriter& out, const TlmParameter& p) {
    out.Fixed(p.typeText);
    out.Integer(p.typeIndex);
    out.Fixed(p.passMarker);
    out.Integer(p.passIndex);
    out.Fixed(p.parameterName);
    out.Boolean(p.isConst);
    out.Boolean(p.isArray);
}

void DecodeParameter(ByteReader& in, TlmParameter& p) {
    in.Fixed(p.typeText);
    in.Integer(p.typeIndex);
    in.Fixed(p.passMarker);
    in.Integer(p.passIndex);
    in.Fixed(p.parameterName);
    in.Boolean(p.isConst);
    in.Boolean(p.isArray);
}

} // namespace

std::string EncodeTlmFunction(const TlmFunction& function) {
    ByteWriter out;
    out.Fixed(function.functionName);
    out.Fixed(function.returnTypeText);
    out.Integer(function.returnTypeIndex);
    out.Integer(function.reserved);
    for (const TlmParameter& p : function.parameters) EncodeParameter(out, p);
    out.Integer(function.parameterCount);
    out.Fixed(function.asfFileName);
    out.Boolean(function.fsmAssigned);
    out.Boolean(function.isLibrary);
    return out.Take();
}

bool DecodeTlmFunction(std::string_view bytes, TlmFunction& function) {
    if (bytes.size() < TlmFunction::kRecordSize) return false;
    // Every field lies inside the first kRecordSize bytes, so no read below can fail.
    ByteReader in(bytes.substr(0, TlmFunction::kRecordSize));
    in.Fixed(function.functionName);
    in.Fixed(function.returnTypeText);
    in.Integer(function.returnTypeIndex);
    in.Integer(function.reserved);
    for (TlmParameter& p : function.parameters) DecodeParameter(in, p);
    in.Integer(function.parameterCount);
    in.Fixed(function.asfFileName);
    in.Boolean(function.fsmAssigned);
    in.Boolean(function.isLibrary);
    return true;
}

Status LoadTlmFunctionsFrom(std::string_view filePath, TlmFunctionTable& table) {
    return detail::LoadRecordTable<TlmFunctionTable, TlmFunction>(
        filePath, table, kMaxFunctions,
        [](std::string_view bytes, TlmFunction& f) { DecodeTlmFunction(bytes, f); });
}

Status SaveTlmFunctionsTo(std::string_view filePath, const TlmFunctionTable& table) {
    return detail::SaveRecordTable<TlmFunctionTable, TlmFunction>(filePath, table,
                                                                  EncodeTlmFunction);
}

Status LoadTlmFunctions(std::string_view projectFolder, TlmFunctionTable& table) {
    return LoadTlmFunctionsFrom(InputPath(projectFolder, kTlmFunctionFile), table);
}

Status SaveTlmFunctions(std::string_view projectFolder, const TlmFunctionTable& table) {
    return SaveTlmFunctionsTo(InputPath(projectFolder, kTlmFunctionFile), table);
}

} // namespace kestrel
