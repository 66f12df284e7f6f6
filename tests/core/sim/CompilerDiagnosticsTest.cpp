// Reading g++'s output: diagnostic lines with and without column or line, the context
// lines before them (scope, include chain, instantiation), the quoted source after them,
// notes, a build tool's lines around them, colour; and the mapped diagnostics as printed.
#include "sim/CompilerDiagnostics.h"
#include "sim/SourceMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrel {
namespace {

using Lines = std::vector<std::string>;

// As g++ 12 prints it: an error in an included header, one in Tran.cpp, a warning, an
// error in a template instantiation and a note that points into a library header.
constexpr std::string_view kOutput =
    "In file included from /p/Output/Tran.cpp:22:\n"
    "/p/Output/Tran.h: In member function \xE2\x80\x98int S::f()\xE2\x80\x99:\n"
    "/p/Output/Tran.h:84:29: error: \xE2\x80\x98undefined_x\xE2\x80\x99 was not declared in "
    "this scope\n"
    "   84 | struct S { int f() { return undefined_x; } };\n"
    "      |                             ^~~~~~~~~~~\n"
    "/p/Output/Tran.cpp: In member function \xE2\x80\x98virtual void clsTran::Write()\xE2\x80"
    "\x99:\n"
    "/p/Output/Tran.cpp:45:31: error: \xE2\x80\x98"
    "datum\xE2\x80\x99 was not declared in this "
    "scope; did you mean \xE2\x80\x98"
    "data\xE2\x80\x99?\n"
    "   45 |           wdata.write( toLv ( datum )  ) ;\n"
    "      |                               ^~~~~\n"
    "      |                               data\n"
    "/p/Output/Tran.cpp:34:60: note: \xE2\x80\x98"
    "data\xE2\x80\x99 declared here\n"
    "   34 | void clsTran :: Write ( unsigned char  address, unsigned char  data )\n"
    "/p/Output/Tran.cpp: In function \xE2\x80\x98int h()\xE2\x80\x99:\n"
    "/p/Output/Tran.cpp:90:10: warning: no return statement in function returning non-void "
    "[-Wreturn-type]\n"
    "/p/Output/Tran.h: In instantiation of \xE2\x80\x98int g(T) [with T = int]\xE2\x80\x99:\n"
    "/p/Output/Tran.cpp:2:23:   required from here\n"
    "/p/Output/Tran.h:2:42: error: request for member \xE2\x80\x98nope\xE2\x80\x99\n"
    "In file included from /usr/include/sysc/kernel/sc_module.h:35,\n"
    "                 from /usr/include/systemc:1,\n"
    "                 from <command-line>:\n"
    "/usr/include/sysc/communication/sc_port.h:12:3: note: candidate: \xE2\x80\x98void "
    "write()\xE2\x80\x99\n";

TEST(ParseCompilerOutput, DiagnosticsWithTheirContextAndQuotes) {
    std::vector<CompilerDiagnostic> d = ParseCompilerOutput(kOutput);
    ASSERT_EQ(d.size(), 6u);

    EXPECT_EQ(d[0].file, "/p/Output/Tran.h");
    EXPECT_EQ(d[0].line, 84);
    EXPECT_EQ(d[0].column, 29);
    EXPECT_EQ(d[0].severity, "error");
    EXPECT_TRUE(d[0].IsError());
    EXPECT_EQ(d[0].message, "\xE2\x80\x98undefined_x\xE2\x80\x99 was not declared in this scope");
    EXPECT_EQ(d[0].context,
              (Lines{"In file included from /p/Output/Tran.cpp:22:",
                     "/p/Output/Tran.h: In member function \xE2\x80\x98int S::f()\xE2\x80\x99:"}));
    EXPECT_EQ(d[0].excerpt.size(), 2u);

    // The fix-it line is one more quote line; the note has its own place.
    EXPECT_EQ(d[1].line, 45);
    EXPECT_EQ(d[1].context.size(), 1u);
    EXPECT_EQ(d[1].excerpt.size(), 3u);
    EXPECT_EQ(d[1].text.substr(0, 37), "/p/Output/Tran.cpp:45:31: error: \xE2\x80\x98"
                                       "d");
    EXPECT_EQ(d[2].severity, "note");
    EXPECT_FALSE(d[2].IsError());
    EXPECT_EQ(d[2].line, 34);
    EXPECT_TRUE(d[2].context.empty());
    EXPECT_EQ(d[2].excerpt, (Lines{"   34 | void clsTran :: Write ( unsigned char  address, "
                                   "unsigned char  data )"}));

    EXPECT_EQ(d[3].severity, "warning");
    EXPECT_EQ(d[3].message, "no return statement in function returning non-void [-Wreturn-type]");
    EXPECT_TRUE(d[3].excerpt.empty());

    // The instantiation's two lines stand before the error they explain.
    EXPECT_EQ(d[4].context,
              (Lines{"/p/Output/Tran.h: In instantiation of \xE2\x80\x98int g(T) [with T = "
                     "int]\xE2\x80\x99:",
                     "/p/Output/Tran.cpp:2:23:   required from here"}));
    EXPECT_EQ(d[4].line, 2);

    // A multi-line include chain.
    EXPECT_EQ(d[5].file, "/usr/include/sysc/communication/sc_port.h");
    EXPECT_EQ(d[5].context.size(), 3u);
    EXPECT_EQ(d[5].context[2], "                 from <command-line>:");
}

TEST(ParseCompilerOutput, PlacesWithoutLineOrColumnAndTheBuildToolAround) {
    std::vector<CompilerDiagnostic> d = ParseCompilerOutput(
        "[1/3] Building CXX object CMakeFiles/sim.dir/Tran.cpp.o\r\n"
        "FAILED: CMakeFiles/sim.dir/Tran.cpp.o \r\n"
        "/usr/bin/c++ -std=c++17 -c /p/Output/Tran.cpp\r\n"
        "/p/Output/Tran.cpp:7: warning: \"X\" redefined\r\n"
        "cc1plus: fatal error: /p/Output/Tran.cpp: No such file or directory\r\n"
        "compilation terminated.\r\n"
        "g++: error: unrecognized command-line option '-fnope'\r\n"
        "/usr/bin/ld: Tran.o: in function `main': undefined reference to `f'\r\n"
        "collect2: error: ld returned 1 exit status\r\n"
        "ninja: build stopped: subcommand failed.\r\n"
        "make[2]: *** [CMakeFiles/sim.dir/build.make:76: Tran.o] Error 1\r\n");
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(d[0].file, "/p/Output/Tran.cpp");
    EXPECT_EQ(d[0].line, 7);
    EXPECT_EQ(d[0].column, 0);
    EXPECT_EQ(d[0].message, "\"X\" redefined");
    EXPECT_TRUE(d[0].context.empty()); // the tool's lines are nobody's context
    EXPECT_EQ(d[1].file, "cc1plus");
    EXPECT_EQ(d[1].line, 0);
    EXPECT_EQ(d[1].severity, "fatal error");
    EXPECT_TRUE(d[1].IsError());
    EXPECT_EQ(d[1].message, "/p/Output/Tran.cpp: No such file or directory");
    EXPECT_TRUE(d[1].excerpt.empty());
    EXPECT_EQ(d[2].file, "g++");
    EXPECT_EQ(d[3].file, "collect2");
    EXPECT_EQ(d[3].message, "ld returned 1 exit status");
}

TEST(ParseCompilerOutput, ColourIsTakenOut) {
    const std::string coloured =
        "\x1b[01m\x1b[K/p/Tran.cpp:3:5:\x1b[m\x1b[K \x1b[01;31m\x1b[Kerror: "
        "\x1b[m\x1b[K\x1b]8;;https://gcc.gnu.org/x\x1b\\bad\x1b]8;;\x1b\\\n";
    std::vector<CompilerDiagnostic> d = ParseCompilerOutput(coloured);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].file, "/p/Tran.cpp");
    EXPECT_EQ(d[0].line, 3);
    EXPECT_EQ(d[0].column, 5);
    EXPECT_EQ(d[0].message, "bad");
    EXPECT_EQ(WithoutEscapes("a\x1b[1;31mb\x1b[mc"), "abc");
}

// A map with Tran.cpp:45 from clean.asml:111 and Tran.h:84 from a diagram's action.
SourceMap SampleMap() {
    SourceMap map;
    map.files = {{"/p/Output/Tran.cpp",
                  {{45,
                    "          wdata.write( toLv ( datum )  ) ;",
                    {"/p/Temp/clean.asml", 111, "namespace nsWrite"}}}},
                 {"/p/Output/Tran.h",
                  {{84, "  sc_signal <Foo> Write_n ;", {"/p/Input/Write.asf", 69, "signal n"}}}}};
    return map;
}

TEST(MapCompilerOutput, MappedLinesGoToTheUsersPlaceTheRestStayAsPrinted) {
    std::vector<MappedDiagnostic> mapped = MapCompilerOutput(kOutput, SampleMap());
    ASSERT_EQ(mapped.size(), 6u);
    ASSERT_TRUE(mapped[0].source);
    EXPECT_EQ(mapped[0].source->file, "/p/Input/Write.asf");
    EXPECT_EQ(mapped[0].generatedFile, "/p/Output/Tran.h");
    ASSERT_TRUE(mapped[1].source);
    EXPECT_EQ(mapped[1].source->line, 111);
    EXPECT_EQ(mapped[1].generatedText, "          wdata.write( toLv ( datum )  ) ;");
    for (std::size_t i = 2; i < mapped.size(); ++i) EXPECT_FALSE(mapped[i].source) << i;

    const std::string text = FormatMappedDiagnostics(mapped);
    EXPECT_EQ(text.substr(0, text.find("/p/Output/Tran.cpp:34:60")),
              "/p/Input/Write.asf: In signal n:\n"
              "/p/Input/Write.asf:69: error: \xE2\x80\x98undefined_x\xE2\x80\x99 was not declared "
              "in this scope\n"
              "    in Tran.h:84:   sc_signal <Foo> Write_n ;\n"
              "/p/Temp/clean.asml: In namespace nsWrite:\n"
              "/p/Temp/clean.asml:111: error: \xE2\x80\x98"
              "datum\xE2\x80\x99 was not declared in "
              "this scope; did you mean \xE2\x80\x98"
              "data\xE2\x80\x99?\n"
              "    in Tran.cpp:45:           wdata.write( toLv ( datum )  ) ;\n");
    // An unmapped one keeps its context, its line and its quote, as printed.
    EXPECT_NE(text.find("/p/Output/Tran.h: In instantiation of \xE2\x80\x98int g(T) [with T = "
                        "int]\xE2\x80\x99:\n/p/Output/Tran.cpp:2:23:   required from here\n"
                        "/p/Output/Tran.h:2:42: error: request for member"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\n   34 | void clsTran"), std::string::npos);
}

TEST(FormatMappedDiagnostics, TheScopeLineOnlyWhenItChanges) {
    const std::string output = "/p/Output/Tran.cpp:45:3: error: one\n"
                               "/p/Output/Tran.cpp:45:9: note: two\n"
                               "/usr/include/x.h:1:1: note: elsewhere\n"
                               "/p/Output/Tran.cpp:45:12: error: three\n";
    EXPECT_EQ(FormatMappedDiagnostics(MapCompilerOutput(output, SampleMap())),
              "/p/Temp/clean.asml: In namespace nsWrite:\n"
              "/p/Temp/clean.asml:111: error: one\n"
              "    in Tran.cpp:45:           wdata.write( toLv ( datum )  ) ;\n"
              "/p/Temp/clean.asml:111: note: two\n"
              "    in Tran.cpp:45:           wdata.write( toLv ( datum )  ) ;\n"
              "/usr/include/x.h:1:1: note: elsewhere\n"
              "/p/Temp/clean.asml: In namespace nsWrite:\n"
              "/p/Temp/clean.asml:111: error: three\n"
              "    in Tran.cpp:45:           wdata.write( toLv ( datum )  ) ;\n");
}

} // namespace
} // namespace kestrel
