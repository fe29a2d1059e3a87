// Vesk's window program: vesk [LOG]

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QIcon>
#include <filesystem>
#include <iostream>

#include "base/build_info.h"
#include "base/util_functions.h"
#include "gui/application_identity.h"
#include "gui/vesk_main.h"

namespace {

// help.txt, conv.txt and the example log lie next to the program, or in the install's data
// folder.
std::filesystem::path data_folder(const std::filesystem::path& program) {
    std::error_code error;
    if (std::filesystem::exists(program / "help.txt", error)) return program;
    const auto installed = vesk::installed_data_folder(program);
    return std::filesystem::exists(installed / "help.txt", error) ? installed : program;
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window exists, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--version" || arg == "-v") {
            std::cout << "vesk " << vesk::kVeskVersion
                      << "\nLicensed under the Apache License, Version 2.0; the libraries it uses "
                         "and their licences are listed in NOTICE.\n";
            return 0;
        }
        if (arg == "--help" || arg == "-h") {
            std::cout << "Usage: vesk [LOG]\n\nVesk mines process models from workflow logs. "
                         "LOG (an XML workflow log, XES or\nMXML) is opened at start as Open XML "
                         "log opens it.\n\n  -h, --help     this text\n  -v, --version  the "
                         "program's name and version\n";
            return 0;
        }
    }
    QApplication application(argc, argv);
    identify_application();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Vesk mines process models from workflow logs. LOG (an XML workflow log, XES or MXML) "
        "is opened as Open XML log opens it.");
    parser.addPositionalArgument("LOG", "the log to open at start", "[LOG]");
    parser.process(application);

    const std::filesystem::path program = vesk::program_folder();
    const std::filesystem::path data = data_folder(program);
    // The icon of the current folder first, as the program always looked for it.
    const QString icon = QFile::exists("Vesk.ico")
                             ? QString("Vesk.ico")
                             : QString::fromStdString((data / "Vesk.ico").string());
    QApplication::setWindowIcon(QIcon(icon));

    TVesk_mainform window(program, data);
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.open_log_at_start(parser.positionalArguments().front().toStdString());
    return QApplication::exec();
}
