// The XML layer: the document model's node rules, reloading, and safety against hostile files.

#include <gtest/gtest.h>

#include "log/vesk_logline_reader.h"
#include "support/temp_dir.h"
#include "xml/xml_document.h"

namespace vesk {
namespace {

TEST(XmlDocument, ChildrenSkipBlankTextButKeepCommentsAndText) {
    test::TempDir dir;
    XmlDocument doc;
    doc.load(
        dir.write("a.xml",
                  "<r>\n  <a x=\"\"/>\n  <!-- c -->\n  text\n  <b>  <c>one</c>two  </b>\n</r>"),
        false);
    const XmlNode root = doc.document_element();
    ASSERT_EQ(root.child_count(), 4);
    EXPECT_EQ(root.child(0).name(), "a");
    EXPECT_EQ(root.child(1).name(), "#comment");
    EXPECT_EQ(root.child(2).name(), "#text");
    EXPECT_THROW(root.child(4), std::out_of_range);
    EXPECT_EQ(root.child_by_name("b").text(), "  onetwo  ");
    EXPECT_THROW(root.child_by_name("missing"), LogFormatError);
    EXPECT_FALSE(root.find_child("c").has_value());  // only direct children

    const XmlNode a = root.child(0);
    EXPECT_TRUE(a.has_attribute("x"));
    EXPECT_EQ(a.attribute("x"), "");
    EXPECT_EQ(a.attribute("y"), std::nullopt);
    EXPECT_THROW(a.required_attribute("y"), LogFormatError);
    EXPECT_EQ(root.child(1).attribute("x"), std::nullopt);
}

TEST(XmlDocument, ActivateReadsTheFileAgainAndFailuresAreReported) {
    test::TempDir dir;
    const std::string path = dir.write("a.xml", "<first/>");
    XmlDocument doc;
    doc.load(path, false);
    dir.write("a.xml", "<second/>");
    EXPECT_EQ(doc.document_element().name(), "first");
    doc.deactivate();
    EXPECT_FALSE(doc.is_active());
    EXPECT_THROW(doc.document_element(), std::logic_error);
    doc.activate();
    EXPECT_EQ(doc.document_element().name(), "second");

    dir.write("a.xml", "<broken>");
    EXPECT_THROW(doc.activate(), XmlReadError);
    EXPECT_THROW(doc.load(dir.path().string() + "/none.xml", false), XmlReadError);
}

// An external entity must never pull a local file into the log unless the user asked for
// external resolution, and an entity bomb must not blow up either reader.
class HostileXml : public ::testing::Test {
protected:
    std::string xxe_log() const {
        dir_.write("secret.txt", "TOPSECRET");
        return dir_.write("xxe.xml",
                          "<?xml version=\"1.0\"?>\n"
                          "<!DOCTYPE log [ <!ENTITY secret SYSTEM \"secret.txt\"> ]>\n"
                          "<log><process id=\"1\" description=\"d\"><i><e>"
                          "<task_name>x&secret;</task_name></e></i></process></log>");
    }
    std::string bomb_log() const {
        std::string doctype = "<!DOCTYPE log [ <!ENTITY e0 \"haha\">\n";
        for (int i = 1; i <= 12; ++i)
            doctype += "<!ENTITY e" + std::to_string(i) + " \"" + [&] {
                std::string refs;
                for (int k = 0; k < 10; ++k)
                    refs += "&e" + std::to_string(i - 1) + ";";
                return refs;
            }() + "\">\n";
        doctype += "]>\n";
        return dir_.write("bomb.xml", "<?xml version=\"1.0\"?>\n" + doctype +
                                          "<log><process id=\"1\"><i><e><task_name>&e12;"
                                          "</task_name></e></i></process></log>");
    }
    test::TempDir dir_;
};

TEST_F(HostileXml, ExternalEntitiesStayUnresolvedByDefault) {
    const WorkflowLogFile file(xxe_log(), false);
    for (const LogProcess& process : file.list_processes())
        EXPECT_EQ(process.description.value_or("").find("TOPSECRET"), std::string::npos);
    Tevent_filter filter;
    const ProcessLog log = read_process_log(file, "1", filter);
    for (const Tlog_line& line : log.lines)
        EXPECT_EQ(log.lines.name(line).find("TOPSECRET"), std::string::npos);
    EXPECT_EQ(log.description.find("TOPSECRET"), std::string::npos);

    XmlDocument doc;
    doc.load(xxe_log(), false);
    EXPECT_EQ(doc.document_element().text().find("TOPSECRET"), std::string::npos);

    // In an attribute an external entity is not even well-formed.
    const std::string in_attribute =
        dir_.write("attr.xml",
                   "<!DOCTYPE log [ <!ENTITY secret SYSTEM \"secret.txt\"> ]>"
                   "<log><process id=\"&secret;\"/></log>");
    EXPECT_THROW(WorkflowLogFile(in_attribute, false).list_processes(), XmlReadError);
}

TEST_F(HostileXml, EntityBombsAreRefusedOrLeftUnexpanded) {
    for (const bool resolve : {false, true}) {
        const WorkflowLogFile file(bomb_log(), resolve);
        try {
            const ProcessLog log = read_process_log(file, "1", Tevent_filter{});
            for (const Tlog_line& line : log.lines)
                EXPECT_LT(log.lines.name(line).size(), 100000u);
        } catch (const XmlReadError&) {
        }
        XmlDocument doc;
        try {
            doc.load(bomb_log(), resolve);
            EXPECT_LT(doc.document_element().text().size(), 100000u);
        } catch (const XmlReadError&) {
        }
    }
}

TEST(XmlResolve, ResolvingExternalsLoadsALocalDtdWithItsDefaults) {
    test::TempDir dir;
    dir.write("log.dtd", "<!ATTLIST process description CDATA \"from the DTD\">");
    const std::string path =
        dir.write("log.xml", "<!DOCTYPE log SYSTEM \"log.dtd\"><log><process id=\"1\"/></log>");
    EXPECT_EQ(WorkflowLogFile(path, false).list_processes()[0].description, std::nullopt);
    EXPECT_EQ(WorkflowLogFile(path, true).list_processes()[0].description, "from the DTD");

    // A DTD that cannot be fetched (no network) does not stop the read.
    const std::string remote = dir.write(
        "remote.xml",
        "<!DOCTYPE log SYSTEM \"http://example.invalid/x.dtd\"><log><process id=\"1\"/></log>");
    EXPECT_EQ(WorkflowLogFile(remote, true).list_processes().size(), 1u);
    XmlDocument doc;
    doc.load(remote, true);
    EXPECT_EQ(doc.document_element().name(), "log");
}

// Both readers give an internal entity's text, and with --external-dtd only the document's own
// DTD is loaded: an entity naming another file is refused and said.
TEST_F(HostileXml, InternalEntitiesExpandAlikeAndOnlyTheOwnDtdIsLoaded) {
    const std::string internal = dir_.write(
        "internal.xml",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE log [ <!ENTITY co \"Company\"> ]>\n"
        "<log><process id=\"1\"><i><e><task_name>&co; check</task_name></e></i></process></log>");
    for (const bool resolve : {false, true}) {
        const ProcessLog log = read_process_log(WorkflowLogFile(internal, resolve), "1", {});
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(log.lines.name(log.lines[0]), "Company check_normal");
        XmlDocument doc;
        doc.load(internal, resolve);
        EXPECT_EQ(doc.document_element().text(), "Company check");
    }

    dir_.write("own.dtd", "<!ATTLIST process description CDATA \"from the DTD\">\n");
    const std::string both = dir_.write(
        "both.xml",
        "<?xml version=\"1.0\"?>\n<!DOCTYPE log SYSTEM \"own.dtd\" [\n"
        "<!ENTITY pw SYSTEM \"file:///etc/passwd\"> <!ENTITY s SYSTEM \"secret.txt\"> ]>\n"
        "<log><process id=\"1\"><i><e><task_name>x&pw;&s;</task_name></e></i></process></log>");
    dir_.write("secret.txt", "TOPSECRET");
    const WorkflowLogFile file(both, true);
    std::vector<std::string> refused;
    const auto processes = file.list_processes(&refused);
    ASSERT_EQ(processes.size(), 1u);
    EXPECT_EQ(processes[0].description, "from the DTD");
    const ProcessLog log = read_process_log(file, "1", {});
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines.name(log.lines[0]), "x_normal");
    EXPECT_EQ(
        log.diagnostics.refused_entities,
        (std::vector<std::string>{"file:///etc/passwd", (dir_.path() / "secret.txt").string()}));
    XmlDocument doc;
    doc.load(both, true);
    EXPECT_EQ(doc.document_element().text().find("root:"), std::string::npos);
    EXPECT_EQ(doc.refused_entities().size(), 2u);

    // A DTD named by an absolute path or a network address is refused too.
    const std::string far = dir_.write(
        "far.xml",
        "<!DOCTYPE log SYSTEM \"http://example.com/a.dtd\"><log><process id=\"1\"/></log>");
    EXPECT_EQ(WorkflowLogFile(far, true).list_processes(&refused).size(), 1u);
    EXPECT_EQ(refused, std::vector<std::string>{"http://example.com/a.dtd"});
}

TEST_F(HostileXml, AnOverlongTextIsRefusedWithTheParsersReason) {
    const std::string log = dir_.write("long.xml", "<log><process id=\"1\"><i><e><task_name>" +
                                                       std::string(10000001, 'y') +
                                                       "</task_name></e></i></process></log>");
    try {
        read_process_log(WorkflowLogFile(log, false), "1", {});
        FAIL() << "an 10 MB text was read";
    } catch (const XmlReadError& error) {
        EXPECT_NE(std::string(error.what()).find("line 1: "), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("huge"), std::string::npos) << error.what();
    }
}

}  // namespace
}  // namespace vesk
