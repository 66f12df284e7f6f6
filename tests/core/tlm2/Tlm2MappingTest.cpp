// The socket mapping: proposals and refusals from declarations, the kept mapping as the
// starting point, tlm2.json read and written (damaged files named), the module a mapping
// resolves to, its file beside the transactor header, and Generate writing it again only for
// a project with a mapping.
#include "tlm2/Tlm2Mapping.h"

#include "generate/Generate.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"

#include "CodegenSamples.h"
#include "TestSupport.h"

#include <map>
#include <sstream>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// "Write(unsigned char address, unsigned char data, unsigned int& waits)" as a declaration;
// "const", "&" and "[]" as written.
TlmFunction Declared(const std::string& signature) {
    TlmFunction f;
    const std::size_t open = signature.find('(');
    f.functionName = signature.substr(0, open);
    std::stringstream list(signature.substr(open + 1, signature.size() - open - 2));
    for (std::string text; std::getline(list, text, ',');) {
        TlmParameter& p = f.parameters[static_cast<std::size_t>(++f.parameterCount)];
        auto take = [&text](const std::string& noise) {
            const std::size_t at = text.find(noise);
            if (at != std::string::npos) text.erase(at, noise.size());
            return at != std::string::npos;
        };
        p.isConst = take("const ");
        p.isArray = take("[]");
        p.passMarker = take("&") ? "&" : " ";
        const std::size_t space = Trim(text).rfind(' ');
        p.typeText = Trim(text).substr(0, space);
        p.parameterName = Trim(text).substr(space + 1);
    }
    return f;
}

TlmFunctionTable Functions(std::initializer_list<std::string> signatures) {
    TlmFunctionTable table;
    for (const std::string& signature : signatures) table[++table.count] = Declared(signature);
    return table;
}

const char* const kWrite = "Write(unsigned char address, unsigned char data, unsigned int& waits)";
const char* const kRead = "Read(unsigned char address, unsigned char& data, unsigned int& waits)";

// "--address=a" and the like as a request.
Tlm2Request Request(const std::vector<std::string>& flags) {
    Tlm2Request r;
    const std::map<std::string, std::optional<std::string>*> fields = {
        {"write", &r.write}, {"read", &r.read},     {"address", &r.address},
        {"data", &r.data},   {"strobe", &r.strobe}, {"response", &r.response},
        {"base", &r.base},   {"size", &r.size}};
    for (const std::string& flag : flags) {
        const std::size_t equals = flag.find('=');
        const std::string name = flag.substr(2, equals - 2), value = flag.substr(equals + 1);
        if (name == "fixed")
            r.fixed.push_back(value);
        else
            *fields.at(name) = value;
    }
    return r;
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

TEST(Tlm2Choice, ProposesTheMemReqAckMapping) {
    const Tlm2Choice choice = ChooseTlm2Mapping(Functions({kWrite, kRead}), {});
    ASSERT_TRUE(choice.mapping) << Lines(choice.problems);
    EXPECT_EQ(Lines(choice.notes), "write: Write (data by value)\n"
                                   "read: Read (data by reference)\n"
                                   "address: address\n"
                                   "data: data\n"
                                   "strobe: none\n"
                                   "response: none\n"
                                   "base: 0x0\n"
                                   "size: 0x100 (the 8-bit address range)\n"
                                   "dropped: waits of Write, waits of Read (outputs the socket "
                                   "does not read)\n");
    const Tlm2Mapping expected{
        "Write", "Read", {"address", "data", "", ""}, {"address", "data", "", ""}, {}, 0, 0};
    EXPECT_EQ(*choice.mapping, expected);
}

TEST(Tlm2Choice, ProposesStrobeResponseAndSeparateNames) {
    const Tlm2Choice choice = ChooseTlm2Mapping(
        Functions({"Idle(int cycles)",
                   "Rd(unsigned int ARADDR, unsigned short& rdata, unsigned char& rresp)",
                   "Wr(unsigned int awaddr, unsigned short wdata, unsigned char wstrb, "
                   "int& bresp)"}),
        Request({"--base=0x1000", "--size=4096"}));
    ASSERT_TRUE(choice.mapping) << Lines(choice.problems);
    EXPECT_EQ(Lines(choice.notes), "write: Wr (data by value)\n"
                                   "read: Rd (data by reference)\n"
                                   "address: awaddr (Wr), ARADDR (Rd)\n"
                                   "data: wdata (Wr), rdata (Rd)\n"
                                   "strobe: wstrb\n"
                                   "response: bresp (Wr), rresp (Rd)\n");
    EXPECT_EQ(choice.mapping->base, 0x1000u);
    EXPECT_EQ(choice.mapping->size, 4096u);
}

// The names a project made from a bus slave's Verilog gives its parameters.
TEST(Tlm2Choice, ProposesTheBusMastersParameters) {
    const Tlm2Choice choice = ChooseTlm2Mapping(
        Functions({"write(unsigned short address, unsigned int data, unsigned char strobe, "
                   "unsigned char& response)",
                   "read(unsigned short address, unsigned int& data, unsigned char& response)"}),
        {});
    ASSERT_TRUE(choice.mapping) << Lines(choice.problems);
    EXPECT_EQ(choice.mapping->write, (Tlm2Roles{"address", "data", "strobe", "response"}));
    EXPECT_EQ(choice.mapping->read, (Tlm2Roles{"address", "data", "", "response"}));
}

struct RefusalCase {
    std::vector<std::string> declarations;
    std::vector<std::string> flags;
    std::string problems;
};

TEST(Tlm2Choice, RefusesWithTheFlagThatChooses) {
    const std::string addr2 = "W(unsigned char addr, unsigned char base_addr, unsigned char data)";
    const std::string rd = "R(unsigned char addr, unsigned char& data)";
    const RefusalCase cases[] = {
        {{addr2, rd},
         {},
         "--address: both addr and base_addr of W could carry the address; choose one with "
         "--address.\n"},
        {{addr2, rd},
         {"--address=addr"},
         "--fixed: the parameter base_addr of W is passed by value and the socket has no value "
         "for it; give it one with --fixed base_addr=VALUE.\n"},
        {{addr2, rd},
         {"--address=addr", "--fixed=base_addr=256", "--fixed=nothing=1", "--base=12x"},
         "--base: 12x is not a number; give it in decimal or as 0x hex.\n"},
        {{addr2, rd},
         {"--address=addr", "--fixed=base_addr=256", "--fixed=nothing=1"},
         "--fixed: the value 256 of base_addr does not fit its type unsigned char (a whole number "
         "in decimal or 0x hex within its range).\n"
         "--fixed: nothing=1 names no parameter of W or R that needs a fixed value.\n"},
        {{kWrite},
         {},
         "--read: no function can be the bus read: it needs an address parameter passed by value "
         "(addr, address or a name ending in addr) and a data parameter passed by reference "
         "(data or a name ending in data); choose one with --read.\n"},
        {{"MemWrite(int addr, int data)", "RegWrite(int addr, int data)", kRead},
         {},
         "--write: both MemWrite and RegWrite could be the write; choose one with --write.\n"},
        {{kWrite, kRead},
         {"--write=Nope", "--read=Read"},
         "--write: the write function Nope is not declared.\n"},
        {{kWrite, kRead},
         {"--write=Read", "--read=Read"},
         "--read: the write and the read are both Read; they must be two functions.\n"},
        {{kWrite, kRead},
         {"--address=waits"},
         "--address: the address parameter waits of Write is passed by reference; the address "
         "must be passed by value.\n"
         "--address: the address parameter waits of Read is passed by reference; the address "
         "must be passed by value.\n"},
        {{kWrite, "Read(unsigned char address, unsigned short& data)"},
         {},
         "--data: the data of Write (data, unsigned char) and of Read (data, unsigned short) "
         "differ in width; they must be the same.\n"},
        {{"Write(unsigned char addr, unsigned char data[])", rd},
         {"--write=Write", "--data=data"},
         "--data: the data parameter data of Write is an array; the socket passes single values "
         "only.\n"},
        {{"Write(unsigned char addr, int data, bool be)", "Read(unsigned char addr, int& data)"},
         {},
         "--strobe: the strobe parameter be of Write (bool) has fewer bits than the 4 byte lanes "
         "of its data.\n"},
        {{kWrite, kRead},
         {"--response=,address"},
         "--response: the response parameter address of Read is passed by value; the response "
         "must be passed by reference (not const), for the function to return it.\n"
         "--response: the parameter address of Read cannot carry both the address and the "
         "response.\n"},
        {{kWrite, kRead},
         {"--size=0x200"},
         "--size: the size 0x200 is more than the address parameters reach (0x100 bytes with 8 "
         "bits).\n"},
        {{"Write(unsigned int addr, int data)", "Read(unsigned int addr, int& data)"},
         {"--base=0xFFFFFF80"},
         "--base: the target from 0xFFFFFF80 for 0x100000000 bytes ends beyond the 32-bit "
         "address space (0x100000000).\n"},
        {{kWrite, kRead}, {"--size=0"}, "--size: the target must have at least 1 byte.\n"},
        {{kWrite, kRead},
         {"--fixed=waits"},
         "--fixed: waits: give a parameter and its value as NAME=VALUE.\n"},
    };
    for (const RefusalCase& c : cases) {
        TlmFunctionTable functions;
        for (const std::string& d : c.declarations) functions[++functions.count] = Declared(d);
        const Tlm2Choice choice = ChooseTlm2Mapping(functions, Request(c.flags));
        EXPECT_FALSE(choice.mapping) << c.problems;
        EXPECT_EQ(Lines(choice.problems), c.problems);
    }
}

TEST(Tlm2Choice, FixedValuesAndTheKeptMapping) {
    const TlmFunctionTable functions =
        Functions({"Write(unsigned char address, unsigned char data, char mode, bool & busy)",
                   "Read(unsigned char address, unsigned char& data, const short & mode)"});
    const Tlm2Choice first = ChooseTlm2Mapping(functions, Request({"--fixed=mode=-0x80"}));
    ASSERT_TRUE(first.mapping) << Lines(first.problems);
    EXPECT_EQ(first.mapping->fixed,
              (std::vector<std::pair<std::string, std::string>>{{"mode", "-0x80"}}));

    // Flags change only what they name: nothing is proposed or noted again.
    const Tlm2Choice second =
        ChooseTlm2Mapping(functions, Request({"--base=16", "--size=0x10"}), &*first.mapping);
    ASSERT_TRUE(second.mapping) << Lines(second.problems);
    EXPECT_EQ(Lines(second.notes), "dropped: busy of Write (outputs the socket does not read)\n");
    Tlm2Mapping expected = *first.mapping;
    expected.base = 16;
    expected.size = 16;
    EXPECT_EQ(*second.mapping, expected);

    // A kept value no parameter needs any more is dropped, and said so.
    const Tlm2Choice third = ChooseTlm2Mapping(
        Functions({kWrite, kRead, "Poke(unsigned char address, unsigned char data)"}),
        Request({"--write=Poke"}), &*second.mapping);
    ASSERT_TRUE(third.mapping) << Lines(third.problems);
    EXPECT_EQ(Lines(third.notes), "address: address (Poke)\n"
                                  "data: data (Poke)\n"
                                  "strobe: none\n"
                                  "response: none (Poke)\n"
                                  "fixed: mode=-0x80 dropped (no parameter needs it now)\n"
                                  "dropped: waits of Read (outputs the socket does not read)\n");
    EXPECT_TRUE(third.mapping->fixed.empty());
}

Tlm2Mapping SampleMapping() {
    return {"Write",
            "Read",
            {"address", "data", "strb", ""},
            {"address", "data", "", "resp"},
            {{"mode", "0x1F"}, {"tag", "true"}},
            0x40,
            0x20};
}

TEST(Tlm2File, RoundTripAndWhatItLooksLike) {
    test::TempDir dir;
    std::optional<Tlm2Mapping> loaded = SampleMapping();
    ASSERT_TRUE(LoadTlm2Mapping(dir.str(), loaded).ok());
    EXPECT_FALSE(loaded) << "a missing file is no mapping";

    ASSERT_TRUE(SaveTlm2Mapping(dir.str(), SampleMapping()).ok());
    EXPECT_EQ(test::ReadBytes(dir / "tlm2.json"), R"({
  "write": {
    "function": "Write",
    "address": "address",
    "data": "data",
    "strobe": "strb",
    "response": ""
  },
  "read": {
    "function": "Read",
    "address": "address",
    "data": "data",
    "response": "resp"
  },
  "fixed": {
    "mode": "0x1F",
    "tag": "true"
  },
  "base": "0x40",
  "size": "0x20"
}
)");
    ASSERT_TRUE(LoadTlm2Mapping(dir.str(), loaded).ok());
    EXPECT_EQ(loaded, SampleMapping());

    // As a user may write it: numbers as numbers, optional fields left out.
    test::WriteBytes(dir / "tlm2.json",
                     R"({"write": {"function": " W ", "address": "a", "data": "d"},
                         "read": {"function": "R", "address": "a", "data": "d"},
                         "fixed": {"m": 3}, "base": 256})");
    ASSERT_TRUE(LoadTlm2Mapping(dir.str(), loaded).ok());
    EXPECT_EQ(loaded, (Tlm2Mapping{
                          "W", "R", {"a", "d", "", ""}, {"a", "d", "", ""}, {{"m", "3"}}, 256, 0}));
}

TEST(Tlm2File, DamagedFilesAreErrorsNamingTheFile) {
    test::TempDir dir;
    const std::string file = dir / "tlm2.json";
    const std::string sides = R"("write": {"function": "W", "address": "a", "data": "d"},
                                  "read": {"function": "R", "address": "a", "data": "d"})";
    const std::pair<std::string, std::string> cases[] = {
        {"[1, 2]", "it is not a JSON object"},
        {"{\"write\": 1}", "\"write\" is missing or not an object"},
        {"{\"write\": {\"function\": 7}}", "\"write\": \"function\" is not a text"},
        {"{" + sides + ", \"base\": \"zz\"}", "\"base\" is not a number (decimal or 0x hex)"},
        {"{" + sides + ", \"size\": -4}", "\"size\" is not a number (decimal or 0x hex)"},
        {R"({"write": {"function": "W\u0001"}})", "\"write\": \"function\" holds a character names "
                                                  "cannot have"},
        {"{" + sides + ", \"fixed\": {\"m\": [1]}}",
         "\"fixed\": the value of \"m\" is not a text or a number"},
        {"{" + sides + ", \"fixed\": {\"\xE2\x82\xAC\xE2\x80\xA8\": \"1\"}}",
         "\"fixed\" names a parameter with a character names cannot have"},
    };
    for (const auto& [bytes, why] : cases) {
        test::WriteBytes(file, bytes);
        std::optional<Tlm2Mapping> loaded;
        const Status status = LoadTlm2Mapping(dir.str(), loaded);
        EXPECT_EQ(status.message(), "\"" + file + "\" is damaged: " + why) << bytes;
        EXPECT_FALSE(loaded);
    }
    std::optional<Tlm2Mapping> loaded;
    for (const char* bytes : {"", "{\"a\": \"\xFF\"}", "{\"write\": "}) {
        test::WriteBytes(file, bytes);
        EXPECT_TRUE(
            LoadTlm2Mapping(dir.str(), loaded)
                .message()
                .starts_with("\"" + file +
                             "\" is damaged: it is not JSON (parse error at line 1, column "));
    }
    fs::remove(file);
    fs::create_directory(file);
    EXPECT_FALSE(LoadTlm2Mapping(dir.str(), loaded).ok());
}

ProjectTables MemReqAckTables(const std::string& headerPath) {
    ProjectTables tables;
    tables.functions = Functions({kWrite, kRead});
    tables.signals[1] = sample::Signal("req", 0, 1, 0, "0");
    tables.signals[2] = sample::Signal(" clk ", 2, 1, 0, "0", true);
    tables.signals.count = 2;
    tables.options.clockPositiveEdge = false;
    tables.settings.transactorClassName = "clsMem";
    tables.settings.transactorHeaderPath = headerPath;
    return tables;
}

TEST(Tlm2Resolution, TheModuleOfAMappingWrittenBesideTheHeader) {
    test::TempDir dir;
    fs::create_directories(dir.path() / "Output");
    ProjectTables tables = MemReqAckTables("Output/Mem.hpp");
    tables.functions[1] =
        Declared("Write(unsigned char address, unsigned char data, const int & tag, int& waits)");
    Tlm2Mapping mapping =
        *ChooseTlm2Mapping(tables.functions, Request({"--fixed=tag=0x10"})).mapping;
    const Tlm2WriteResult result = WriteTlm2Module("Mem", dir.str(), tables, mapping, "me");
    ASSERT_TRUE(result.ok()) << result.status.message() << Lines(result.problems);
    EXPECT_EQ(result.written, dir / "Output/Mem_tlm2.hpp");
    Tlm2Module module;
    ASSERT_EQ(Lines(ResolveTlm2Module("Mem", tables, mapping, module)), "");
    module.writer = "me";
    EXPECT_EQ(test::ReadBytes(result.written), Tlm2ModuleText(module));
    EXPECT_EQ(std::tuple(module.className, module.transactorClass, module.transactorHeader,
                         module.fileName, module.clockName, module.clockOnPositiveEdge),
              std::tuple("clsMem_tlm2", "clsMem", "Mem.hpp", "Mem_tlm2.hpp", "clk", false));
    EXPECT_EQ(std::tuple(module.dataBits, module.addressBits, module.hasStrobe, module.size),
              std::tuple(8, 8, false, std::uint64_t{256}));
    std::string write;
    for (const Tlm2Argument& a : module.write.arguments)
        write += a.name + ":" + a.cppType + ":" + std::to_string(static_cast<int>(a.role)) + ":" +
                 (a.byReference ? "&" : "") + (a.isConst ? "c" : "") + a.fixedValue + " ";
    EXPECT_EQ(write,
              "address:unsigned char:0: data:unsigned char:1: tag:int:4:&c16 waits:int:5:& ");
    EXPECT_EQ(module.read.arguments.size(), 3u);

    // A mapping the declarations no longer fit, and a project without a clock port.
    mapping.read.address = "addr";
    tables.signals.count = 1;
    EXPECT_EQ(Lines(WriteTlm2Module("Mem", dir.str(), tables, mapping, "me").problems),
              "The socket mapping (tlm2.json) no longer fits: the address parameter addr is not a "
              "parameter of Read; change it with kestrel-cli tlm2 --address.\n"
              "The project has no clock port; the socket's module runs the transactor's "
              "functions on its clock (mark one RTL port as the clock).\n");
    // A port named like the module's own socket would be hidden behind it.
    tables.signals[1].signalName = "socket";
    EXPECT_NE(Lines(ResolveTlm2Module("Mem", tables, mapping, module))
                  .find("The RTL port socket has the name of a member of the socket's module "
                        "clsMem_tlm2; rename the port"),
              std::string::npos);
}

// A template-method project with the MemReqAck declarations in `dir`/Proj.
std::string MakeProject(const test::TempDir& dir) {
    const std::string folder = dir / "Proj";
    for (const char* sub : {"Input", "Output", "Temp"})
        fs::create_directories(fs::path(folder) / sub);
    ProjectTables tables = MemReqAckTables("");
    tables.options.generationMethod = kMethodTemplate;
    sample::SetPaths(tables.settings, folder + "/Output");
    EXPECT_TRUE(sample::SaveSampleProject(folder, tables, 2));
    return folder;
}

TEST(Tlm2Generate, WritesTheModuleOnlyForAProjectWithAMapping) {
    test::TempDir dir;
    const std::string folder = MakeProject(dir);
    const FixedClock clock(LocalDateTime{2026, 12, 4, 9, 51, 15, 5});
    GenerationSession session;
    GenerateProjectResult result = GenerateProject(folder + "/Proj.tp", session, clock, nullptr);
    ASSERT_TRUE(result.status.ok());
    EXPECT_EQ(result.errorCount, 0);
    EXPECT_TRUE(result.socket.written.empty());
    EXPECT_TRUE(result.socket.problems.empty());
    const std::set<std::string> without = test::FilesUnder(folder);
    const std::string log = test::ReadBytes(fs::path(folder) / "Proj.log");

    const TlmFunctionTable functions = Functions({kWrite, kRead});
    ASSERT_TRUE(SaveTlm2Mapping(folder, *ChooseTlm2Mapping(functions, {}).mapping).ok());
    result = GenerateProject(folder + "/Proj.tp", session, clock, nullptr);
    EXPECT_EQ(result.socket.written, folder + "/Output/Tran_tlm2.h");
    EXPECT_TRUE(result.socket.problems.empty());
    std::set<std::string> with = test::FilesUnder(folder);
    with.erase("Output/Tran_tlm2.h");
    with.erase("tlm2.json");
    EXPECT_EQ(with, without);
    EXPECT_EQ(test::ReadBytes(fs::path(folder) / "Proj.log"), log) << "the log says nothing";

    test::WriteBytes(fs::path(folder) / "tlm2.json", "{");
    result = GenerateProject(folder + "/Proj.tp", session, clock, nullptr);
    EXPECT_EQ(result.errorCount, 0);
    ASSERT_EQ(result.socket.problems.size(), 1u);
    EXPECT_NE(result.socket.problems[0].find("tlm2.json\" is damaged"), std::string::npos);
}

} // namespace
} // namespace kestrel
