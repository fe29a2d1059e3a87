#pragma once
// A complete text picture of a task list, list orders and values included, for comparisons.

#include <string>

#include "mining/vesk_task.h"

namespace vesk::test {

std::string dump_tasks(const Ttasklist& tasks);
// Names of a list, blank-separated, with values where they are not "none".
std::string names(const Ttasklist& list);

}  // namespace vesk::test
