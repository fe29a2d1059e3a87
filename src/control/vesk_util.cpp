#include "control/vesk_util.h"

#include "app/file_util.h"
#include "mining/vesk_task_build.h"
#include "mining/vesk_task_overlap.h"
#include "mining/vesk_task_relations_file.h"

namespace vesk {

std::string process_list_entry(const LogProcess& process) {
    return process.id + (process.description ? " (" + *process.description + ")" : " (none)");
}

std::string process_id_of_entry(const std::string& entry) {
    return entry.substr(0, entry.find(' '));
}

std::string relations_file_base_name(const std::string& log_path, const std::string& process_id) {
    return file_name_part(log_path) + " " + process_id + " relations";
}

void Tvesk_util::reset() {
    main_tasks_.free_all();
    log_.clear();
    case_count_ = -1;
    process_description_.clear();
}

void Tvesk_util::load_log(const std::string& file_name, bool resolve_externals) {
    reset();
    log_file_ = WorkflowLogFile(file_name, resolve_externals);
    case_count_ = -1;
}

std::vector<std::string> Tvesk_util::list_processes() const {
    std::vector<std::string> entries;
    for (const LogProcess& process : log_file_.list_processes())
        entries.push_back(process_list_entry(process));
    return entries;
}

void Tvesk_util::read_process(const std::string& process_id) {
    ProcessLog read = read_process_log(log_file_, process_id, filter_);
    log_ = std::move(read.lines);
    case_count_ = read.case_count;
    process_description_ = std::move(read.description);
}

void Tvesk_util::build_task_list() {
    vesk::build_task_list(log_, main_tasks_);
}

void Tvesk_util::overlap_parallel(const std::string& start_type, const std::string& stop_type) {
    vesk::overlap_parallel(log_, main_tasks_, start_type, stop_type);
}

std::filesystem::path Tvesk_util::write_relations(const std::filesystem::path& folder,
                                                  const std::string& file_name,
                                                  const std::string& dtd_location) {
    return write_relations_file(main_tasks_, folder, file_name, dtd_location, decimal_separator_);
}

void Tvesk_util::relations_text(std::vector<std::string>& lines) {
    for (Ttask* task : main_tasks_) {
        lines.emplace_back();
        lines.push_back(task->name() + "  " + std::to_string(task->loop_length));
        lines.push_back("  < " + task->name_list(NameList::predecessors));
        lines.push_back("  > " + task->name_list(NameList::successors));
        lines.push_back(" -> " + task->name_list(NameList::causal_successors));
        lines.push_back(" <- " + task->name_list(NameList::causal_predecessors));
        lines.push_back(" || " + task->name_list(NameList::parallel));
        if (task->loop_length == 2) {
            lines.emplace_back("two loop with:");
            for (const Ttask* partner : task->tasks_in_two_loop)
                lines.push_back("    " + partner->name());
        }
    }
}

}  // namespace vesk
