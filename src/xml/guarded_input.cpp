#include "xml/guarded_input.h"

#include <cstring>
#include <string_view>

#include "base/read_errors.h"

namespace vesk {

namespace {

constexpr std::string_view kComment = "--";
constexpr std::string_view kCdata = "[CDATA[";

}  // namespace

GuardedInput::GuardedInput(const std::string& path) : file_(gzopen(path.c_str(), "rb")) {
    if (file_ == nullptr) throw XmlReadError(path + ": cannot be opened");
    gzbuffer(file_, 1 << 17);
}

GuardedInput::~GuardedInput() {
    gzclose(file_);
}

int GuardedInput::close(void*) {
    return 0;
}

int GuardedInput::read(void* context, char* buffer, int length) {
    auto& self = *static_cast<GuardedInput*>(context);
    if (self.fault_) return -1;
    const int got = gzread(self.file_, buffer, static_cast<unsigned>(length));
    int code = Z_OK;
    gzerror(self.file_, &code);
    if (got < 0 || (code != Z_OK && code != Z_STREAM_END)) {
        self.fault_ = "the compressed file is truncated or corrupt";
        return -1;
    }
    self.scan(buffer, static_cast<std::size_t>(got));
    return self.fault_ ? -1 : got;
}

void GuardedInput::enter_quote(char quote, State back) {
    quote_ = quote;
    after_quote_ = back;
    state_ = State::quoted;
}

// Where the markup of XML starts and ends, just closely enough to count the attributes of each
// start tag: every quoted value in it is one. Text and values are skipped with memchr.
void GuardedInput::scan(const char* data, std::size_t size) {
    std::size_t at = 0;
    while (at < size && !fault_) {
        if (state_ == State::text || state_ == State::quoted) {
            const char wanted = state_ == State::text ? '<' : quote_;
            const void* found = std::memchr(data + at, wanted, size - at);
            if (found == nullptr) return;
            at = static_cast<std::size_t>(static_cast<const char*>(found) - data) + 1;
            state_ = state_ == State::text ? State::open : after_quote_;
            continue;
        }
        if (step(data[at])) ++at;
    }
}

bool GuardedInput::step(char c) {
    switch (state_) {
        case State::open:
            attributes_ = 0;
            bang_progress_ = 0;
            bracket_depth_ = 0;
            state_ = c == '!'   ? State::bang
                     : c == '?' ? State::instruction
                     : c == '/' ? State::other_tag
                     : c == '>' ? State::text
                                : State::start_tag;
            break;
        case State::start_tag:
        case State::other_tag:
            if (c == '>') state_ = State::text;
            if (c != '"' && c != '\'') break;
            if (state_ == State::start_tag && ++attributes_ > kMaxAttributesPerElement) {
                fault_ = "an element has more than " + std::to_string(kMaxAttributesPerElement) +
                         " attributes, more than Vesk reads";
                return true;
            }
            enter_quote(c, state_);
            break;
        case State::bang:
            return bang_step(c);
        case State::comment:
            if (c == '>' && previous_ == '-' && before_previous_ == '-') state_ = State::text;
            break;
        case State::cdata:
            if (c == '>' && previous_ == ']' && before_previous_ == ']') state_ = State::text;
            break;
        case State::instruction:
            if (c == '>' && previous_ == '?') state_ = State::text;
            break;
        case State::declaration:
            if (c == '[') ++bracket_depth_;
            if (c == ']') --bracket_depth_;
            if (c == '"' || c == '\'') enter_quote(c, State::declaration);
            if (c == '>' && bracket_depth_ <= 0) state_ = State::text;
            break;
        case State::text:
        case State::quoted:
            break;
    }
    before_previous_ = previous_;
    previous_ = c;
    return true;
}

// "<!--" opens a comment, "<![CDATA[" a section, anything else a declaration; false when the
// character belongs to the declaration and is to be seen again.
bool GuardedInput::bang_step(char c) {
    if (bang_progress_ == 0) bang_target_ = c == '-' ? kComment : kCdata;
    if (c != bang_target_[static_cast<std::size_t>(bang_progress_)]) {
        state_ = State::declaration;
        return false;
    }
    if (++bang_progress_ == static_cast<std::int32_t>(bang_target_.size())) {
        state_ = bang_target_ == kComment ? State::comment : State::cdata;
        previous_ = before_previous_ = 0;
    }
    return true;
}

}  // namespace vesk
