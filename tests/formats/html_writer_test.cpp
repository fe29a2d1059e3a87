#include "formats/vesk_html_writer.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

TEST(HtmlWriter, PlacePageHasAColumnPerFilledFigure) {
    Tplace place("*A*", "*B*");
    std::string empty = place_page_text(place, '.');
    EXPECT_NE(empty.find("<TR>\r\n</TR>\r\n<TR>\r\n</TR>\r\n"), std::string::npos);
    EXPECT_NE(empty.find("   \tif (document.layers) {\r\n   \t\t// resizeTo"), std::string::npos);
    place.waiting_time.Add_observation(25);
    const std::string waiting = place_page_text(place, ',');
    EXPECT_NE(
        waiting.find("<TR>\r\n<TD><H3>Waiting time:      </H3></TD>\r\n</TR>\r\n<TR>\r\n<TD>\r\n"
                     "<LI> #   : 1<br>\r\n<LI> mean:  25,0000<br>\r\n"),
        std::string::npos);
    EXPECT_EQ(waiting.find("Synchronizing"), std::string::npos);
    EXPECT_EQ(place_page_name("orders low", 3), "orders low_Place3.html");
}

TEST(HtmlWriter, TextNet) {
    Tpetrinet net;
    Tplace* start = net.Add_place("_#start#_", "*A*");
    Tplace* p = net.Add_place("*A*", "*B*");
    Ttransition* a = net.Add_transition("A_complete", nullptr);
    net.Add_input_arc(start, a, 1);
    net.Add_output_arc(a, p, 1);
    net.Add_transition("X", nullptr);
    EXPECT_EQ(tpn_text(net),
              "place \"_#start#_  *A*\" init 1;\r\nplace \"*A*  *B*\";\r\n"
              "trans \"A_complete\" in \"_#start#_  *A*\" out \"*A*  *B*\" ;\r\n"
              "trans \"X\" in out ;\r\n");
}

}  // namespace
}  // namespace vesk
