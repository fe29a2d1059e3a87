// The PNML file read back with libxml2 gives the net of the text net written beside it.

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <map>
#include <set>
#include <sstream>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

// A net as names: places, transitions (invisible ones as ""), and arcs by place and transition
// position, with their direction.
struct NamedNet {
    std::vector<std::string> places;
    std::vector<std::string> transitions;
    std::set<std::tuple<std::size_t, std::size_t, bool>> arcs;  // transition, place, to_place
    std::string initial;
    friend bool operator==(const NamedNet&, const NamedNet&) = default;
};

// What only the PNML file holds: the transitions' labels and the final marking.
struct PnmlExtras {
    std::vector<std::string> labels;
    std::string final_place;
};

std::string text_of(xmlNode* node, const char* child) {
    for (xmlNode* c = node->children; c != nullptr; c = c->next)
        if (c->type == XML_ELEMENT_NODE &&
            std::string(reinterpret_cast<const char*>(c->name)) == child) {
            xmlChar* content = xmlNodeGetContent(c);
            std::string text = reinterpret_cast<char*>(content);
            xmlFree(content);
            return text;
        }
    return "\x01";  // absent
}

// The id's place name among the places read so far.
std::string place_named(const std::map<std::string, std::pair<bool, std::size_t>>& ids,
                        const NamedNet& net, const std::string& id) {
    const auto found = ids.find(id);
    return found != ids.end() && found->second.first ? net.places.at(found->second.second) : "";
}

NamedNet read_pnml(const std::string& path, PnmlExtras& extras) {
    NamedNet net;
    xmlDoc* doc = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET);
    EXPECT_NE(doc, nullptr);
    if (doc == nullptr) return net;
    xmlNode* root = xmlDocGetRootElement(doc);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(root->name)), "pnml");
    xmlNode* page = nullptr;
    for (xmlNode* n = root->children; n != nullptr; n = n->next)
        if (n->type == XML_ELEMENT_NODE) {
            xmlChar* type = xmlGetProp(n, BAD_CAST "type");
            EXPECT_EQ(std::string(reinterpret_cast<char*>(type)),
                      "http://www.pnml.org/version-2009/grammar/ptnet");
            xmlFree(type);
            for (xmlNode* p = n->children; p != nullptr; p = p->next)
                if (p->type == XML_ELEMENT_NODE &&
                    std::string(reinterpret_cast<const char*>(p->name)) == "page")
                    page = p;
        }
    EXPECT_NE(page, nullptr);
    std::map<std::string, std::pair<bool, std::size_t>> ids;  // id -> (is place, position)
    std::set<std::string> all_ids;
    for (xmlNode* n = page == nullptr ? nullptr : page->children; n != nullptr; n = n->next) {
        if (n->type != XML_ELEMENT_NODE) continue;
        const std::string kind = reinterpret_cast<const char*>(n->name);
        xmlChar* raw = xmlGetProp(n, BAD_CAST "id");
        const std::string id = reinterpret_cast<char*>(raw);
        xmlFree(raw);
        EXPECT_TRUE(all_ids.insert(id).second) << "the id " << id << " is used twice";
        if (kind == "place") {
            ids[id] = {true, net.places.size()};
            net.places.push_back(text_of(n, "name"));
            if (text_of(n, "initialMarking") != "\x01") net.initial = net.places.back();
        } else if (kind == "transition") {
            ids[id] = {false, net.transitions.size()};
            // The task's name is kept in the tool's own element; an invisible one has none.
            net.transitions.push_back(text_of(n, "toolspecific"));
            extras.labels.push_back(text_of(n, "name"));
            EXPECT_EQ(net.transitions.back().empty(), extras.labels.back() == "tau");
        } else if (kind == "arc") {
            xmlChar* s = xmlGetProp(n, BAD_CAST "source");
            xmlChar* t = xmlGetProp(n, BAD_CAST "target");
            const auto source = ids.at(reinterpret_cast<char*>(s));
            const auto target = ids.at(reinterpret_cast<char*>(t));
            xmlFree(s);
            xmlFree(t);
            // Every arc joins a place and a transition.
            EXPECT_NE(source.first, target.first);
            net.arcs.insert(source.first ? std::tuple{target.second, source.second, false}
                                         : std::tuple{source.second, target.second, true});
        }
    }
    for (xmlNode* n = page == nullptr ? nullptr : page->next; n != nullptr; n = n->next)
        if (n->type == XML_ELEMENT_NODE &&
            std::string(reinterpret_cast<const char*>(n->name)) == "finalmarkings") {
            xmlNode* place = n->children->children;  // finalmarkings > marking > place
            xmlChar* idref = xmlGetProp(place, BAD_CAST "idref");
            extras.final_place = place_named(ids, net, reinterpret_cast<char*>(idref));
            xmlFree(idref);
            EXPECT_EQ(text_of(place, "text"), "1");
        }
    xmlFreeDoc(doc);
    return net;
}

// The text net: place "in  out" [init 1]; and trans "name" in "p" ... out "p" ... ;
NamedNet read_tpn(const std::string& text) {
    NamedNet net;
    std::istringstream in(text);
    std::string line;
    const auto quoted = [](const std::string& s, std::size_t& at) {
        const auto open = s.find('"', at);
        const auto close = s.find('"', open + 1);
        at = close + 1;
        return s.substr(open + 1, close - open - 1);
    };
    std::vector<std::string> lines;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    for (const std::string& l : lines)
        if (l.rfind("place ", 0) == 0) {
            std::size_t at = 0;
            net.places.push_back(quoted(l, at));
            if (l.find(" init 1;") != std::string::npos) net.initial = net.places.back();
        }
    const auto place_index = [&net](const std::string& name) {
        return static_cast<std::size_t>(std::find(net.places.begin(), net.places.end(), name) -
                                        net.places.begin());
    };
    for (const std::string& l : lines) {
        if (l.rfind("trans ", 0) != 0) continue;
        std::size_t at = 0;
        const std::string name = quoted(l, at);
        net.transitions.push_back(name.find("$#%skip#%$") != std::string::npos ? "" : name);
        const auto out = l.find(" out ");
        while (true) {
            const auto open = l.find('"', at);
            if (open == std::string::npos) break;
            std::size_t next = open;
            const std::string place = quoted(l, next);
            net.arcs.insert({net.transitions.size() - 1, place_index(place), open > out});
            at = next;
        }
    }
    return net;
}

TEST(PnmlWriter, ThePnmlFileHoldsTheNetOfTheTextNet) {
    test::TempDir dir;
    for (const std::vector<std::string>& construction :
         {std::vector<std::string>{}, std::vector<std::string>{"--new-construction"}}) {
        std::vector<std::string> args = {"mine",  VESK_EXAMPLE_LOG,    "--process", "2",
                                         "--out", dir.path().string(), "-q"};
        args.insert(args.end(), construction.begin(), construction.end());
        ASSERT_EQ(test::run_cli(args).code, 0);
        PnmlExtras extras;
        const NamedNet pnml = read_pnml((dir.path() / "example_log.xml 2 .pnml").string(), extras);
        const NamedNet tpn = read_tpn(test::read_file(dir.path() / "example_log.xml 2 .tpn"));
        EXPECT_EQ(pnml, tpn);
        EXPECT_EQ(pnml.initial.rfind("_#start#_  ", 0), 0u) << pnml.initial;
        EXPECT_TRUE(extras.final_place.ends_with("  _#end#_")) << extras.final_place;
        EXPECT_FALSE(pnml.arcs.empty());
        // One event type per activity: the labels are the activities.
        for (std::size_t i = 0; i < pnml.transitions.size(); ++i)
            if (!pnml.transitions[i].empty()) {
                EXPECT_EQ(extras.labels[i] + "_complete", pnml.transitions[i]);
            }
    }
}

// Where an activity has transitions of several event types, the labels join the activity and
// the type with "+", as XES classifiers do.
TEST(PnmlWriter, SeveralEventTypesOfAnActivityLabelItsTransitionsWithTheType) {
    test::TempDir dir;
    ASSERT_EQ(test::run_cli({"mine", VESK_EXAMPLE_LOG, "--process", "3", "--events",
                             "schedule,start,complete", "--out", dir.path().string(), "-q"})
                  .code,
              0);
    PnmlExtras extras;
    const NamedNet pnml = read_pnml((dir.path() / "example_log.xml 3 .pnml").string(), extras);
    ASSERT_FALSE(pnml.transitions.empty());
    for (std::size_t i = 0; i < pnml.transitions.size(); ++i) {
        std::string expected = pnml.transitions[i];
        expected[expected.rfind('_')] = '+';
        EXPECT_EQ(extras.labels[i], expected);
    }
}

}  // namespace
}  // namespace vesk
