// The two fixed-record tables: byte layout of TlmFunction, TlmParameter and RtlSignal
// against hand-built records, and the loading and saving rules of the table files.
#include "model/ProjectPaths.h"
#include "model/RtlSignal.h"
#include "model/TlmFunction.h"
#include "platform/FileSystem.h"

#include "TestSupport.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace kestrel {
namespace {

using test::ReadBytes;
using test::SameBytes;
using test::TempDir;
using test::WriteBytes;

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
    f.returnTypeText = "unsigned int";
    f.returnTypeIndex = 7;
    f.parameterCount = 1;
    f.parameters[1].typeText = "char";
    f.parameters[1].typeIndex = 2;
    f.parameters[1].passMarker = " ";
    f.parameters[1].passIndex = 0;
    f.parameters[1].parameterName = "data";
    f.parameters[1].isArray = true;
    return f;
}

RtlSignal SampleSignal(std::string_view name) {
    RtlSignal s;
    s.dataTypeText = "sc_lv";
    s.dataTypeIndex = 1;
    s.width = 8;
    s.signalName = name;
    s.directionText = "sc_in";
    s.directionIndex = 0;
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
    for (int k : {1, 7, 20}) {
        TlmParameter& p = f.parameters[static_cast<std::size_t>(k)];
        p.typeText = "unsigned short";
        p.typeIndex = 6;
        p.passMarker = "&";
        p.passIndex = 1;
        p.parameterName = "p" + std::to_string(k);
        p.isConst = true;
        p.isArray = k == 7;
    }

    std::string expected(5458, '\0');
    PutFixed(expected, 0, 80, "Read");
    PutFixed(expected, 80, 80, "my_type");
    Put16(expected, 160, 0xFFFF);
    // 162: the reserved Integer stays 0.
    for (int k : {1, 7, 20}) {
        std::size_t base = 164 + static_cast<std::size_t>(k) * 248;
        PutFixed(expected, base + 0, 80, "unsigned short");
        Put16(expected, base + 80, 6);
        PutFixed(expected, base + 82, 80, "&");
        Put16(expected, base + 162, 1);
        PutFixed(expected, base + 164, 80, "p" + std::to_string(k));
        Put16(expected, base + 244, 0xFFFF);
        Put16(expected, base + 246, k == 7 ? 0xFFFF : 0);
    }
    Put16(expected, 5372, 20);
    PutFixed(expected, 5374, 80, "Read.asf");
    Put16(expected, 5454, 0xFFFF);
    Put16(expected, 5456, 0xFFFF);

    EXPECT_TRUE(SameBytes(expected, EncodeTlmFunction(f)));

    TlmFunction back;
    ASSERT_TRUE(DecodeTlmFunction(expected, back));
    EXPECT_EQ(back.functionName.Text(), "Read");
    EXPECT_EQ(back.returnTypeIndex, -1);
    EXPECT_EQ(back.parameterCount, 20);
    EXPECT_EQ(back.parameters[7].parameterName.Text(), "p7");
    EXPECT_TRUE(back.parameters[7].isArray);
    EXPECT_FALSE(back.parameters[20].isArray);
    EXPECT_TRUE(back.parameters[0].typeText.IsNeverStored());
    EXPECT_EQ(back.asfFileName.Text(), "Read.asf");
    EXPECT_TRUE(back.fsmAssigned);
    EXPECT_TRUE(back.isLibrary);
    EXPECT_EQ(back, f);

    EXPECT_FALSE(DecodeTlmFunction(expected.substr(0, 5457), back));
}

TEST(TlmFunctionRecord, FixedTextIsPaddedCutAndTrimmed) {
    TlmFunction f;
    f.functionName = std::string(85, 'n').replace(80, 5, "XXXXX");
    f.returnTypeText = "ab";
    f.parameters[1].passMarker = " "; // by value
    std::string bytes = EncodeTlmFunction(f);
    EXPECT_EQ(bytes.substr(0, 80), std::string(80, 'n'));
    EXPECT_EQ(bytes.substr(80, 80), "ab" + std::string(78, ' '));
    EXPECT_EQ(bytes.substr(164 + 248 + 82, 80), std::string(80, ' '));
    // Never-stored fixed fields are zero bytes, not blanks.
    EXPECT_EQ(bytes.substr(5374, 80), std::string(80, '\0'));

    TlmFunction back;
    ASSERT_TRUE(DecodeTlmFunction(bytes, back));
    EXPECT_EQ(back.returnTypeText.Text(), "ab");
    EXPECT_EQ(back.parameters[1].passMarker.Text(), "");
}

TEST(RtlSignalRecord, EveryFieldAtItsOffset) {
    RtlSignal s;
    s.dataTypeText = "sc_lv";
    s.dataTypeIndex = 1;
    s.width = 0x1234;
    s.signalName = "data_in";
    s.directionText = "sc_inout";
    s.directionIndex = 2;
    s.initValue = std::string(130, 'Z') + "cut";
    s.isClock = false;
    s.isLibrary = true;

    std::string expected(380, '\0');
    PutFixed(expected, 0, 80, "sc_lv");
    Put16(expected, 80, 1);
    Put16(expected, 82, 0x1234);
    PutFixed(expected, 84, 80, "data_in");
    PutFixed(expected, 164, 80, "sc_inout");
    Put16(expected, 244, 2);
    PutFixed(expected, 246, 130, std::string(130, 'Z'));
    Put16(expected, 376, 0);
    Put16(expected, 378, 0xFFFF);
    EXPECT_TRUE(SameBytes(expected, EncodeRtlSignal(s)));

    Put16(expected, 376, 0xFFFF);
    RtlSignal back;
    ASSERT_TRUE(DecodeRtlSignal(expected, back));
    EXPECT_EQ(back.signalName.Text(), "data_in");
    EXPECT_EQ(back.width, 0x1234);
    EXPECT_EQ(back.directionIndex, 2);
    EXPECT_EQ(back.initValue.Text(), std::string(130, 'Z'));
    EXPECT_TRUE(back.isClock);
    EXPECT_TRUE(back.isLibrary);
    EXPECT_FALSE(DecodeRtlSignal(expected.substr(0, 379), back));
}

TEST(TableFiles, MissingEmptyAndPartialFiles) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "Input");
    const std::string tlmPath = InputPath(dir.str(), kTlmFunctionFile);
    const std::string rtlPath = InputPath(dir.str(), kRtlSignalFile);

    // A missing file reads as an empty table and is left behind empty.
    TlmFunctionTable functions;
    functions.count = 4;
    ASSERT_TRUE(LoadTlmFunctions(dir.str(), functions));
    EXPECT_EQ(functions.count, 0);
    ASSERT_TRUE(std::filesystem::exists(tlmPath));
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
    EXPECT_EQ(signals[1].signalName.Text(), "a");
    EXPECT_EQ(signals[2].signalName.Text(), "b");
    EXPECT_EQ(signals[3].signalName.Text(), "kept");

    WriteBytes(tlmPath, std::string(5457, 'x'));
    ASSERT_TRUE(LoadTlmFunctions(dir.str(), functions));
    EXPECT_EQ(functions.count, 0);

    // A table file whose folder is missing is an error naming the file.
    TempDir noInput;
    Status s = LoadTlmFunctions(noInput.str(), functions);
    EXPECT_FALSE(s);
    EXPECT_NE(s.message().find(InputPath(noInput.str(), kTlmFunctionFile)), std::string::npos);
}

TEST(TableFiles, AtMostTwentyFiveRecordsAreLoaded) {
    TempDir dir;
    const std::string path = dir / "funcs.dat";
    std::string bytes;
    for (int i = 1; i <= 26; ++i)
        bytes += EncodeTlmFunction(SampleFunction("f" + std::to_string(i)));

    TlmFunctionTable table;
    WriteBytes(path, bytes.substr(0, 25 * 5458));
    ASSERT_TRUE(LoadTlmFunctionsFrom(path, table));
    EXPECT_EQ(table.count, 25);
    EXPECT_EQ(table[25].functionName.Text(), "f25");

    WriteBytes(path, bytes);
    ASSERT_TRUE(LoadTlmFunctionsFrom(path, table));
    EXPECT_EQ(table.count, 25);
    EXPECT_EQ(table[1].functionName.Text(), "f1");
    EXPECT_EQ(table[25].functionName.Text(), "f25");
    EXPECT_EQ(std::filesystem::file_size(path), 26u * 5458); // loading never writes

    RtlSignalTable signals;
    std::string sigBytes;
    for (int i = 1; i <= 26; ++i)
        sigBytes += EncodeRtlSignal(SampleSignal("s" + std::to_string(i)));
    WriteBytes(path, sigBytes);
    ASSERT_TRUE(LoadRtlSignalsFrom(path, signals));
    EXPECT_EQ(signals.count, 25);
    EXPECT_EQ(signals[25].signalName.Text(), "s25");
}

TEST(TableFiles, SaveReplacesTheFileWithCountRecords) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "Input");
    const std::string path = InputPath(dir.str(), kTlmFunctionFile);

    TlmFunctionTable table;
    for (int i = 1; i <= 5; ++i) table[i] = SampleFunction("f" + std::to_string(i));
    table.count = 5;
    ASSERT_TRUE(SaveTlmFunctions(dir.str(), table));
    EXPECT_EQ(std::filesystem::file_size(path), 5u * 5458);

    table.count = 3;
    ASSERT_TRUE(SaveTlmFunctions(dir.str(), table));
    std::string saved = ReadBytes(path);
    ASSERT_EQ(saved.size(), 3u * 5458);
    EXPECT_EQ(saved.substr(2 * 5458), EncodeTlmFunction(SampleFunction("f3")));

    // "ab" goes out padded and comes back trimmed; the never-stored AsfFileName stays zero.
    table[1].functionName = "ab";
    ASSERT_TRUE(SaveTlmFunctions(dir.str(), table));
    saved = ReadBytes(path);
    EXPECT_EQ(saved.substr(0, 80), "ab" + std::string(78, ' '));
    TlmFunctionTable loaded;
    ASSERT_TRUE(LoadTlmFunctions(dir.str(), loaded));
    EXPECT_EQ(loaded.count, 3);
    EXPECT_EQ(loaded[1].functionName.Text(), "ab");
    ASSERT_TRUE(SaveTlmFunctions(dir.str(), loaded));
    EXPECT_EQ(ReadBytes(path).substr(5374, 80), std::string(80, '\0'));
    EXPECT_TRUE(SameBytes(saved, ReadBytes(path)));

    table.count = 0;
    ASSERT_TRUE(SaveTlmFunctions(dir.str(), table));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);

    RtlSignalTable signals;
    signals[1] = SampleSignal("clk");
    signals[1].isClock = true;
    signals.count = 1;
    ASSERT_TRUE(SaveRtlSignals(dir.str(), signals));
    EXPECT_TRUE(
        SameBytes(EncodeRtlSignal(signals[1]), ReadBytes(InputPath(dir.str(), kRtlSignalFile))));
}

} // namespace
} // namespace kestrel
