#pragma once
// The HTML index page, the per-place pages and the text net.

#include <filesystem>
#include <string>
#include <string_view>

#include "formats/vesk_export_files.h"
#include "net/vesk_redisc.h"

namespace vesk {

// Text for HTML text and attribute values: &, <, > and " as references, all else unchanged.
std::string html_escaped(std::string_view text);

// "Default.htm": the picture of `base`.dot as an image map and the global flow time.
std::string index_page_text(const Tpetrinet& net, const std::string& base, char separator);
// The synchronisation, waiting and sojourn figures of one place.
std::string place_page_text(const Tplace& place, char separator);
// File name of the page of place j: base + "_Place" + j + ".html".
std::string place_page_name(const std::string& base, std::int32_t index);
// Places with their sets and transitions with their input and output places.
std::string tpn_text(const Tpetrinet& net);

void Write_tpn(const Tpetrinet& net, const std::filesystem::path& folder, const std::string& base);

}  // namespace vesk
