#include "base/file_util.h"
#include "base/number_format.h"
#include "formats/vesk_task_relations_file.h"
#include "xml/xml_text.h"

namespace vesk {

namespace {

// Attribute values escape "&", "<" and the double quote.
std::string escape_attribute(const std::string& text) {
    return xml_escaped(text, false);
}

class RelationsWriter {
public:
    RelationsWriter(std::string& out, char separator) : out_(out), separator_(separator) {}

    void line(int indent, const std::string& text) {
        out_.append(static_cast<std::size_t>(indent), ' ').append(text).append("\r\n");
    }

    // name="raw" kind="event" with the given attribute names.
    static std::string identity(const Ttask& task, const char* name_attr, const char* kind_attr) {
        const TstringTuple parts = task.split_name();
        return std::string(name_attr) + "=\"" + escape_attribute(parts.raw_name) + "\" " +
               kind_attr + "=\"" + escape_attribute(parts.event) + "\"";
    }

    void task(Ttask& task) {
        line(4, "<task " + identity(task, "name", "kind") + ">");
        if (task.is_trace_start) line(6, "<is_trace_start>true</is_trace_start>");
        if (task.is_trace_end) line(6, "<is_trace_end>true</is_trace_end>");
        const std::int32_t loop = task.loop_length == kNone ? 0 : task.loop_length;
        line(6, "<loop_length>" + std::to_string(loop) + "</loop_length>");
        if (task.times_in_log > 0)
            line(6, "<times_in_log>" + std::to_string(task.times_in_log) + "</times_in_log>");
        if (task.loop_length == 2) {
            line(6, "<tasks_in_two_loop>");
            for (const Ttask* partner : task.tasks_in_two_loop)
                line(8, "<task_ref " + identity(*partner, "name_ref", "kind_ref") + "/>");
            line(6, "</tasks_in_two_loop>");
        }
        line(4, "</task>");
    }

    void fact(const Tfact& fact) {
        line(4, "<fact kind=\"" + std::string(Tfactslist::kind_name(fact)) + "\" certainty=\"" +
                    format_general(fact.certainty, separator_) + "\">");
        line(6, "<task1 " + identity(*fact.task1, "id", "kind") + "/>");
        line(6, "<task2 " + identity(*fact.task2, "id", "kind") + "/>");
        if (fact.kind == Trelation_kind::long_succ)
            line(6, "<distance>" + std::to_string(fact.distance) + "</distance>");
        line(4, "</fact>");
    }

private:
    std::string& out_;
    char separator_;
};

}  // namespace

std::string relations_file_text(Ttasklist& tasks, const std::string& dtd_location,
                                char decimal_separator) {
    std::string text;
    RelationsWriter writer(text, decimal_separator);
    writer.line(0, "<?xml version=\"1.0\"?>");
    writer.line(0, "<!DOCTYPE WF_relations SYSTEM \"" + dtd_location + "\">");
    writer.line(0, "<WF_relations>");
    writer.line(2, "<tasks>");
    for (Ttask* task : tasks)
        writer.task(*task);
    writer.line(2, "</tasks>");
    writer.line(2, "<facts>");
    // The relations the tasks carry, not facts stated elsewhere.
    Tfactslist facts(tasks);
    facts.build_from_tasks();
    for (const Tfact& fact : facts.facts())
        writer.fact(fact);
    writer.line(2, "</facts>");
    writer.line(0, "</WF_relations>");
    return text;
}

std::filesystem::path write_relations_file(Ttasklist& tasks, const std::filesystem::path& folder,
                                           const std::string& file_name,
                                           const std::string& dtd_location,
                                           char decimal_separator) {
    const std::filesystem::path path = folder / (file_name + ".xml");
    // Checked before anything is written, so an old file stays as it was.
    for (const Ttask* task : tasks) {
        const std::size_t size = escape_attribute(task->split_name().raw_name).size();
        if (size > kMaxRelationsNameBytes)
            throw FileWriteError("Cannot write " + path.string() + ": the name of a task has " +
                                 std::to_string(size) + " bytes, more than the " +
                                 std::to_string(kMaxRelationsNameBytes) +
                                 " that a relations file can be read back with");
    }
    write_file_atomically(path, relations_file_text(tasks, dtd_location, decimal_separator));
    return path;
}

}  // namespace vesk
