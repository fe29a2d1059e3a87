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
    const char* const end = data + size;
    for (const char* at = data; at < end; ++at) {
        switch (state_) {
            case State::text:
                at = static_cast<const char*>(
                    std::memchr(at, '<', static_cast<std::size_t>(end - at)));
                if (at == nullptr) return;
                state_ = State::open;
                continue;
            case State::quoted:
                at = static_cast<const char*>(
                    std::memchr(at, quote_, static_cast<std::size_t>(end - at)));
                if (at == nullptr) return;
                state_ = after_quote_;
                continue;
            case State::open:
                attributes_ = 0;
                bang_progress_ = 0;
                bracket_depth_ = 0;
                state_ = *at == '!'   ? State::bang
                         : *at == '?' ? State::instruction
                         : *at == '/' ? State::other_tag
                                      : State::start_tag;
                if (*at == '>') state_ = State::text;
                break;
            case State::start_tag:
            case State::other_tag:
                if (*at == '>') {
                    state_ = State::text;
                } else if (*at == '"' || *at == '\'') {
                    if (state_ == State::start_tag && ++attributes_ > kMaxAttributesPerElement) {
                        fault_ = "an element has more than " +
                                 std::to_string(kMaxAttributesPerElement) +
                                 " attributes, more than Vesk reads";
                        return;
                    }
                    enter_quote(*at, state_);
                }
                break;
            case State::bang:
                // "<!--" opens a comment, "<![CDATA[" a section, anything else a declaration.
                if (bang_progress_ == 0) bang_target_ = *at == '-' ? kComment : kCdata;
                if (*at != bang_target_[static_cast<std::size_t>(bang_progress_)]) {
                    state_ = State::declaration;
                    --at;  // the character belongs to the declaration
                    continue;
                }
                if (++bang_progress_ == static_cast<std::int32_t>(bang_target_.size())) {
                    state_ = bang_target_ == kComment ? State::comment : State::cdata;
                    previous_ = before_previous_ = 0;
                    continue;
                }
                break;
            case State::comment:
                if (*at == '>' && previous_ == '-' && before_previous_ == '-') state_ = State::text;
                break;
            case State::cdata:
                if (*at == '>' && previous_ == ']' && before_previous_ == ']') state_ = State::text;
                break;
            case State::instruction:
                if (*at == '>' && previous_ == '?') state_ = State::text;
                break;
            case State::declaration:
                if (*at == '[') ++bracket_depth_;
                if (*at == ']') --bracket_depth_;
                if (*at == '"' || *at == '\'') enter_quote(*at, State::declaration);
                if (*at == '>' && bracket_depth_ <= 0) state_ = State::text;
                break;
        }
        before_previous_ = previous_;
        previous_ = *at;
    }
}

}  // namespace vesk
