#pragma once
// The net as a PNML place/transition net (ISO/IEC 15909-2), for the other tools analysts use.
// Ids follow the order of the net's lists (p0.., t0.., a0..), so they are the same in every
// run; invisible transitions are named "tau" and carry the toolspecific mark that the common
// readers take for a silent step.

#include <filesystem>
#include <string>

#include "net/vesk_redisc.h"

namespace vesk {

std::string pnml_text(const Tpetrinet& net, const std::string& process);

// Writes folder/base + ".pnml" whole ("log.xml 1 .pnml" for the base "log.xml 1 ").
std::filesystem::path Write_pnml(const Tpetrinet& net, const std::filesystem::path& folder,
                                 const std::string& base, const std::string& process);

}  // namespace vesk
