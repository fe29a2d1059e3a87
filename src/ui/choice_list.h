#pragma once

#include <string>
#include <vector>

namespace vesk {

// A drop-down list: its items and the selected one (-1: none).
struct ChoiceList {
    std::vector<std::string> items;
    int selected = -1;
    std::string text() const {
        return selected >= 0 ? items[static_cast<std::size_t>(selected)] : "";
    }
};

}  // namespace vesk
