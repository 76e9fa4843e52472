// Saves the settings file over and over, alternating between two full sets of values,
// until it is killed: `ini_save_loop PATH`. The crash test kills it at random moments.
#include <string>

#include "storage/ini_file.h"

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    for (unsigned round = 0;; ++round) {
        quilvern::IniFile file(argv[1]);
        const std::string value = round % 2 == 0 ? "even" : "odd";
        for (const char* section : {"Main", "Name", "Price", "Quantity", "Total", "Transfer"}) {
            for (int key = 0; key < 40; ++key) {
                file.WriteString(section, "Key" + std::to_string(key), value);
            }
        }
        file.Flush();
    }
}
