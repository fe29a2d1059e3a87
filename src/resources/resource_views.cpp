#include "resources/resource_views.h"

#include <algorithm>
#include <map>
#include <set>

#include "process_map/attribute_nodes.h"
#include "process_map/case_steps.h"

namespace vesk {

namespace {

double median_of(std::vector<double>& values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

template <typename T, typename Count>
void sort_by_count(std::vector<T>& items, Count count) {
    std::stable_sort(items.begin(), items.end(),
                     [&count](const T& x, const T& y) { return count(x) > count(y); });
}

struct CaseResources {
    std::map<std::string, ResourceFigures> figures;
    std::map<std::pair<std::string, std::string>, std::vector<double>> handover_minutes;
    std::map<std::pair<std::string, std::string>, std::int64_t> together;
    std::map<std::string, std::set<std::string>> activities_of;
};

// Each name of a log without its event type, worked out once per name rather than per line.
std::vector<std::string> activities_by_name_id(const Tloglist& lines) {
    std::vector<std::string> activities;
    for (std::int32_t id = 0; id < lines.name_count(); ++id)
        activities.push_back(activity_of(lines.name_of(id)));
    return activities;
}

void add_case(const Tloglist& by_resource, const std::vector<std::string>& resource_of,
              std::size_t begin, std::size_t end, CaseResources& gathered) {
    const auto resource_at = [&](std::size_t row) -> const std::string& {
        return resource_of[static_cast<std::size_t>(by_resource[row].name_id())];
    };
    std::set<std::string> in_case;
    for (std::size_t row = begin; row < end; ++row) {
        const std::string& resource = resource_at(row);
        if (in_case.insert(resource).second) ++gathered.figures[resource].cases;
        if (row + 1 < end) {
            const std::string& next = resource_at(row + 1);
            if (next != resource)
                gathered.handover_minutes[{resource, next}].push_back(
                    minute_stamp(by_resource[row + 1]) - minute_stamp(by_resource[row]));
        }
    }
    for (auto a = in_case.begin(); a != in_case.end(); ++a)
        for (auto b = std::next(a); b != in_case.end(); ++b)
            ++gathered.together[{*a, *b}];
}

}  // namespace

ResourceViews resource_views(const Tloglist& lines, std::string_view resource_key) {
    const RelabelledLog by_resource = lines_by_attribute(lines, resource_key);
    const AttributeColumn& column =
        *lines.attributes().find(resource_key, AttributeLevel::event_level);
    ResourceViews views;
    views.events = static_cast<std::int64_t>(lines.size());
    views.events_without_resource = by_resource.events_without_value;
    CaseResources gathered;
    std::vector<std::string> activity_order;
    std::map<std::pair<std::string, std::string>, std::int64_t> activity_resource;
    const std::vector<std::string> activity_of_name = activities_by_name_id(lines);
    for (std::size_t row = 0; row < lines.size(); ++row) {
        if (!column.has(row)) continue;
        const std::string& activity =
            activity_of_name[static_cast<std::size_t>(lines[row].name_id())];
        const std::string resource = column.text(row);
        if (std::find(activity_order.begin(), activity_order.end(), activity) ==
            activity_order.end())
            activity_order.push_back(activity);
        ++activity_resource[{activity, resource}];
        ++gathered.figures[resource].events;
        gathered.activities_of[resource].insert(activity);
    }
    const Tloglist& relabelled = by_resource.lines;
    const std::vector<std::string> resource_of = activities_by_name_id(relabelled);
    for (std::size_t begin = 0; begin < relabelled.size();) {
        const std::size_t end = relabelled.case_end(begin);
        add_case(relabelled, resource_of, begin, end, gathered);
        begin = end;
    }
    for (auto& [resource, figures] : gathered.figures) {
        figures.resource = resource;
        figures.activities = static_cast<std::int64_t>(gathered.activities_of[resource].size());
        views.resources.push_back(figures);
    }
    sort_by_count(views.resources, [](const ResourceFigures& r) { return r.events; });
    for (auto& [pair, minutes] : gathered.handover_minutes)
        views.handovers.push_back({pair.first, pair.second,
                                   static_cast<std::int64_t>(minutes.size()), median_of(minutes)});
    sort_by_count(views.handovers, [](const Handover& h) { return h.count; });
    for (const auto& [pair, cases] : gathered.together)
        views.together.push_back({pair.first, pair.second, cases});
    sort_by_count(views.together, [](const WorkingTogether& t) { return t.cases; });
    for (const std::string& activity : activity_order) {
        std::vector<ActivityResource> rows;
        for (auto it = activity_resource.lower_bound({activity, std::string()});
             it != activity_resource.end() && it->first.first == activity; ++it)
            rows.push_back({activity, it->first.second, it->second});
        sort_by_count(rows, [](const ActivityResource& r) { return r.events; });
        views.activity_resources.insert(views.activity_resources.end(), rows.begin(), rows.end());
    }
    return views;
}

}  // namespace vesk
