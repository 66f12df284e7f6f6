// The RtlSignal record (380 bytes) and the loading and saving of Input/rtl_sig.dat.
#include "model/RtlSignal.h"

#include "model/ProjectPaths.h"
#include "model/RecordTable.h"

namespace kestrel {

std::string EncodeRtlSignal(const RtlSignal& signal) {
    ByteWriter out;
    out.Fixed(signal.dataTypeText);
    out.Integer(signal.dataTypeIndex);
    out.Integer(signal.width);
    out.Fixed(signal.signalName);
    out.Fixed(signal.directionText);
    out.Integer(signal.directionIndex);
    out.Fixed(signal.initValue);
    out.Boolean(signal.isClock);
    out.Boolean(signal.isLibrary);
    return out.Take();
}

bool DecodeRtlSignal(std::string_view bytes, RtlSignal& signal) {
    if (bytes.size() < RtlSignal::kRecordSize) return false;
    // Every field lies inside the first kRecordSize bytes, so no read below can fail.
    ByteReader in(bytes.substr(0, RtlSignal::kRecordSize));
    in.Fixed(signal.dataTypeText);
    in.Integer(signal.dataTypeIndex);
    in.Integer(signal.width);
    in.Fixed(signal.signalName);
    in.Fixed(signal.directionText);
    in.Integer(signal.directionIndex);
    in.Fixed(signal.initValue);
    in.Boolean(signal.isClock);
    in.Boolean(signal.isLibrary);
    return true;
}

Status LoadRtlSignalsFrom(std::string_view filePath, RtlSignalTable& table) {
    return detail::LoadRecordTable<RtlSignalTable, RtlSignal>(
        filePath, table, kMaxSignals,
        [](std::string_view bytes, RtlSignal& s) { DecodeRtlSignal(bytes, s); });
}

Status SaveRtlSignalsTo(std::string_view filePath, const RtlSignalTable& table) {
    return detail::SaveRecordTable<RtlSignalTable, RtlSignal>(filePath, table, kMaxSignals,
                                                              EncodeRtlSignal);
}

Status LoadRtlSignals(std::string_view projectFolder, RtlSignalTable& table) {
    return LoadRtlSignalsFrom(InputPath(projectFolder, kRtlSignalFile), table);
}

Status SaveRtlSignals(std::string_view projectFolder, const RtlSignalTable& table) {
    return SaveRtlSignalsTo(InputPath(projectFolder, kRtlSignalFile), table);
}

} // namespace kestrel
