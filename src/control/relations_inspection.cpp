#include "control/relations_inspection.h"

#include "mining/vesk_task_relations_file.h"

namespace vesk {

void RelationsInspection::open_with_task_list() {
    facts_ = std::make_unique<Tfactslist>(controller_.main_task_list());
    prepare();
}

void RelationsInspection::open_with_relations_file(const std::string& path, bool resolve_externals,
                                                   MessageSink& sink) {
    Towned_tasklist& tasks = controller_.main_task_list();
    facts_ = std::make_unique<Tfactslist>(tasks);
    relations_xml_.set_resolve_externals(resolve_externals);
    clear_relations(tasks);
    read_relations_file(tasks, relations_xml_, path, *facts_, sink);
    prepare();
}

void RelationsInspection::prepare() {
    facts_->build_from_tasks();
    facts_->mark_all_used();
    facts_->sort();
    check_relations();
}

}  // namespace vesk
