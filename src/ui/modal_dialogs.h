#pragma once
// The modal dialogs a window command may open. The windows show real ones; tests answer them
// instead of a user. The messages (warning, information, error with one OK button) are those
// of a MessageSink, so the core's messages reach the user through the same dialogs.

#include <exception>
#include <optional>
#include <string>

#include "base/message_sink.h"

namespace vesk {

// The filters of the open dialogs, "Text|patterns|...": the logs Vesk reads (all of them
// first, so that the dialog shows every log at once), and the files of a conversion module.
inline constexpr const char* kXmlLogFilter =
    "Logs Vesk reads|*.xml *.XML *.xes *.xes.gz *.mxml *.mxml.gz|XML files|*.xml *.XML|"
    "Event logs|*.xes *.xes.gz *.mxml *.mxml.gz|Other files|*";
inline constexpr const char* kLogFileFilter = "Log files|*.log|Other files|*";
// The pictures a drawing is saved as.
inline constexpr const char* kPictureFilter = "SVG|*.svg|PNG|*.png|PDF|*.pdf";

// "The specified file could not be read." with the reason on a second line.
inline std::string file_not_read(const std::exception& reason) {
    return std::string("The specified file could not be read.\n") + reason.what();
}

class ModalDialogs : public MessageSink {
public:
    // The file chosen in an open dialog; empty when cancelled. filter is "Text|pattern|...".
    virtual std::optional<std::string> open_file(const std::string& filter,
                                                 const std::string& folder) = 0;
    // The file named in a save dialog that starts at `suggested`; empty when cancelled.
    // filter is "Text|pattern|...".
    virtual std::optional<std::string> save_file(const std::string& filter,
                                                 const std::string& suggested) = 0;
    // The output-folder dialog, shown with `current`; the folder accepted, with its trailing
    // separator, or empty on Cancel.
    virtual std::optional<std::string> choose_folder(const std::string& current) = 0;
    // A modal input dialog with one edit field that starts empty; empty when cancelled.
    virtual std::optional<std::string> input(const std::string& caption,
                                             const std::string& prompt) = 0;
};

}  // namespace vesk
