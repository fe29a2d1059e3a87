#include "base/util_functions.h"

#include <gtest/gtest.h>

#include "control/conversion.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

using Args = std::vector<std::string>;

// A hostile name stays one argument everywhere: in the file names of the dot runs and the
// conversion module's arguments, and when the program is started.
TEST(Runner, NamesWithQuotesBlanksAndShellCharactersStayOneArgument) {
    test::TempDir dir;
    const auto folder = dir.path();
    const std::string name =
        (folder / "a\" -o \"b; touch pwned $(touch pwned2) `touch pwned3`").string();
    EXPECT_EQ(run_program("/usr/bin/touch", {name}), 0);
    EXPECT_TRUE(std::filesystem::exists(name));
    for (const char* side_effect : {"pwned", "pwned2", "pwned3", "b"}) {
        EXPECT_FALSE(std::filesystem::exists(folder / side_effect));
        EXPECT_FALSE(std::filesystem::exists(side_effect));
    }
    EXPECT_EQ(run_program(folder / "no such program", {}), -1);
    EXPECT_EQ(run_program("/bin/false", {}), 1);

    const std::string prefix = "out\" -o \"/tmp/x.dot 1";
    const auto runs = jpg_map_runs(prefix, {true, "A4", RenderBudget{}});
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].arguments,
              (Args{"-Timap", prefix + " low.dot", "-Grankdir=LR", "-o", prefix + " low.dot.map"}));
    EXPECT_EQ(runs[2].arguments, (Args{"-Tjpg", prefix + " low.dot", "-Grankdir=LR", "-Gsize=8,8",
                                       "-o", prefix + " low.dot.thumb.jpg"}));
    const auto ps = ps_jpg_runs("-x 1", {true, "Letter", RenderBudget{}});
    EXPECT_EQ(ps[1].arguments,
              (Args{"-Tps", "./-x 1 high.dot", "-Grankdir=LR", "-Gorientation=landscape",
                    "-Gpage=8.5,11", "-o", "./-x 1 high.dot.ps"}));

    const ProgramRun module =
        conversion_run("-in; $(rm x).log", "a \"b\".xml", "http://h/d.dtd", true);
    EXPECT_EQ(module.arguments,
              (Args{"./-in; $(rm x).log", "a \"b\".xml", "http://h/d.dtd", "YES"}));
}

TEST(Rendering, DotCommandLines) {
    const std::string prefix = "C:\\out\\log.xml 1";
    EXPECT_EQ(jpg_map_parameters(prefix, {true, "A4", RenderBudget{}}),
              (Args{"-Timap \"C:\\out\\log.xml 1 low.dot\" -Grankdir=LR  -o \"C:\\out\\log.xml 1 "
                    "low.dot.map\"",
                    "-Tjpg \"C:\\out\\log.xml 1 low.dot\" -Grankdir=LR  -o \"C:\\out\\log.xml 1 "
                    "low.dot.jpg\"",
                    "-Tjpg \"C:\\out\\log.xml 1 low.dot\" -Grankdir=LR  -Gsize=\"8,8\" -o "
                    "\"C:\\out\\log.xml 1 low.dot.thumb.jpg\""}));
    EXPECT_EQ(jpg_map_parameters(prefix, {false, "A4", RenderBudget{}})[0],
              "-Timap \"C:\\out\\log.xml 1 low.dot\"  -o \"C:\\out\\log.xml 1 low.dot.map\"");
    EXPECT_EQ(ps_jpg_parameters(prefix, {true, "A4", RenderBudget{}}),
              (Args{"-Tjpg \"C:\\out\\log.xml 1 high.dot\" -Grankdir=LR  -o \"C:\\out\\log.xml 1 "
                    "high.dot.jpg\"",
                    "-Tps \"C:\\out\\log.xml 1 high.dot\" -Grankdir=LR -Gorientation=landscape "
                    "-Gpage=\"8.27,11.69\"    -o \"C:\\out\\log.xml 1 high.dot.ps\""}));
    EXPECT_EQ(ps_jpg_parameters(prefix, {false, "Letter", RenderBudget{}})[1],
              "-Tps \"C:\\out\\log.xml 1 high.dot\" -Gpage=\"8.5,11\"    -o \"C:\\out\\log.xml 1 "
              "high.dot.ps\"");
    EXPECT_EQ(ps_jpg_parameters(prefix, {false, "B5", RenderBudget{}})[1],
              "-Tps \"C:\\out\\log.xml 1 high.dot\"    -o \"C:\\out\\log.xml 1 high.dot.ps\"");
}

TEST(Conversion, ModuleListNamesAndCommandLine) {
    test::TempDir dir;
    const ConversionList list = read_conversion_list(
        dir.write("conv.txt",
                  "\\\\ a comment | with a bar\r\n staffware | conv\\staffware.exe \r\n"
                  "odd|name | prog\nbroken line\nlater | never\n"));
    ASSERT_EQ(list.modules.size(), 2u);
    EXPECT_EQ(list.modules[0].name, "staffware");
    EXPECT_EQ(list.modules[0].program, "conv\\staffware.exe");
    EXPECT_EQ(list.modules[1].name, "odd|name");
    ASSERT_TRUE(list.error.has_value());
    EXPECT_NE(list.error->find("line 4"), std::string::npos);
    EXPECT_TRUE(read_conversion_list(dir.path() / "missing.txt").error.has_value());

    EXPECT_EQ(derived_xml_file_name("C:\\logs\\a.log"), "C:\\logs\\a.xml");
    EXPECT_EQ(derived_xml_file_name("a.l"), ".xml");
    EXPECT_EQ(conversion_parameters("C:\\logs\\a.log", "C:\\logs\\a.xml",
                                    "http://h/WorkFlow_log.dtd", false),
              " \"C:\\logs\\a.log\"  \"C:\\logs\\a.xml\"  http://h/WorkFlow_log.dtd  NO");
}

}  // namespace
}  // namespace vesk
