#pragma once
// An attribute condition or key that cannot be read or does not fit the log; what() names the
// part at fault. Front ends report it as wrong use, not as a failed run.

#include <stdexcept>

namespace vesk {

class AttributeConditionError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

}  // namespace vesk
