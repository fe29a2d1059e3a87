// The map of a large public log against counts taken from the file itself with libxml2's reader
// (not with the readers under test): complete events per trace, in file order.

#include <gtest/gtest.h>
#include <libxml/xmlreader.h>

#include <filesystem>
#include <map>

#include "control/map_run.h"
#include "process_map/map_logs.h"

namespace vesk {
namespace {

struct SourceMap {
    std::map<std::string, std::int64_t> events;
    std::map<std::string, std::int64_t> starts;
    std::map<std::string, std::int64_t> ends;
    std::map<std::pair<std::string, std::string>, std::int64_t> edges;
};

std::string attribute(xmlTextReaderPtr reader, const char* name) {
    xmlChar* value = xmlTextReaderGetAttribute(reader, BAD_CAST name);
    std::string text = value != nullptr ? reinterpret_cast<char*>(value) : "";
    xmlFree(value);
    return text;
}

void add_trace(const std::vector<std::string>& trace, SourceMap& counts) {
    if (trace.empty()) return;
    ++counts.starts[trace.front()];
    ++counts.ends[trace.back()];
    for (std::size_t i = 0; i < trace.size(); ++i) {
        ++counts.events[trace[i]];
        if (i > 0) ++counts.edges[{trace[i - 1], trace[i]}];
    }
}

// The complete events of each trace (lifecycle:transition "complete" in any case, or none).
SourceMap count_source(const std::filesystem::path& file) {
    SourceMap counts;
    xmlTextReaderPtr reader = xmlReaderForFile(file.c_str(), nullptr, XML_PARSE_NONET);
    EXPECT_NE(reader, nullptr);
    std::vector<std::string> trace;
    std::string name, transition;
    bool in_event = false;
    while (reader != nullptr && xmlTextReaderRead(reader) == 1) {
        const int type = xmlTextReaderNodeType(reader);
        const std::string element =
            reinterpret_cast<const char*>(xmlTextReaderConstLocalName(reader));
        const int depth = xmlTextReaderDepth(reader);
        if (type == XML_READER_TYPE_ELEMENT && element == "trace" && depth == 1) {
            add_trace(trace, counts);
            trace.clear();
        } else if (type == XML_READER_TYPE_ELEMENT && element == "event" && depth == 2) {
            in_event = true;
            name.clear();
            transition = "complete";
        } else if (type == XML_READER_TYPE_ELEMENT && in_event && depth == 3) {
            const std::string key = attribute(reader, "key");
            if (key == "concept:name") name = attribute(reader, "value");
            if (key == "lifecycle:transition") transition = attribute(reader, "value");
        } else if (type == XML_READER_TYPE_END_ELEMENT && element == "event" && depth == 2) {
            in_event = false;
            for (char& c : transition)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (transition == "complete") trace.push_back(name);
        }
    }
    add_trace(trace, counts);
    xmlFreeTextReader(reader);
    return counts;
}

TEST(ProcessMapSource, Bpic2012CompleteEventsMatchTheFile) {
    const std::filesystem::path file = std::filesystem::path(VESK_SHARED_XES) / "bpic2012.xes.gz";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "no " << file;
    const SourceMap source = count_source(file);
    const ProcessMap map = test::map_of_file(file.string());
    const auto name = [&map](std::int32_t id) {
        return map.activities[static_cast<std::size_t>(id)].name;
    };
    SourceMap read;
    for (const MapActivity& activity : map.activities)
        read.events[activity.name] = activity.events;
    for (const MapEndpoint& start : map.starts)
        read.starts[name(start.activity)] = start.cases;
    for (const MapEndpoint& end : map.ends)
        read.ends[name(end.activity)] = end.cases;
    for (const MapEdge& edge : map.edges)
        read.edges[{name(edge.from), name(edge.to)}] = edge.count;
    EXPECT_EQ(read.events, source.events);
    EXPECT_EQ(read.starts, source.starts);
    EXPECT_EQ(read.ends, source.ends);
    EXPECT_EQ(read.edges, source.edges);
    EXPECT_EQ(map.cases, 13087);
}

// Activity instances of start and complete events: where one began before the step before it
// ended there is no path time, and no figure of any public log is negative.
TEST(ProcessMapSource, NoFigureOfAnyPublicLogIsNegative) {
    const std::filesystem::path folder(VESK_SHARED_XES);
    if (!std::filesystem::exists(folder)) GTEST_SKIP() << "no " << folder;
    std::int64_t overlapping = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".xes") == std::string::npos) continue;
        const ProcessMap instances =
            test::map_of_file(entry.path().string(), UsedEvents{.start = true, .complete = true});
        for (const MapEdge& edge : instances.edges) {
            EXPECT_GE(edge.minutes.min, 0) << name << ": " << edge.from << " -> " << edge.to;
            EXPECT_EQ(edge.minutes.count + edge.overlapping, edge.count) << name;
            overlapping += edge.overlapping;
        }
        for (const MapActivity& activity : instances.activities) {
            if (activity.service_minutes && activity.service_minutes->count > 0) {
                EXPECT_GE(activity.service_minutes->min, 0) << name << ": " << activity.name;
            }
        }
        for (const MapVariant& variant : instances.variants)
            EXPECT_GE(variant.median_flow_minutes, 0) << name;
    }
    // bpic2012, the repair example and the interval log have instances that overlap.
    EXPECT_GT(overlapping, 0);
}

}  // namespace
}  // namespace vesk
