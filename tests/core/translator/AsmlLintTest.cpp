// The warnings for AsmL that translates but does not compile or behave: each rule on the
// line that breaks it with the form to write instead, the correct forms that must stay
// silent, the section's end, and the warnings of the function and port declarations.
#include "translator/AsmlLint.h"
#include "codegen/DeclarationHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

// Function 1 is Read (count, buf as an array), as the transactor sees its ports: ack and
// rdata come from the RTL design, addr, req and en go to it, clk is the clock.
PreparedTables LintTables() {
    PreparedTables tables;
    TlmFunction& read = tables.functions[1];
    read.functionName = "Read";
    read.returnTypeText = "void";
    read.parameters[1].parameterName = "count";
    read.parameters[2].parameterName = "buf";
    read.parameters[2].isArray = true;
    read.parameterCount = 2;
    tables.functions.count = 1;
    struct Port {
        const char* name;
        int type;
        int direction;
    };
    const Port ports[] = {{"ack", 0, 0}, {"rdata", 1, 0}, {"addr", 1, 1}, {"req", 0, 1},
                          {"en", 2, 1},  {"flag", 2, 0},  {"clk", 2, 0}};
    int slot = 0;
    for (const Port& port : ports) {
        RtlSignal& signal = tables.signals[++slot];
        signal.signalName = port.name;
        signal.dataTypeIndex = static_cast<std::int16_t>(port.type);
        signal.directionIndex = static_cast<std::int16_t>(port.direction);
        signal.isClock = std::string_view(port.name) == "clk";
    }
    tables.signals.count = static_cast<std::int16_t>(slot);
    return tables;
}

// The warnings of the lines as the section of Read (line 0 is its namespace line).
std::vector<AsmlWarning> Lint(const std::vector<std::string>& body) {
    std::vector<std::string> text = {"namespace nsRead"};
    text.insert(text.end(), body.begin(), body.end());
    std::vector<std::string_view> lines(text.begin(), text.end());
    return LintSection(lines, 1, LintTables(), 1);
}

// As Lint, with rdata (from the RTL) 40 bits wide and addr (to it) 100.
std::vector<AsmlWarning> LintWide(const std::vector<std::string>& body) {
    PreparedTables tables = LintTables();
    tables.signals[2].width = 40;
    tables.signals[3].width = 100;
    std::vector<std::string> text = {"namespace nsRead"};
    text.insert(text.end(), body.begin(), body.end());
    std::vector<std::string_view> lines(text.begin(), text.end());
    return LintSection(lines, 1, tables, 1);
}

std::string Listed(const std::vector<AsmlWarning>& warnings) {
    std::string text;
    for (const AsmlWarning& w : warnings) text += std::to_string(w.line) + ": " + w.message + "\n";
    return text;
}

struct Case {
    const char* rule;
    std::vector<std::string> body;
    std::size_t line;   // of the one warning, counting the namespace line as 0
    const char* shown;  // in the message: what the translator makes of it
    const char* insead; // in the message: what to write instead
};

TEST(AsmlLint, EachRuleWarnsOnceAtItsLineWithTheFormToWrite) {
    const Case cases[] = {
        {"step until",
         {"  step until ack = LOGIC_1", "    skip"},
         1,
         "\"while !( ... )\"",
         "write step while not ( ack = LOGIC_1 )"},
        {"match on a logic port",
         {"  step", "    match ack", "      LOGIC_1 :", "        skip"},
         2,
         "\"switch ( ack.read () )\"",
         "write if ack = LOGIC_1 then ... elseif ... else"},
        {"match on a Logic variable in parentheses",
         {"  var v as Logic = LOGIC_0", "  step", "    match ( ( v ) )",
          "      LOGIC_1 :", "        skip"},
         3,
         "\"switch ( Read_v.read () )\"",
         "write if v = LOGIC_1 then"},
        {"match on a vector port",
         {"  step", "    match rdata", "      0 :", "        skip"},
         2,
         "an sc_lv port",
         "or match toInt ( rdata ) with number labels"},
        {"var of an unmapped type",
         {"  var s as String"},
         1,
         "\"sc_signal <> Read_s ;\"",
         "use one of Boolean, Byte, Short, Integer, Long, Char, Logic, Lv_2, Lv_4, Lv_8, Lv_16, "
         "Lv_32, Lv_64 or an enumeration declared above"},
        {"vector of an unmapped width",
         {"  var w as Lv_3 = \"000\""},
         1,
         "does not map Lv_3",
         "(Lv_4 for 3 bits)"},
        {"var without a type", {"  var w"}, 1, "var w has no type", "use one of Boolean"},
        {"const of an unmapped type",
         {"  const K as Real = 1"},
         1,
         "\"const  Read_K = ... ;\"",
         "use one of Boolean"},
        {"enumeration used before it is declared",
         {"  var p as Phase", "  enum Phase", "    IDLE"},
         1,
         "does not map Phase",
         "or an enumeration declared above"},
        {"vector read but never driven",
         {"  var v as Lv_8", "  step", "    count := toInt ( v )"},
         3,
         "it reads X",
         "declare it with a value: var v as Lv_8 = \"00000000\""},
        {"bit read as a call",
         {"  step", "    if rdata ( 3 ) = LOGIC_1 then", "      skip"},
         2,
         "\"rdata.read () ( 3 )\"",
         "write rdata ( 3 , 3 ) for one bit"},
        {"bit of a vector variable read as a call",
         {"  var v as Lv_4 = \"0000\"", "  step", "    req := v ( count + 1 )"},
         3,
         "\"Read_v.read () ( count + 1 )\"",
         "write v ( count + 1 , count + 1 )"},
        {"bit written",
         {"  step", "    addr ( 2 ) := LOGIC_1"},
         2,
         "\"addr ( 2 ).write( ... )\"",
         "a port or variable is written whole: addr := ..."},
        {"otherwise with a colon",
         {"  step", "    match count", "      0 :", "        skip",
          "      otherwise :", "        skip"},
         5,
         "\"case otherwise :\"",
         "write otherwise without the colon"},
        {"case label with its statement",
         {"  step", "    match count", "      0 : count := 1"},
         3,
         "neither is translated",
         "write \"0 :\" alone and the statement on its own line below it, indented deeper"},
        {"otherwise with its statement",
         {"  step", "    match count", "      otherwise : count := 1"},
         3,
         "the statement \"count := 1\"",
         "write \"otherwise\" alone"},
        {"comment behind an assignment",
         {"  step", "    count := 1   // one  "},
         2,
         "the comment \"// one\"",
         "put the comment on a line of its own"},
        {"comment behind a var with a value",
         {"  var n as Integer = 0 // start"},
         1,
         "\"// start\"",
         "put the comment on a line of its own"},
        {"comment behind a condition",
         {"  step", "    if count = 1 then // one", "      skip"},
         2,
         "\"// one\"",
         "put the comment on a line of its own"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        std::vector<AsmlWarning> warnings = Lint(c.body);
        ASSERT_EQ(warnings.size(), 1u) << Listed(warnings);
        EXPECT_EQ(warnings[0].line, c.line);
        EXPECT_NE(warnings[0].message.find(c.shown), std::string::npos) << warnings[0].message;
        EXPECT_NE(warnings[0].message.find(c.insead), std::string::npos) << warnings[0].message;
    }
}

TEST(AsmlLint, ATabInTheIndentationIsShownAsBackslashT) {
    std::vector<AsmlWarning> warnings = Lint({"  step", "  \t  count := 1", "\t"});
    ASSERT_EQ(warnings.size(), 2u) << Listed(warnings);
    EXPECT_EQ(warnings[0].line, 2u);
    EXPECT_EQ(warnings[0].message,
              "the indentation holds a tab (\"\\t  count := 1\"): only blanks indent, and the tab "
              "is read as part of the first word, so the line is not translated as written; "
              "indent with blanks only");
    EXPECT_EQ(warnings[1].line, 3u);
    EXPECT_NE(warnings[1].message.find("(\"\\t\")"), std::string::npos);
    // A tab after the first word is no indentation.
    EXPECT_TRUE(Lint({"  step", "    // a\tcomment"}).empty());
}

// The forms the warnings point to, and near misses of every rule, translate into code
// that compiles: none of them warns.
TEST(AsmlLint, TheFormsToWriteInsteadStaySilent) {
    const std::vector<std::string> body = {
        "  enum Phase",
        "    IDLE",
        "    BUSY",
        "  var p as Phase = IDLE",
        "  var n as Integer = 0",
        "  var b as Boolean",
        "  var c as Char",
        "  var l as Logic",
        "  var v as Lv_8 = \"00000000\"",
        "  var w as Lv_16",
        "  var u as Lv_64",
        "  const K as Byte = 3",
        "  // a comment on a line of its own",
        "  SetClockSignal ( clk , true ) // the clock",
        "  step while not ( ack = LOGIC_1 )",
        "    n := n + 1",
        "  step",
        "    match n",
        "      0 :",
        "        n := 1",
        "      otherwise",
        "        n := 2",
        "    match ( p )",
        "      IDLE :",
        "        skip",
        "    match flag",
        "      true :",
        "        skip",
        "    match toInt ( rdata )",
        "      0 :",
        "        skip",
        "  step",
        "    if rdata ( 3 , 3 ) = LOGIC_1 then",
        "      req := l",
        "    else // the rest",
        "      count := toInt ( v )",
        "    buf ( 2 ) := toInt ( w )",
        "    w := rdata",
        "    addr := toLv ( count )",
        "    skip // nothing",
    };
    EXPECT_EQ(Listed(Lint(body)), "");
}

// Wide vectors: toInt and toLv go through an unsigned int, so on a vector wider than 32
// bits they lose the bits above bit 31, read whole or assigned whole (ranges and narrow
// vectors are fine); and a range of numbers must stay within the vector's bits (one of
// names is not checked).
TEST(AsmlLint, WideVectorsKeepTheirBits) {
    const std::vector<AsmlWarning> warnings = LintWide({
        "  var u as Lv_64 = \"0\"",
        "  var v as Lv_8 = \"00000000\"",
        "  step",
        "    count := toInt ( rdata )",
        "    addr := toLv ( count )",
        "    u := toLv ( count + 1 )",
        "    count := toInt ( rdata ( 31 , 0 ) )",
        "    count := toInt ( rdata ( 39 , 32 ) ) + toInt ( v )",
        "    v := toLv ( count )",
        "    u := rdata",
        "    count := toInt ( rdata ( 40 , 33 ) )",
        "    if v ( 8 , 8 ) = LOGIC_1 then",
        "      skip",
        "    count := toInt ( v ( count , 0 ) )",
    });
    const std::pair<std::size_t, std::string> expected[] = {
        {4, "toInt ( rdata ) reads 40 bits into an unsigned int, so the bits above bit 31 are "
            "lost; read at most 32 bits at a time: toInt ( rdata ( 31 , 0 ) ) and toInt ( rdata "
            "( 39 , 32 ) )"},
        {5, "toLv makes 32 bits of an unsigned int, so the bits of addr above bit 31 (of 100) "
            "stay 0; assign a text of 100 characters '0' and '1' (addr := bits)"},
        {6, "toLv makes 32 bits of an unsigned int, so the bits of u above bit 31 (of 64) stay "
            "0; assign an unsigned long long value without toLv (u := value)"},
        {11, "rdata ( 40 , 33 ) reaches bit 40, but rdata has 40 bits (0 to 39): SystemC stops "
             "the simulation when the range is used; keep within 39 , 0 or declare the port "
             "wider"},
        {12, "v ( 8 , 8 ) reaches bit 8, but v has 8 bits (0 to 7): SystemC stops the "
             "simulation when the range is used; keep within 7 , 0 or declare the port wider"},
    };
    ASSERT_EQ(warnings.size(), std::size(expected)) << Listed(warnings);
    for (std::size_t k = 0; k < warnings.size(); ++k) {
        EXPECT_EQ(warnings[k].line, expected[k].first);
        EXPECT_EQ(warnings[k].message, expected[k].second);
    }
}

// A vector variable is driven by its initial value or by any assignment in the function,
// before or after its reads; one never read needs neither. A parameter of the same name
// is not the variable.
TEST(AsmlLint, AVectorVariableIsUndrivenOnlyWithoutValueAndWrite) {
    EXPECT_TRUE(
        Lint({"  var v as Lv_8", "  step", "    count := toInt ( v )", "  step", "    v := rdata"})
            .empty());
    EXPECT_TRUE(Lint({"  var v as Lv_8", "  step", "    skip"}).empty());
    EXPECT_TRUE(Lint({"  var count as Lv_8", "  step", "    buf ( 1 ) := count"}).empty());
    // Reported once, at the first read, when read twice.
    std::vector<AsmlWarning> twice =
        Lint({"  var v as Lv_8", "  step", "    if v = rdata then", "      count := toInt ( v )"});
    ASSERT_EQ(twice.size(), 1u) << Listed(twice);
    EXPECT_EQ(twice[0].line, 3u);
}

// The section ends at the next namespace line: what follows belongs to no function.
TEST(AsmlLint, TheSectionEndsAtTheNextNamespace) {
    EXPECT_TRUE(Lint({"  step", "    skip", "namespace nsMain", "  step until ack = LOGIC_1",
                      "  var s as String"})
                    .empty());
    std::vector<AsmlWarning> several =
        Lint({"  var s as String", "  step until ack = LOGIC_1", "    count := 1 // one"});
    ASSERT_EQ(several.size(), 3u) << Listed(several);
    EXPECT_EQ(several[0].line, 1u);
    EXPECT_EQ(several[1].line, 2u);
    EXPECT_EQ(several[2].line, 3u);
}

TlmFunction Declared(const char* name, const char* returnType) {
    TlmFunction function;
    function.functionName = name;
    function.returnTypeText = returnType;
    return function;
}

void AddParameter(TlmFunction& function, const char* type, const char* name, bool byReference,
                  bool isArray, bool isConst = false) {
    TlmParameter& p = function.parameters[static_cast<std::size_t>(++function.parameterCount)];
    p.typeText = type;
    p.parameterName = name;
    p.passMarker = byReference ? "&" : " ";
    p.passIndex = byReference ? 1 : 0;
    p.isArray = isArray;
    p.isConst = isConst;
}

TEST(AsmlLint, FunctionDeclarations) {
    TlmFunctionTable functions;
    functions[1] = Declared("Write", "void");
    AddParameter(functions[1], "unsigned char", "data", false, true);
    AddParameter(functions[1], "unsigned int", "waits", true, false);
    functions[2] = Declared("Load", "int");
    AddParameter(functions[2], "short", "table", true, true, true);
    functions[3] = Declared("Odd", "");
    functions.count = 3;

    std::vector<std::string> translated = FunctionDeclarationWarnings(functions, true);
    ASSERT_EQ(translated.size(), 3u);
    EXPECT_EQ(translated[0], "Load returns int, but its translated body has no return statement, "
                             "so a caller gets no defined value; declare it void and hand "
                             "results back through reference parameters");
    EXPECT_EQ(translated[1],
              "Load: the array parameter table is passed by reference, \"const short & table "
              "[]\", an array of references, which is not C++; pass it by value, \"const short "
              "table []\": the function writes into the caller's array all the same");
    EXPECT_EQ(translated[2].rfind("Odd has no return type, ", 0), 0u) << translated[2];

    // The template method fills no body: only the array of references is left.
    std::vector<std::string> templ = FunctionDeclarationWarnings(functions, false);
    ASSERT_EQ(templ.size(), 1u);
    EXPECT_EQ(templ[0], translated[1]);
}

TEST(AsmlLint, BoolPortsTheTransactorDrivesTakeZeroOrOne) {
    struct Port {
        const char* name;
        int type;
        int direction; // as declared, for the RTL design
        const char* init;
        bool clock;
        const char* warned; // in the message; null: no warning
    };
    const Port ports[] = {
        {"en0", 2, 0, "0", false, nullptr},
        {"en1", 2, 0, "1", false, nullptr},
        // X and Z become SC_LOGIC_X and SC_LOGIC_Z, which the compatibility header lets a
        // bool take (SystemC warns at run time).
        {"enx", 2, 0, "X", false, nullptr},
        {"enz", 2, 0, "Z", false, nullptr},
        {"vec", 2, 0, "0Z0Z", false,
         "has the initial value \"0Z0Z\", which its constructor writes as it stands, "
         "\"vec.initialize (0Z0Z) ;\", which is not C++"},
        {"num", 2, 0, "10", false, "C++ reads it as a number, not as a bit"},
        {"none", 2, 0, "", false, "\"none.initialize () ;\", which is not C++"},
        {"fromRtl", 2, 1, "X", false, nullptr}, // the transactor reads it: never initialised
        {"both", 2, 2, "Z", false, nullptr},
        {"logic", 0, 0, "X", false, nullptr},
        {"lv", 1, 0, "XZ", false, nullptr},
        {"clk", 2, 0, "Z", true, nullptr}, // the clock keeps its direction
    };
    RtlSignalTable signals;
    for (const Port& port : ports) {
        RtlSignal& s = signals[++signals.count];
        s.signalName = port.name;
        s.dataTypeIndex = static_cast<std::int16_t>(port.type);
        s.directionIndex = static_cast<std::int16_t>(port.direction);
        s.initValue = port.init;
        s.isClock = port.clock;
    }
    ReverseDirections(signals);
    NormalizeInitValues(signals);
    std::vector<std::string> warnings = PortDeclarationWarnings(signals);
    std::size_t next = 0;
    for (const Port& port : ports) {
        if (!port.warned) continue;
        SCOPED_TRACE(port.name);
        ASSERT_LT(next, warnings.size());
        const std::string& message = warnings[next++];
        EXPECT_EQ(message.rfind("bool port " + std::string(port.name) + " ", 0), 0u) << message;
        EXPECT_NE(message.find(port.warned), std::string::npos) << message;
        EXPECT_TRUE(message.ends_with("; give it the initial value 0 or 1")) << message;
    }
    EXPECT_EQ(next, warnings.size());
}

TEST(AsmlLint, VisibleTextWritesControlCharactersOut) {
    EXPECT_EQ(VisibleText("a\tb\r\nc\x01\x7F"), "a\\tb\\r\\nc\\x01\\x7F");
    EXPECT_EQ(VisibleText("caf\xE9 \"x\""), "caf\xE9 \"x\"");
}

} // namespace
} // namespace kestrel
