#pragma once
// The relations file: the tasks of a task list with their flags and short-loop data, and the
// relations they carry as facts.

#include <filesystem>
#include <string>

#include "base/message_sink.h"
#include "mining/vesk_facts.h"
#include "mining/vesk_task.h"
#include "xml/xml_document.h"

namespace vesk {

inline constexpr const char* kMissingDistanceWarning =
    "This XML file could not be read, because a distance wasn't given for a >>> or <<< "
    "relation.";

// The file's text (lines end in CR LF). Asking for the causal lists derives them when needed;
// certainties use the given decimal separator.
std::string relations_file_text(Ttasklist& tasks, const std::string& dtd_location,
                                char decimal_separator);

// The longest task name (escaped) a relations file is written with: the parser's limits on
// text and on its look-ahead must hold for a fact that names two such tasks side by side.
inline constexpr std::size_t kMaxRelationsNameBytes = 1000000;

// Writes folder/file_name.xml whole or not at all; throws FileWriteError naming the path.
std::filesystem::path write_relations_file(Ttasklist& tasks, const std::filesystem::path& folder,
                                           const std::string& file_name,
                                           const std::string& dtd_location, char decimal_separator);

// Loads the file with the document's own choice of resolving externals, appends the file's tasks to
// `tasks` and its facts (switched off) to `facts`, then leaves the tasks without relations. Missing
// optional parts take defaults; a long-distance fact without a distance is reported to `sink`.
// Throws XmlReadError or LogFormatError for a file that cannot be read or lacks its "tasks" or
// "facts" element.
void read_relations_file(Towned_tasklist& tasks, XmlDocument& document, const std::string& path,
                         Tfactslist& facts, MessageSink& sink);

// A certainty as the reader takes it: every character other than a digit counts as the decimal
// separator; anything unreadable gives 1.
double parse_certainty(const std::string& text);

}  // namespace vesk
