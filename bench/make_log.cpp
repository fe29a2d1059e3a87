// Writes a synthetic XML workflow log of a random block-structured process (sequences, choices,
// parallel branches and short loops) for benchmarks and scale tests.
//
// make_log [--cases N] [--activities K] [--events start,complete] [--seed S] [--format xml|xes]
//          [--width W] [--loops PERCENT] [--attributes N] [--out FILE]
// The XES output holds the same events as the XML output of the same seed, with lifecycle
// transitions and ISO 8601 timestamps, and the attributes an XES export usually carries.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct Options {
    long cases = 1000;
    int activities = 30;
    bool with_start = true;
    unsigned seed = 1;
    bool xes = false;
    std::string out;
    // The shape: most parts of a block, and the share of blocks (in percent) that loop.
    std::size_t width = 3;
    int loop_percent = 5;
    // XES: further attributes besides org:resource, in turn a case text, a case number, an event
    // text, an event decimal and an event number.
    int attributes = 0;
};

constexpr int kAttributeKinds = 5;

bool case_attribute(int k) {
    return k % kAttributeKinds < 2;
}

// One attribute element of kind k (the k-th extra attribute) with a value drawn from `random`.
void write_attribute(std::FILE* out, int k, std::mt19937& random, const char* indent) {
    const int round = k / kAttributeKinds;
    const auto draw = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    switch (k % kAttributeKinds) {
        case 0:
            std::fprintf(out, "%s<string key=\"channel_%d\" value=\"channel %d\"/>\n", indent,
                         round, draw(0, 9));
            break;
        case 1:
            std::fprintf(out, "%s<int key=\"amount_%d\" value=\"%d\"/>\n", indent, round,
                         draw(100, 100000));
            break;
        case 2:
            std::fprintf(out, "%s<string key=\"team_%d\" value=\"team %d\"/>\n", indent, round,
                         draw(0, 49));
            break;
        case 3:
            std::fprintf(out, "%s<float key=\"cost_%d\" value=\"%d.%02d\"/>\n", indent, round,
                         draw(0, 999), draw(0, 99));
            break;
        default:
            std::fprintf(out, "%s<int key=\"priority_%d\" value=\"%d\"/>\n", indent, round,
                         draw(1, 5));
    }
}

enum class Kind { activity, sequence, choice, parallel, loop };

struct Block {
    Kind kind = Kind::activity;
    int activity = 0;
    std::vector<std::unique_ptr<Block>> children;
};

std::unique_ptr<Block> build(std::vector<int> acts, std::mt19937& random, const Options& o) {
    auto block = std::make_unique<Block>();
    if (acts.size() == 1) {
        block->activity = acts[0];
        return block;
    }
    const int pick = std::uniform_int_distribution<int>(0, 99)(random);
    block->kind = pick < 45                     ? Kind::choice
                  : pick < 75                   ? Kind::sequence
                  : pick < 100 - o.loop_percent ? Kind::parallel
                                                : Kind::loop;
    const std::size_t parts = std::min<std::size_t>(
        acts.size(), std::uniform_int_distribution<std::size_t>(2, o.width)(random));
    if (block->kind == Kind::loop) block->kind = acts.size() == 2 ? Kind::loop : Kind::sequence;
    std::size_t begin = 0;
    for (std::size_t p = 0; p < parts; ++p) {
        const std::size_t end =
            p + 1 == parts ? acts.size() : begin + (acts.size() - begin) / (parts - p);
        block->children.push_back(
            build({acts.begin() + static_cast<long>(begin), acts.begin() + static_cast<long>(end)},
                  random, o));
        begin = end;
    }
    return block;
}

struct Event {
    long minute;
    int activity;
    bool start;
};

// Runs the block from `time` and returns when it ends.
long simulate(const Block& block, long time, std::mt19937& random, std::vector<Event>& events) {
    switch (block.kind) {
        case Kind::activity: {
            const long begin = time + std::uniform_int_distribution<long>(1, 30)(random);
            const long end = begin + std::uniform_int_distribution<long>(5, 120)(random);
            events.push_back({begin, block.activity, true});
            events.push_back({end, block.activity, false});
            return end;
        }
        case Kind::sequence:
            for (const auto& child : block.children)
                time = simulate(*child, time, random, events);
            return time;
        case Kind::choice: {
            const auto pick =
                std::uniform_int_distribution<std::size_t>(0, block.children.size() - 1)(random);
            return simulate(*block.children[pick], time, random, events);
        }
        case Kind::parallel: {
            long end = time;
            for (const auto& child : block.children)
                end = std::max(end, simulate(*child, time, random, events));
            return end;
        }
        case Kind::loop: {
            time = simulate(*block.children[0], time, random, events);
            while (std::uniform_int_distribution<int>(0, 2)(random) == 0) {
                time = simulate(*block.children[1], time, random, events);
                time = simulate(*block.children[0], time, random, events);
            }
            return time;
        }
    }
    return time;
}

void write_iso_time(std::FILE* out, long minute) {
    const long day = minute / 1440;
    std::fprintf(out, "%04ld-%02ld-%02ldT%02ld:%02ld:00.000+01:00", 2002 + day / 336,
                 day / 28 % 12 + 1, day % 28 + 1, minute / 60 % 24, minute % 60);
}

void write_time(std::FILE* out, long minute) {
    const long day = minute / 1440;
    // Day 0 is 1 January 2002; months of 28 days keep every date valid and simple.
    std::fprintf(out, "<date>%02ld-%02ld-%04ld</date><time>%02ld:%02ld:00</time>", day % 28 + 1,
                 day / 28 % 12 + 1, 2002 + day / 336, minute / 60 % 24, minute % 60);
}

Options parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::runtime_error(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--cases")
            o.cases = std::stol(value());
        else if (arg == "--activities")
            o.activities = std::stoi(value());
        else if (arg == "--events")
            o.with_start = value().find("start") != std::string::npos;
        else if (arg == "--seed")
            o.seed = static_cast<unsigned>(std::stoul(value()));
        else if (arg == "--format")
            o.xes = value() == "xes";
        else if (arg == "--out")
            o.out = value();
        else if (arg == "--width")
            o.width = std::stoul(value());
        else if (arg == "--attributes")
            o.attributes = std::stoi(value());
        else if (arg == "--loops")
            o.loop_percent = std::stoi(value());
        else if (arg == "--help") {
            std::cout << "make_log [--cases N] [--activities K] [--events start,complete] "
                         "[--seed S] [--format xml|xes] [--width W] [--loops PERCENT] "
                         "[--attributes N] [--out FILE]\n"
                         "  --attributes: XES only, N attributes besides org:resource, case and "
                         "event, text and numbers (default 0)\n"
                         "  --width: most parts of a sequence, choice or parallel block (default "
                         "3)\n  --loops: share of blocks that are loops (default 5)\n";
            std::exit(0);
        } else
            throw std::runtime_error("unknown argument " + arg);
    }
    if (o.cases < 1 || o.activities < 1) throw std::runtime_error("counts must be positive");
    if (o.width < 2) throw std::runtime_error("--width must be at least 2");
    if (o.loop_percent < 0 || o.loop_percent > 25)
        throw std::runtime_error("--loops must be between 0 and 25");
    if (o.attributes < 0) throw std::runtime_error("--attributes must not be negative");
    if (o.attributes > 0 && !o.xes) throw std::runtime_error("--attributes needs --format xes");
    return o;
}

}  // namespace

int main(int argc, char** argv) try {
    const Options o = parse(argc, argv);
    std::mt19937 random(o.seed);
    std::vector<int> acts(static_cast<std::size_t>(o.activities));
    for (int a = 0; a < o.activities; ++a)
        acts[static_cast<std::size_t>(a)] = a;
    const auto process = build(acts, random, o);

    std::FILE* out = o.out.empty() ? stdout : std::fopen(o.out.c_str(), "wb");
    if (out == nullptr) throw std::runtime_error("cannot write " + o.out);
    if (o.xes)
        std::fputs(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<log xes.version=\"1.0\" xmlns=\"http://www.xes-standard.org/\">\n"
            "<extension name=\"Concept\" prefix=\"concept\" uri=\"concept.xesext\"/>\n"
            "<extension name=\"Lifecycle\" prefix=\"lifecycle\" uri=\"lifecycle.xesext\"/>\n"
            "<extension name=\"Time\" prefix=\"time\" uri=\"time.xesext\"/>\n"
            "<classifier name=\"Activity\" keys=\"concept:name lifecycle:transition\"/>\n"
            "<string key=\"concept:name\" value=\"1\"/>\n",
            out);
    else
        std::fputs(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<WorkFlow_log>\n"
            "<source program=\"make_log\"/>\n<process id=\"1\" description=\"generated\">\n",
            out);
    long total = 0;
    std::vector<Event> events;
    for (long c = 0; c < o.cases; ++c) {
        events.clear();
        simulate(*process, c * 7, random, events);
        std::stable_sort(events.begin(), events.end(),
                         [](const Event& a, const Event& b) { return a.minute < b.minute; });
        if (o.xes) {
            std::fprintf(out, "<trace>\n\t<string key=\"concept:name\" value=\"case_%ld\"/>\n", c);
            for (int k = 0; k < o.attributes; ++k)
                if (case_attribute(k)) write_attribute(out, k, random, "\t");
        } else
            std::fprintf(out, "<process_instance id=\"case_%ld\">\n", c);
        for (const Event& e : events) {
            if (e.start && !o.with_start) continue;
            if (o.xes) {
                std::fprintf(
                    out,
                    "\t<event>\n\t\t<string key=\"concept:name\" value=\"activity %02d\"/>\n"
                    "\t\t<string key=\"lifecycle:transition\" value=\"%s\"/>\n"
                    "\t\t<string key=\"org:resource\" value=\"user %d\"/>\n"
                    "\t\t<date key=\"time:timestamp\" value=\"",
                    e.activity, e.start ? "start" : "complete", e.activity % 7);
                write_iso_time(out, e.minute);
                std::fputs("\"/>\n", out);
                for (int k = 0; k < o.attributes; ++k)
                    if (!case_attribute(k)) write_attribute(out, k, random, "\t\t");
                std::fputs("\t</event>\n", out);
            } else {
                std::fputs("  <audit_trail_entry>", out);
                write_time(out, e.minute);
                std::fprintf(out,
                             "<task_name>activity %02d</task_name><event kind=\"%s\"/>"
                             "</audit_trail_entry>\n",
                             e.activity, e.start ? "start" : "complete");
            }
            ++total;
        }
        std::fputs(o.xes ? "</trace>\n" : "</process_instance>\n", out);
    }
    std::fputs(o.xes ? "</log>\n" : "</process>\n</WorkFlow_log>\n", out);
    if (out != stdout) std::fclose(out);
    std::cerr << "make_log: " << o.cases << " cases, " << total << " events\n";
    return 0;
} catch (const std::exception& error) {
    std::cerr << "make_log: " << error.what() << '\n';
    return 2;
}
