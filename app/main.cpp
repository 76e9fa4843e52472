#include "app/program.h"

int main(int argc, char** argv) {
    return quilvern::RunProgram(argc, argv);
}
