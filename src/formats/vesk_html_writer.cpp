#include "formats/vesk_html_writer.h"

#include "base/file_util.h"
#include "base/number_format.h"
#include "xml/xml_text.h"

namespace vesk {

namespace {

void figure_lines(std::string& text, const TStoch_var& figures, char separator) {
    add_line(text, "<LI> #   : " + std::to_string(figures.Nr_of_observations()) + "<br>");
    add_line(text, "<LI> mean:  " + format_fixed4(figures.Mean(), separator) + "<br>");
    add_line(text, "<LI> var :   " + format_fixed4(figures.Variance(), separator) + "<br>");
    add_line(text, "<LI> min :     " + format_fixed4(figures.Minimum(), separator) + "<br>");
    add_line(text, "<LI> max :     " + format_fixed4(figures.Maximum(), separator) + "<br>");
}

// A name inside the text net's double quotes: a quote, a backslash or a line break of a log's
// name would end the string or the line early, so they are escaped as C writes them.
std::string tpn_quoted(std::string_view name) {
    std::string quoted = "\"";
    for (const char c : name) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            default:
                quoted += c;
        }
    }
    return quoted + "\"";
}

std::string place_name(const Tplace& place) {
    return tpn_quoted(place.input_set + "  " + place.output_set);
}

}  // namespace

std::string html_escaped(std::string_view text) {
    // The same four references serve HTML text and attributes.
    return xml_escaped(text);
}

std::string index_page_text(const Tpetrinet& net, const std::string& base, char separator) {
    std::string text;
    add_line(text, "<HTML>");
    add_line(text, "<BODY>");
    // The base comes from the log file and the process id: untrusted text.
    const std::string file = html_escaped(base);
    add_line(text, "   <A HREF=\"" + file + ".dot.map\" TARGET=\"_blank\">");
    add_line(text, "      <IMG SRC=\"" + file + ".dot.jpg\" ISMAP>");
    add_line(text, "   </A>");
    add_line(text, "   <br>");
    add_line(text, "<p><H3>Global flow time:</H3> ");
    const TStoch_var& flow = net.flow_time;
    add_line(text, "<UL><LI> #   : " + std::to_string(flow.Nr_of_observations()) + "<br>");
    add_line(text, "<LI> mean:  " + format_fixed4(flow.Mean(), separator) + "<br>");
    add_line(text, "<LI> var :   " + format_fixed4(flow.Variance(), separator) + "<br>");
    add_line(text, "<LI> min :     " + format_fixed4(flow.Minimum(), separator) + "<br>");
    add_line(text, "<LI> max :     " + format_fixed4(flow.Maximum(), separator) + "<br>");
    add_line(text, "</UL></p>");
    add_line(text, "</BODY>");
    add_line(text, "</HTML>");
    return text;
}

std::string place_page_text(const Tplace& place, char separator) {
    static const char* const kHead[] = {
        "<HTML>",
        "<SCRIPT LANGUAGE=JavaScript>",
        "   function window_onload(width, height){",
        "   \tif (document.layers) {",
        "   \t\t// resizeTo sets inner size, so use this instead",
        "   \t\twindow.outerWidth = width;",
        "   \t\twindow.outerHeight = height;",
        "   \t} else window.resizeTo(width,height);",
        "   \tx = (window.screen.availWidth-width)/2;",
        "   \ty = (window.screen.availHeight-height)/2;",
        "   \twindow.moveTo(x,y);",
        "   }",
        "</SCRIPT>",
        "<HEAD>",
        "<TITLE>",
        "Place information",
        "</TITLE>",
        "</HEAD>",
        "<BODY LANGUAGE=JavaScript onload=\"window_onload(550,400)\">",
        "<TABLE BORDER=2 CELLSPACING=2 CELLPADDING=5>",
        "<TR>"};
    std::string text;
    for (const char* line : kHead)
        add_line(text, line);
    const TStoch_var* columns[] = {&place.sync_time, &place.waiting_time, &place.sojourn_time};
    static const char* const kTitles[] = {"<TD><H3>Synchronizing time:</H3></TD>",
                                          "<TD><H3>Waiting time:      </H3></TD>",
                                          "<TD><H3>Sojourn time:      </H3></TD>"};
    for (int k = 0; k < 3; ++k)
        if (columns[k]->Nr_of_observations() >= 1) add_line(text, kTitles[k]);
    add_line(text, "</TR>");
    add_line(text, "<TR>");
    for (const TStoch_var* figures : columns) {
        if (figures->Nr_of_observations() < 1) continue;
        add_line(text, "<TD>");
        figure_lines(text, *figures, separator);
        add_line(text, "</TD>");
    }
    add_line(text, "</TR>");
    add_line(text, "</TABLE>");
    add_line(text, "<a href=\"javascript:window.close()\">Terug naar Petri-net</a>");
    add_line(text, "</BODY>");
    add_line(text, "</HTML>");
    return text;
}

std::string place_page_name(const std::string& base, std::int32_t index) {
    return base + "_Place" + std::to_string(index) + ".html";
}

std::string tpn_text(const Tpetrinet& net) {
    std::string text;
    for (const auto& place : net.places())
        add_line(text, "place " + place_name(*place) +
                           (place->input_set == kStartSet ? " init 1" : "") + ";");
    for (const auto& transition : net.transitions()) {
        std::string line = "trans " + tpn_quoted(transition->name) + " in ";
        for (const Tarc* arc : net.Arcs_of_transition(transition.get(), false))
            line += place_name(*arc->place) + " ";
        line += "out ";
        for (const Tarc* arc : net.Arcs_of_transition(transition.get(), true))
            line += place_name(*arc->place) + " ";
        add_line(text, line + ";");
    }
    return text;
}

void Write_tpn(const Tpetrinet& net, const std::filesystem::path& folder, const std::string& base) {
    write_file_atomically(folder / (base + ".tpn"), tpn_text(net));
}

std::vector<std::filesystem::path> write_export_files(const ExportFiles& files) {
    std::vector<std::filesystem::path> written;
    for (const ExportFile& file : files) {
        write_file_atomically(file.path, file.content);
        written.push_back(file.path);
    }
    return written;
}

}  // namespace vesk
