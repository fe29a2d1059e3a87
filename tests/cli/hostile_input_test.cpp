// Hostile and broken input through the whole command line: centuries-long cases, names made
// to break out of attributes and argument lists, process ids with path separators, text the
// XML reader cannot hold, and names too long for a relations file.

#include <gtest/gtest.h>

#include <filesystem>

#include "base/build_info.h"
#include "formats/vesk_html_writer.h"
#include "net/vesk_redisc_replay.h"
#include "support/cli_run.h"
#include "support/log_xml.h"
#include "support/temp_dir.h"
#include "xml/xml_text.h"

namespace vesk {
namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(HostileInput, ACaseSpanningTheWholeCalendarHasAnExactFlowTime) {
    // 1 January of year 1 to 31 December 9999: 3,652,058 days (the proleptic Gregorian
    // calendar has 146,097 days in 400 years: 24 * 146097 + 365 * 99 + 24 - 1 ... counted
    // below from the day numbers), far beyond 32 bits in minutes.
    const double first = date_time_value({1, 1, 1}, 0, 0);
    const double last = date_time_value({31, 12, 9999}, 0, 0);
    EXPECT_EQ(minutes_between(first, last), 3652058.0 * 1440.0);

    test::TempDir dir;
    const std::string log = dir.write(
        "ages.xml", test::log_xml({{.cases = {{{"a", "complete", "01-01-0001", "00:00"},
                                               {"b", "complete", "31-12-9999", "00:00"}}}}}));
    const test::CliResult r = test::run_cli({"mine", log, "--process", "1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "minimum 5258963520.0000, maximum 5258963520.0000")) << r.out;
}

TEST(HostileInput, NamesFromTheLogAreEscapedInHtmlAndNeverLeaveTheOutputFolder) {
    EXPECT_EQ(html_escaped("a&b<c>\"d"), "a&amp;b&lt;c&gt;&quot;d");
    test::TempDir dir;
    const std::string log =
        dir.write("l&\"o<g.xml", test::log_xml({{.id = "../../x/\\y", .cases = {{{"a"}, {"b"}}}}}));
    const std::string out = (dir.path() / "out").string();
    const test::CliResult r =
        test::run_cli({"mine", log, "--process", "../../x/\\y", "--out", out});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string base = "l&\"o<g.xml .._.._x__y ";
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "out" / (base + ".tpn")));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "out" / (base + "low.dot")));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "x"));
    const std::string index = test::read_file(dir.path() / "out" / "Default.htm");
    EXPECT_TRUE(contains(index, "HREF=\"l&amp;&quot;o&lt;g.xml .._.._x__y low.dot.map\"")) << index;
    EXPECT_TRUE(contains(index, "SRC=\"l&amp;&quot;o&lt;g.xml .._.._x__y low.dot.jpg\"")) << index;
}

TEST(HostileInput, TextXmlCannotHoldIsFoundWithItsPlace) {
    EXPECT_FALSE(xml_text_problem("plain text, tab\tand \xc3\xa9"));
    EXPECT_EQ(xml_text_problem("ab\x01")->offset, 2u);
    EXPECT_EQ(xml_text_problem("a\xc3")->what, "malformed UTF-8");
    EXPECT_EQ(xml_text_problem("a\xc0\x80")->what, "malformed UTF-8");      // overlong
    EXPECT_EQ(xml_text_problem("a\xed\xa0\x80")->what, "malformed UTF-8");  // surrogate
    EXPECT_TRUE(contains(xml_text_problem("\xef\xbf\xbe")->what, "U+FFFE"));
    EXPECT_TRUE(contains(xml_text_problem("x\xef\xbf\xbf")->what, "U+FFFF"));
}

TEST(HostileInput, TheCsvModuleRefusesWhatItsLogCouldNotHoldAndWritesNothing) {
    test::TempDir dir;
    const std::string xml = (dir.path() / "out.xml").string();
    for (const std::string& bad : {std::string("1,a\x01,complete\n"), std::string("1,a\xff\n"),
                                   std::string("1,ok\n2,\xef\xbf\xbf\n")}) {
        const std::string input = dir.write("bad.log", "case,task\n" + bad);
        const test::CliResult r = test::run_cli({"convert", "csv", input, xml});
        EXPECT_EQ(r.code, 1) << r.err;
        EXPECT_FALSE(std::filesystem::exists(xml));
    }
    // The module itself names the line and column.
    const std::string input = dir.write("bad2.log", "case,task\n1,ok\n2,b\x01z\n");
    const auto module = std::filesystem::path(VESK_CLI_PATH).parent_path() / "csv2xml";
    const std::string command =
        "'" + module.string() + "' '" + input + "' '" + xml + "' http://h/d.dtd NO 2>&1";
    std::string said;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            said += buffer;
        EXPECT_NE(::pclose(pipe), 0);
    }
    EXPECT_TRUE(contains(said, "line 3, column 4: the character U+0001")) << said;

    // Quotes and markup in fields are escaped, and the log reads back.
    const std::string fine =
        dir.write("fine.log", "1,\"a&b<c> \"\"x\"\"\",complete,04-03-2002,10:00\n");
    ASSERT_EQ(test::run_cli({"convert", "csv", fine, xml, "-q"}).code, 0);
    const test::CliResult r = test::run_cli({"relations", xml, "--process", "1"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "\na&b<c> \"x\"_complete  ")) << r.out;
}

TEST(HostileInput, ARelationsFileIsNotWrittenWithANameItCouldNotBeReadBackWith) {
    test::TempDir dir;
    const std::string log =
        dir.write("long.xml", test::log_xml({{.cases = {{{std::string(1000001, 'n')}, {"b"}}}}}));
    const std::string out = (dir.path() / "out").string();
    const auto saved = dir.path() / "out" / "long.xml 1 relations.xml";
    std::filesystem::create_directories(out);
    dir.write("out/long.xml 1 relations.xml", "old");
    const test::CliResult r = test::run_cli({"relations", log, "--process", "1", "--out", out});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(contains(r.err, "more than the 1000000")) << r.err.substr(0, 300);
    EXPECT_EQ(test::read_file(saved), "old");
}

}  // namespace
}  // namespace vesk
