// The code writer: blocks indent what is written while they live and close with their
// line at the level outside; empty lines carry no indentation; spliced text is indented
// line by line; every line ends as the writer was told.
#include "codegen/CodeWriter.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(CodeWriter, IndentsBlocksClosesThemAndEndsLinesAsTold) {
    CodeWriter w("\r\n", "  ");
    w.line("struct A {");
    {
        auto members = w.block();
        w.line({"int ", "x", ";"});
        w.blank();
        auto body = w.block("void f() {", "}");
        w.lines({"g();", ""});
        w.splice("// one\n\n// two\n");
    }
    w.line("};");
    EXPECT_EQ(w.text(), "struct A {\r\n  int x;\r\n\r\n  void f() {\r\n    g();\r\n\r\n"
                        "    // one\r\n\r\n    // two\r\n  }\r\n};\r\n");
    CodeWriter plain;
    plain.splice("a\nb");
    EXPECT_EQ(plain.take(), "a\nb\n");
}

} // namespace
} // namespace kestrel
