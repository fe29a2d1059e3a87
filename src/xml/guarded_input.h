#pragma once
// A file as libxml2 reads it, through zlib (so that plain and gzip-compressed files read alike),
// watched on the way for what the parser would choke on before any callback is called: an
// element with so many attributes that checking them for duplicates takes minutes. Damaged
// compressed data is told apart from the parse error it would otherwise cause.

#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vesk {

// The attributes one element may have; more are refused before the parser sees them.
inline constexpr std::int32_t kMaxAttributesPerElement = 10000;

class GuardedInput {
public:
    // Throws XmlReadError when the file cannot be opened.
    explicit GuardedInput(const std::string& path);
    ~GuardedInput();
    GuardedInput(const GuardedInput&) = delete;
    GuardedInput& operator=(const GuardedInput&) = delete;

    // libxml2's input callbacks; `context` is the GuardedInput. read returns -1 on a fault.
    static int read(void* context, char* buffer, int length);
    static int close(void* context);

    // Why reading stopped early, when it did: the parser's own error then only follows from it.
    const std::optional<std::string>& fault() const { return fault_; }

private:
    enum class State : std::uint8_t {
        text,
        open,
        start_tag,
        other_tag,
        quoted,
        bang,
        comment,
        cdata,
        declaration,
        instruction
    };
    void scan(const char* data, std::size_t size);
    // One character of markup; false when it is to be seen again in the state it led to.
    bool step(char c);
    bool bang_step(char c);
    void enter_quote(char quote, State back);

    gzFile file_ = nullptr;
    std::optional<std::string> fault_;
    State state_ = State::text;
    State after_quote_ = State::text;
    char quote_ = '"';
    char previous_ = 0;
    char before_previous_ = 0;
    std::int32_t attributes_ = 0;
    std::int32_t bang_progress_ = 0;
    std::string_view bang_target_;
    std::int32_t bracket_depth_ = 0;
};

}  // namespace vesk
