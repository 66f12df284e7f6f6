// The two fixed-record tables: byte layout of TlmFunction, TlmParameter and RtlSignal
// against hand-built records, the typed views of a signal's indices, and the loading of
// missing, partial and overfull table files.
#include "model/ProjectPaths.h"
#include "model/ProjectTables.h"
#include "platform/FileSystem.h"

#include "TestSupport.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace kestrel {
namespace {

using test::ReadBytes;
using test::SameBytes;
using test::TempDir;
using test::WriteBytes;
using Pairs = std::vector<std::pair<int, int>>;

void Put16(std::string& buf, std::size_t offset, std::uint16_t value) {
    buf[offset] = static_cast<char>(value & 0xFF);
    buf[offset + 1] = static_cast<char>(value >> 8);
}

// A fixed text field as stored: the value, then blanks up to the field length.
void PutFixed(std::string& buf, std::size_t offset, std::size_t length, std::string_view value) {
    for (std::size_t i = 0; i < length; ++i) buf[offset + i] = i < value.size() ? value[i] : ' ';
}

TlmFunction SampleFunction(std::string_view name) {
    TlmFunction f;
    f.functionName = name;
    f.parameterCount = 1;
    f.parameters[1].parameterName = "data";
    return f;
}

RtlSignal SampleSignal(std::string_view name, SignalDirection direction = SignalDirection::In) {
    RtlSignal s;
    s.SetDataType(SignalDataType::LogicVector);
    s.width = 8;
    s.signalName = name;
    s.SetDirection(direction);
    s.initValue = "00000000";
    return s;
}

TEST(TlmFunctionRecord, EveryFieldAtItsOffset) {
    TlmFunction f;
    f.functionName = "Read";
    f.returnTypeText = "my_type";
    f.returnTypeIndex = -1;
    f.parameterCount = 20;
    f.asfFileName = "Read.asf";
    f.fsmAssigned = true;
    f.isLibrary = true;
    std::string expected(5458, '\0');
    for (int k : {1, 7, 20}) {
        TlmParameter& p = f.parameters[static_cast<std::size_t>(k)];
        p = {FixedText<80>("unsigned short"),
             6,
             FixedText<80>("&"),
             1,
             FixedText<80>("p"),
             true,
             k == 7};
        p.parameterName = "p" + std::to_string(k);
        std::size_t base = 164 + static_cast<std::size_t>(k) * 248;
        PutFixed(expected, base + 0, 80, "unsigned short");
        Put16(expected, base + 80, 6);
        PutFixed(expected, base + 82, 80, "&");
        Put16(expected, base + 162, 1);
        PutFixed(expected, base + 164, 80, "p" + std::to_string(k));
        Put16(expected, base + 244, 0xFFFF);
        Put16(expected, base + 246, k == 7 ? 0xFFFF : 0);
    }
    PutFixed(expected, 0, 80, "Read");
    PutFixed(expected, 80, 80, "my_type");
    Put16(expected, 160, 0xFFFF); // 162: the reserved Integer stays 0
    Put16(expected, 5372, 20);
    PutFixed(expected, 5374, 80, "Read.asf");
    Put16(expected, 5454, 0xFFFF);
    Put16(expected, 5456, 0xFFFF);
    EXPECT_TRUE(SameBytes(expected, EncodeTlmFunction(f)));

    TlmFunction back;
    ASSERT_TRUE(DecodeTlmFunction(expected, back));
    EXPECT_EQ(back, f);
    EXPECT_TRUE(back.parameters[0].typeText.IsNeverStored());
    EXPECT_FALSE(DecodeTlmFunction(expected.substr(0, 5457), back));

    // Fixed text is cut at its length, padded with blanks and read back trimmed; a field
    // never stored is zero bytes.
    f = TlmFunction{};
    f.functionName = std::string(80, 'n') + "XXXXX";
    f.returnTypeText = "ab";
    f.parameters[1].passMarker = " ";
    const std::string bytes = EncodeTlmFunction(f);
    EXPECT_EQ(bytes.substr(0, 160), std::string(80, 'n') + "ab" + std::string(78, ' '));
    EXPECT_EQ(bytes.substr(164 + 248 + 82, 80), std::string(80, ' '));
    EXPECT_EQ(bytes.substr(5374, 80), std::string(80, '\0'));
    ASSERT_TRUE(DecodeTlmFunction(bytes, back));
    EXPECT_EQ(back.returnTypeText.Text(), "ab");
    EXPECT_EQ(back.parameters[1].passMarker.Text(), "");
}

TEST(RtlSignalRecord, EveryFieldAtItsOffset) {
    RtlSignal s = SampleSignal("data_in", SignalDirection::InOut);
    s.width = 0x1234;
    s.initValue = std::string(130, 'Z') + "cut";
    s.isLibrary = true;

    std::string expected(380, '\0');
    PutFixed(expected, 0, 80, "sc_lv");
    Put16(expected, 80, 1);
    Put16(expected, 82, 0x1234);
    PutFixed(expected, 84, 80, "data_in");
    PutFixed(expected, 164, 80, "sc_inout");
    Put16(expected, 244, 2);
    PutFixed(expected, 246, 130, std::string(130, 'Z'));
    Put16(expected, 378, 0xFFFF);
    EXPECT_TRUE(SameBytes(expected, EncodeRtlSignal(s)));

    Put16(expected, 376, 0xFFFF);
    RtlSignal back;
    ASSERT_TRUE(DecodeRtlSignal(expected, back));
    s.initValue = std::string(130, 'Z');
    s.isClock = true;
    EXPECT_EQ(back, s);
    EXPECT_FALSE(DecodeRtlSignal(expected.substr(0, 379), back));
}

TEST(RtlSignalRecord, StoredIndicesReadAsTypedViews) {
    using Row = std::tuple<int, SignalDataType, SignalDirection>;
    // -1 is a typed entry as stored; any other index outside the lists is read as typed.
    for (auto [index, type, direction] :
         std::vector<Row>{{0, SignalDataType::Logic, SignalDirection::In},
                          {1, SignalDataType::LogicVector, SignalDirection::Out},
                          {2, SignalDataType::Bool, SignalDirection::InOut},
                          {3, SignalDataType::Typed, SignalDirection::Typed},
                          {25, SignalDataType::Typed, SignalDirection::Typed},
                          {-1, SignalDataType::Typed, SignalDirection::Typed},
                          {-7, SignalDataType::Typed, SignalDirection::Typed}}) {
        RtlSignal s;
        s.dataTypeIndex = s.directionIndex = static_cast<std::int16_t>(index);
        EXPECT_EQ(std::pair(s.DataType(), s.Direction()), std::pair(type, direction)) << index;
    }
    // A text names an entry only when it is the entry's name, blanks around it aside.
    EXPECT_EQ(DataTypeOfName(" sc_lv "), SignalDataType::LogicVector);
    EXPECT_EQ(DataTypeOfName("sc_lv<8>"), SignalDataType::Typed);
    EXPECT_EQ(DirectionOfName("sc_inout"), SignalDirection::InOut);
    EXPECT_EQ(DirectionOfName(""), SignalDirection::Typed);
    // Setting Typed stores -1 and keeps the typed text.
    RtlSignal s = SampleSignal("typed");
    s.dataTypeText = "my_bits";
    s.SetDataType(SignalDataType::Typed);
    EXPECT_EQ(s.dataTypeText.Text() + std::to_string(s.dataTypeIndex), "my_bits-1");
}

// Only TransactorView makes prepared tables from stored ones.
static_assert(!std::is_constructible_v<PreparedTables, const ProjectTables&>);

TEST(TableFiles, MissingPartialAndOverfullFiles) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "Input");
    const std::string tlmPath = InputPath(dir.str(), kTlmFunctionFile);
    const std::string rtlPath = InputPath(dir.str(), kRtlSignalFile);

    // A missing file reads as an empty table and is left behind empty.
    TlmFunctionTable functions;
    functions.count = 4;
    ASSERT_TRUE(LoadTlmFunctions(dir.str(), functions));
    EXPECT_EQ(functions.count, 0);
    EXPECT_EQ(std::filesystem::file_size(tlmPath), 0u);
    RtlSignalTable signals;
    signals.count = 3;
    ASSERT_TRUE(LoadRtlSignals(dir.str(), signals));
    EXPECT_EQ(signals.count, 0);
    EXPECT_EQ(std::filesystem::file_size(rtlPath), 0u);

    // A trailing partial record is ignored, and slots above the count keep their content.
    signals[3] = SampleSignal("kept");
    WriteBytes(rtlPath, EncodeRtlSignal(SampleSignal("a")) + EncodeRtlSignal(SampleSignal("b")) +
                            std::string(379, 'x'));
    ASSERT_TRUE(LoadRtlSignals(dir.str(), signals));
    EXPECT_EQ(signals.count, 2);
    EXPECT_EQ(signals[2].signalName.Text() + signals[3].signalName.Text(), "bkept");
    WriteBytes(tlmPath, std::string(5457, 'x'));
    ASSERT_TRUE(LoadTlmFunctions(dir.str(), functions));
    EXPECT_EQ(functions.count, 0);

    // At most 25 records are loaded, and loading never writes.
    std::string tlm, rtl;
    for (int i = 1; i <= 26; ++i) {
        tlm += EncodeTlmFunction(SampleFunction("f" + std::to_string(i)));
        rtl += EncodeRtlSignal(SampleSignal("s" + std::to_string(i)));
    }
    WriteBytes(tlmPath, tlm);
    WriteBytes(rtlPath, rtl);
    ASSERT_TRUE(LoadTlmFunctions(dir.str(), functions));
    ASSERT_TRUE(LoadRtlSignals(dir.str(), signals));
    EXPECT_EQ(functions.count + signals.count, 50);
    EXPECT_EQ(functions[25].functionName.Text() + signals[25].signalName.Text(), "f25s25");
    EXPECT_EQ(std::filesystem::file_size(tlmPath), 26u * 5458);

    // A table file whose folder is missing is an error naming the file.
    TempDir noInput;
    Status s = LoadTlmFunctions(noInput.str(), functions);
    EXPECT_FALSE(s);
    EXPECT_NE(s.message().find(InputPath(noInput.str(), kTlmFunctionFile)), std::string::npos);
}

} // namespace
} // namespace kestrel
