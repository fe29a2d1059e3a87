// Hostile and broken input through the whole command line: centuries-long cases, names made
// to break out of attributes and argument lists, process ids with path separators, text the
// XML reader cannot hold, and names too long for a relations file.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "base/build_info.h"
#include "base/util_functions.h"
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

// The text net's strings, read back the way C escapes read.
std::vector<std::string> quoted_strings(const std::string& line) {
    std::vector<std::string> strings;
    for (std::size_t at = line.find('"'); at != std::string::npos; at = line.find('"', at + 1)) {
        std::string text;
        for (++at; at < line.size() && line[at] != '"'; ++at) {
            if (line[at] == '\\' && at + 1 < line.size()) {
                const char escaped = line[++at];
                text += escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped;
            } else {
                text += line[at];
            }
        }
        strings.push_back(text);
    }
    return strings;
}

// A name holding the invisible-step marker is refused rather than turned into a silent step;
// quotes, backslashes and line breaks of names are escaped in the text net, which reads back;
// the inductive net's flower place names a few of its many transitions, not all of them.
TEST(HostileInput, NamesStayNamesInTheTextNet) {
    test::TempDir dir;
    const std::string marked = dir.write(
        "marked.xml", test::log_xml({{.cases = {{{"a"}, {"b$#%skip#%$"}}, {{"a"}, {"c"}}}}}));
    const test::CliResult refused = test::run_cli({"mine", marked, "-q"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(contains(refused.err, "The activity name \"b$#%skip#%$\" holds \"$#%skip#%$\""))
        << refused.err;

    const std::string odd = "say &quot;hi&quot; \\ now\nthen";
    const std::string quoting =
        dir.write("quoting.xml", test::log_xml({{.cases = {{{"a"}, {odd}}, {{"a"}, {odd}}}}}));
    const std::string out = (dir.path() / "out").string();
    ASSERT_EQ(test::run_cli({"mine", quoting, "--out", out, "-q"}).code, 0);
    std::ifstream tpn(dir.path() / "out" / "quoting.xml 1 .tpn");
    bool found = false;
    for (std::string line; std::getline(tpn, line);) {
        EXPECT_TRUE(line.starts_with("place \"") || line.starts_with("trans \"")) << line;
        if (line.starts_with("trans "))
            found = found || quoted_strings(line).front() == "say \"hi\" \\ now\nthen_complete";
    }
    EXPECT_TRUE(found);

    // Sixty long names in short cases of every order: the inductive net is a flower whose
    // place touches them all. Named in full, that place's name alone would be 3,700 characters.
    std::vector<test::Case> cases;
    for (int c = 0; c < 200; ++c) {
        test::Case one;
        for (int k = 0; k < 1 + c % 5; ++k)
            one.push_back({"activity with a name of some fifty characters, " +
                           std::to_string((c * 7 + k * 13) % 60)});
        cases.push_back(one);
    }
    const std::string flower = dir.write("flower.xml", test::log_xml({{.cases = cases}}));
    ASSERT_EQ(
        test::run_cli({"mine", flower, "--construction", "inductive", "--out", out, "-q"}).code, 0);
    std::ifstream flower_tpn(dir.path() / "out" / "flower.xml 1 .tpn");
    std::size_t longest = 0;
    for (std::string line; std::getline(flower_tpn, line);)
        longest = std::max(longest, line.size());
    EXPECT_LT(longest, 1000u);
}

// vesk-cli run as its own program: what reaches the terminal's stderr, libxml2's own lines
// included.
ProgramOutcome run_alone(const std::vector<std::string>& arguments) {
    return run_program_watched(VESK_CLI_PATH, arguments, std::chrono::minutes(2));
}

std::string xes_with_event(const std::string& event_inside) {
    return "<?xml version=\"1.0\"?>\n<log xes.version=\"1.0\"><trace><event>" + event_inside +
           "<string key=\"concept:name\" value=\"a\"/></event></trace></log>\n";
}

// A damaged compressed file is called that, in one line of this program's own, not an XML
// error; an element with a flood of attributes is refused before the parser spends minutes on
// it, while quotes in comments and sections are no attributes.
TEST(HostileInput, DamagedAndBloatedFilesAreRefusedWithTheirCause) {
    test::TempDir dir;
    std::string log;
    for (int c = 0; c < 400; ++c)
        log += "<trace><event><string key=\"concept:name\" value=\"step " + std::to_string(c) +
               "\"/></event></trace>\n";
    log = "<?xml version=\"1.0\"?>\n<log xes.version=\"1.0\">" + log + "</log>\n";
    const std::string whole = dir.write("whole.xes", log);
    ASSERT_EQ(run_program("/bin/gzip", {"-k", whole}), 0);
    const std::string packed = test::read_file(whole + ".gz");
    const std::string truncated =
        dir.write("truncated.xes.gz", packed.substr(0, packed.size() / 2));
    std::string flipped = packed;
    for (std::size_t i = 40; i < 80; ++i)
        flipped[i] = static_cast<char>(flipped[i] ^ 0x5a);
    const std::string corrupt = dir.write("corrupt.xes.gz", flipped);
    for (const std::string& file : {truncated, corrupt}) {
        for (const char* command : {"processes", "mine"}) {
            const ProgramOutcome run = run_alone({command, file});
            EXPECT_EQ(run.exit_code, 1) << command << " " << file;
            EXPECT_EQ(run.errors,
                      "vesk-cli: The specified file could not be read.\n"
                      "vesk-cli: the compressed file is truncated or corrupt\n")
                << command << " " << file;
        }
    }
    EXPECT_EQ(run_alone({"processes", whole + ".gz"}).exit_code, 0);

    std::string flood, allowed;
    for (int k = 0; k < 20000; ++k)
        (k < 5000 ? allowed : flood) += " a" + std::to_string(k) + "=\"v\"";
    flood = allowed + flood;
    const std::string bloated =
        dir.write("flood.xes", xes_with_event("<string key=\"k\" value=\"v\"" + flood + "/>"));
    const test::CliResult refused = test::run_cli({"mine", bloated, "-q"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(contains(refused.err, "an element has more than 10000 attributes")) << refused.err;
    const std::string many =
        dir.write("many.xes", xes_with_event("<string key=\"k\" value=\"v\"" + allowed + "/>"));
    EXPECT_EQ(test::run_cli({"mine", many, "-q"}).code, 0);
    std::string quotes(20000, '"');
    const std::string commented = dir.write(
        "commented.xes", xes_with_event("<!-- " + quotes + " --><string key=\"c\"><![CDATA[" +
                                        quotes + "]]></string>"));
    const test::CliResult quiet = test::run_cli({"mine", commented, "-q"});
    EXPECT_EQ(quiet.code, 0) << quiet.err;
}

}  // namespace
}  // namespace vesk
