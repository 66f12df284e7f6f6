#pragma once
// Loading and saving of the two fixed-record tables (tlm_func.dat, rtl_sig.dat and their
// library copies). Shared by TlmFunction.cpp and RtlSignal.cpp.
#include "platform/FileSystem.h"
#include "platform/Status.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace kestrel::detail {

// Reads whole records into slots 1..n and sets the count to n. A missing file is created
// empty; a trailing partial record and records beyond the table's capacity are ignored;
// slot 0 and the slots above n are left as they were.
template <typename Table, typename Record, typename Decode>
Status LoadRecordTable(std::string_view filePath, Table& table, int capacity, Decode decode) {
    std::string bytes;
    if (!FileExists(filePath)) {
        if (Status s = TouchFile(filePath); !s) return s;
    } else if (Status s = ReadFileBytes(filePath, bytes); !s) {
        return s;
    }
    const std::size_t whole = bytes.size() / Record::kRecordSize;
    const int n =
        static_cast<int>(std::min<std::size_t>(whole, static_cast<std::size_t>(capacity)));
    for (int i = 1; i <= n; ++i) {
        std::string_view record(bytes.data() + (i - 1) * Record::kRecordSize, Record::kRecordSize);
        decode(record, table[i]);
    }
    table.count = static_cast<std::int16_t>(n);
    return Status::Ok();
}

// Replaces the file with slots 1..count, so that its length is count x record length.
template <typename Table, typename Record, typename Encode>
Status SaveRecordTable(std::string_view filePath, const Table& table, Encode encode) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(table.UsedCount()) * Record::kRecordSize);
    for (const Record& record : table.Used()) bytes += encode(record);
    return WriteFileAtomic(filePath, bytes);
}

} // namespace kestrel::detail
