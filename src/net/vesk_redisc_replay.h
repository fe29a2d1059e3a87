#pragma once
// Replaying a log on a net: the token game finds what the net cannot reproduce and measures the
// waiting, synchronisation and sojourn times of the places and the flow time of the cases.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/message_sink.h"
#include "base/progress.h"
#include "log/vesk_loglist.h"
#include "net/vesk_redisc.h"
#include "net/vesk_token_fitness.h"

namespace vesk {

// Widens every measured interval: 0.05 second, in days.
inline constexpr double kMargin = 1.0 / 1728000.0;
// Token times closer than a millisecond count as equal.
inline constexpr double kEqualityTolerance = 1.0 / 86400000.0;

// Days since 30 December 1899, the time of day as the fraction; seconds are not used.
double date_time_value(const Tdate& date, std::int32_t hour, std::int32_t minute);
// Whole minutes between two date-time values, as a double: spans of centuries do not fit 32 bits.
double minutes_between(double a, double b);
// A duration measured from x to y, widened by the margin on both sides.
double widened_minutes(double x, double y);

// The task of each of the log's names (the first of that name), null where none.
std::vector<Ttask*> tasks_of_names(const Tloglist& log, const Ttasklist& tasks);
// Adds each line to its task's times_in_log, and sets each transition's occurrences.
void count_task_lines(Tpetrinet& net, const Tloglist& log, const std::vector<Ttask*>& task_of_name);
// Records a task whose transition fired while not enabled (once per task), or a line whose
// task the net does not know (once per name, in `reported`); with show_messages says so and
// returns true the first time.
bool report_unfired(Tpetrinet& net, std::vector<std::string>& reported, MessageSink& sink,
                    Ttask* task, const std::string& name, bool show_messages);
// Each arc leaving a place gets its branch chance and its share of the place's firings.
void set_branch_probabilities(Tpetrinet& net);

// The replay of the nets built from relations, whose invisible transitions are tried in one
// pass; nets replayed by shortest sequences take SequenceReplay.
class Treplay {
public:
    // The net must not change while the replay object lives.
    Treplay(Tpetrinet& net, const Tloglist& log, const Ttasklist& tasks, MessageSink& sink);

    // The whole replay, to the end of the log, every finding recorded in the net; with
    // show_messages each finding also goes to the sink once, as it is found, and where there
    // was none the sink hears so at the end. Returns the counted token game of the same pass.
    TokenCounts Replay(bool show_messages);
    // "Replaying" with the cases begun of all cases, every kProgressEvery cases.
    void set_progress(ProgressCallback progress) { progress_ = std::move(progress); }

    // Each returns true when a message was shown.
    bool Fire_task(Ttask* task, const std::string& line_name, bool show_messages, double time);
    bool Fire(Ttransition* transition, bool show_messages, double time);
    bool Is_enabled(const Ttransition* transition) const;
    bool Put_token(Tplace* place, bool show_messages, double time);
    static void Take_token(Tplace* place) { place->token_time = NO_TOKEN; }
    bool Check_tokens_left(bool show_messages);

private:
    bool report_unfired(Ttask* task, const std::string& name, bool show_messages);

    Tpetrinet& net_;
    const Tloglist& log_;
    const Ttasklist& tasks_;
    MessageSink& sink_;
    std::unordered_map<const Ttransition*, std::vector<Tarc*>> arcs_of_;
    Ttask* task_of(const Tlog_line& line) const {
        return task_of_name_id_[static_cast<std::size_t>(line.name_id())];
    }
    std::vector<Ttask*> task_of_name_id_;
    std::unordered_map<const Ttask*, Ttransition*> transition_of_;
    std::vector<Ttransition*> skip_transitions_;
    std::vector<std::string> unknown_reported_;
    ProgressCallback progress_;
    TokenGame tokens_;
};

}  // namespace vesk
