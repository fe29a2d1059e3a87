#pragma once
// The net as dot text, in two detail levels: the low level with clickable elements (and, for an
// export, the HTML pages), the high level with the timing figures beside the places.

#include <filesystem>
#include <string>

#include "formats/vesk_export_files.h"
#include "net/vesk_redisc.h"

namespace vesk {

// Which figures the high-detail file shows, per group.
struct FigureChoice {
    bool any = false;
    bool mean = false;
    bool variance = false;
    bool minimum = false;
    bool maximum = false;
};

struct ExportFlags {
    FigureChoice waiting;
    FigureChoice sync;
    FigureChoice sojourn;
};

// The choice with its any-figure flag set from the four figures.
FigureChoice figure_choice(bool mean, bool variance, bool minimum, bool maximum);

// The position of the place in the net, or the number of places when it is not there.
std::int32_t Place_index(const Tpetrinet& net, const Tplace* place);

// folder/base.dot, preceded, with write_html, by folder/Default.htm and followed by the pages of
// the ordinary places.
// true_shares: the arcs show the true shares of the replay (the report's drawing) instead of
// the chances the files show.
ExportFiles dot_low_files(const Tpetrinet& net, const std::filesystem::path& folder,
                          const std::string& base, const std::string& process, bool write_html,
                          bool write_probabilities, char separator, bool true_shares = false);
std::string dot_high_text(const Tpetrinet& net, const std::string& process,
                          const ExportFlags& flags, char separator);

// Returns the paths written: the index page, the place pages and the dot file.
std::vector<std::filesystem::path> Write_dot_low(const Tpetrinet& net,
                                                 const std::filesystem::path& folder,
                                                 const std::string& base,
                                                 const std::string& process, bool write_html,
                                                 bool write_probabilities, char separator);
void Write_dot_high(const Tpetrinet& net, const std::filesystem::path& folder,
                    const std::string& base, const std::string& process, const ExportFlags& flags,
                    char separator);

}  // namespace vesk
