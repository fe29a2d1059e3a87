#pragma once
// The help of 'vesk-cli mine' after its options: what the command does, its log options, its
// files and its JSON.

#include <string>

namespace vesk::cli {

std::string mine_footer_text();

}  // namespace vesk::cli
