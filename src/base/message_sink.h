#pragma once
// Where the core's messages to the user go: dialogs in the windows, stderr in the shell, a
// record in the tests. The core never shows anything itself.

#include <string>
#include <vector>

namespace vesk {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void warning(const std::string& text) = 0;
    virtual void information(const std::string& text) = 0;
    virtual void error(const std::string& text) = 0;
};

// Drops every message: for runs whose findings are read from the results instead.
class SilentSink : public MessageSink {
public:
    void warning(const std::string&) override {}
    void information(const std::string&) override {}
    void error(const std::string&) override {}
};

// Keeps every message, in order, with its level.
class RecordingSink : public MessageSink {
public:
    enum class Level { warning, information, error };
    struct Message {
        Level level;
        std::string text;
    };

    void warning(const std::string& text) override { messages.push_back({Level::warning, text}); }
    void information(const std::string& text) override {
        messages.push_back({Level::information, text});
    }
    void error(const std::string& text) override { messages.push_back({Level::error, text}); }

    std::vector<Message> messages;
};

}  // namespace vesk
