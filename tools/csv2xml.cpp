// Conversion module "csv": see csv_module.h for the input it reads. The log is written whole
// or not at all; bad input is refused with its line and column.
//
// csv2xml INPUT XML DTD_URL YES|NO

#include <fstream>
#include <iostream>

#include "app/file_util.h"
#include "csv_module.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: csv2xml INPUT XML DTD_URL YES|NO\n";
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in) throw std::runtime_error("cannot be read");
        vesk::write_file_atomically(argv[2],
                                    vesk::tools::csv_to_workflow_log(in, argv[1], argv[3]));
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "csv2xml: " << argv[1] << ": " << error.what() << '\n';
        return 1;
    }
}
