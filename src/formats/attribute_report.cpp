#include "formats/attribute_report.h"

#include "base/number_format.h"
#include "formats/vesk_html_writer.h"
#include "formats/vesk_report_writer.h"

namespace vesk {

namespace {

// Tables stay readable in a browser: the rest is in the JSON of the command line.
constexpr std::size_t kRowsShown = 200;

std::string cell(const std::string& text) {
    return "<td>" + html_escaped(text) + "</td>";
}

std::string count_cell(std::int64_t count) {
    return "<td>" + grouped_number(count) + "</td>";
}

std::string range_text(const AttributeSummary& s) {
    if (!s.min) return {};
    return attribute_number_text(s.type, *s.min) + " to " + attribute_number_text(s.type, *s.max) +
           ", median " + attribute_number_text(s.type, *s.median);
}

std::string more_rows(std::size_t total) {
    return total > kRowsShown ? "<p>The first " + std::to_string(kRowsShown) + " of " +
                                    grouped_number(static_cast<std::int64_t>(total)) + ".</p>\n"
                              : std::string();
}

}  // namespace

const char* const kAttributeViewsStyle = R"(
#view-attributes, #view-resources { padding: 4px 20px 20px 20px; }
table.attributes, table.resources { border-collapse: collapse; font-size: 13px; margin: 8px 0; }
table.attributes td, table.attributes th, table.resources td, table.resources th {
  border: 1px solid #c8d4e3; padding: 3px 8px; text-align: left; vertical-align: top; }
#handover-picture { height: 50vh; min-height: 280px; border: 1px solid #c8d4e3; }
)";

std::string attributes_view_html(const std::vector<AttributeSummary>& summaries) {
    std::string html =
        "<section id=\"view-attributes\" class=\"view\">\n<p>" + std::to_string(summaries.size()) +
        " attributes of the cases and events read, with their most frequent values (counted in "
        "cases for a case attribute, in events for an event attribute).</p>\n"
        "<table class=\"attributes\">\n<tr><th>Key</th><th>Level</th><th>Type</th><th>Cases</th>"
        "<th>Events</th><th>Distinct</th><th>Range</th><th>Most frequent</th></tr>\n";
    for (const AttributeSummary& s : summaries) {
        html += "<tr>" + cell(s.key) + cell(attribute_level_name(s.level)) +
                cell(attribute_type_name(s.type)) + count_cell(s.cases) + count_cell(s.events) +
                count_cell(s.distinct) + cell(range_text(s)) + "<td>";
        for (std::size_t i = 0; i < s.top.size(); ++i)
            html += (i == 0 ? "" : ", ") + html_escaped(s.top[i].value) + " (" +
                    grouped_number(s.top[i].count) + ")";
        html += "</td></tr>\n";
    }
    return html + "</table>\n</section>\n";
}

std::string resources_view_html(const ResourceViews& views, std::string_view handover_svg,
                                const std::string& resource_key) {
    std::string html = "<section id=\"view-resources\" class=\"view\">\n<p>" +
                       grouped_number(static_cast<std::int64_t>(views.resources.size())) +
                       " resources (" + html_escaped(resource_key) + "); " +
                       grouped_number(views.events_without_resource) + " of " +
                       grouped_number(views.events) +
                       " events carry none. The handover of work: who passes a case on to "
                       "whom; the drawing keeps the most frequent paths, the tables list "
                       "them all.</p>\n";
    if (!handover_svg.empty())
        html += "<div id=\"handover-picture\" class=\"zoomable\">\n" +
                svg_without_prolog(handover_svg) + "\n</div>\n";
    html +=
        "<h3>Resources</h3>\n<table class=\"resources\">\n<tr><th>Resource</th><th>Events</th>"
        "<th>Cases</th><th>Activities</th></tr>\n";
    for (std::size_t i = 0; i < views.resources.size() && i < kRowsShown; ++i) {
        const ResourceFigures& r = views.resources[i];
        html += "<tr>" + cell(r.resource) + count_cell(r.events) + count_cell(r.cases) +
                count_cell(r.activities) + "</tr>\n";
    }
    html += "</table>\n" + more_rows(views.resources.size());
    html +=
        "<h3>Handovers</h3>\n<table class=\"resources\">\n<tr><th>From</th><th>To</th>"
        "<th>Count</th><th>Median time</th></tr>\n";
    for (std::size_t i = 0; i < views.handovers.size() && i < kRowsShown; ++i) {
        const Handover& h = views.handovers[i];
        html += "<tr>" + cell(h.from) + cell(h.to) + count_cell(h.count) + "<td>" +
                minutes_text(h.median_minutes) + "</td></tr>\n";
    }
    html += "</table>\n" + more_rows(views.handovers.size());
    html +=
        "<h3>Activities by resource</h3>\n<table class=\"resources\">\n<tr><th>Activity</th>"
        "<th>Resource</th><th>Events</th></tr>\n";
    for (std::size_t i = 0; i < views.activity_resources.size() && i < kRowsShown; ++i) {
        const ActivityResource& a = views.activity_resources[i];
        html += "<tr>" + cell(a.activity) + cell(a.resource) + count_cell(a.events) + "</tr>\n";
    }
    return html + "</table>\n" + more_rows(views.activity_resources.size()) + "</section>\n";
}

}  // namespace vesk
