// The declaration helpers on what the generated files rarely show: AsmL signatures of
// every return type, include guards of unusual paths, and the file banner with and
// without comments. The rest is checked byte for byte through the writers' goldens.
#include "codegen/DeclarationHelpers.h"
#include "codegen/TextWriter.h"

#include "CodegenSamples.h"
#include "TestSupport.h"

namespace kestrel {
namespace {

TEST(AsmlSignature, HeadListAndTail) {
    std::vector<std::string> names;
    for (int i = -1; i <= 8; ++i) names.emplace_back(AsmlTypeName(i));
    EXPECT_EQ(names, (std::vector<std::string>{"", "", "Boolean", "Integer", "Integer", "Integer",
                                               "Integer", "Integer", "Integer", ""}));

    TlmFunction write = sample::Function("write", "void", 0,
                                         {sample::Parameter("int", 4, "addr"),
                                          sample::Parameter("int", 4, "data", false, false, true)});
    EXPECT_EQ(AsmlSignature(write), "public write (  addr as Integer, data as Seq of Integer ) ");

    TlmFunction ready = sample::Function("ready", "bool", 1),
                idle = sample::Function("idle", "void", 0);
    EXPECT_EQ(AsmlSignature(ready), "public ready ( ) as Boolean");
    EXPECT_EQ(AsmlSignature(idle), "public idle ( ) ");

    // A typed return type (index -1) has no AsmL name; the tail is "as " alone.
    TlmFunction typed = sample::Function("odd", "long", -1, {sample::Parameter("bool", 1, "b")});
    EXPECT_EQ(AsmlSignature(typed), "public odd (  b as Boolean ) as ");
}

TEST(IncludeGuard, LastPathPartWithoutExtensionInUpperCase) {
    using P = std::pair<const char*, const char*>;
    // Windows-1252 letters: e acute (0xE9) and s caron (0x9A) have capitals.
    for (auto [path, guard] :
         {P{"/home/p/Output/TLM_AIC.h", "_TLM_AIC_H_"}, P{"/home/p/Output/Tran.h", "_TRAN_H_"},
          P{"C:\\p\\Output\\Iface.h", "_IFACE_H_"}, P{"Iface.h", "_IFACE_H_"},
          P{"/p/bus.hpp", "_BUS.H_H_"}, P{"/p/h", "__H_"}, P{"", "__H_"},
          P{"/p/\xE9t\x9A.h", "_\xC9T\x8A_H_"}})
        EXPECT_EQ(IncludeGuard(path), guard) << path;
}

std::string Banner(const ProjectOptions& options, BannerKind kind) {
    TextWriter out;
    WriteFileBanner(out, "--- title ---", options, {2026, 12, 4, 9, 51, 15, 5}, kind);
    return out.take();
}

// Without and with the comment lines; a comment without any CR LF has no comment line,
// even when asked for; the template's banner.
TEST(FileBanner, CommentLinesOnlyWhenAskedFor) {
    ProjectOptions options;
    sample::SetBanner(options);
    std::string banners = Banner(options, BannerKind::Generated);
    options.useCommentInHeaders = true;
    banners += "===\r\n" + Banner(options, BannerKind::Generated);
    options.comment = "single";
    banners += "===\r\n" + Banner(options, BannerKind::Generated);
    options.useCommentInHeaders = false;
    banners += "===\r\n" + Banner(options, BannerKind::Template);
    EXPECT_TRUE(test::MatchesGolden(test::GoldenDir() / "codegen/banners.txt", banners));
}

} // namespace
} // namespace kestrel
