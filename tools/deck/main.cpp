// korvanta-deck: the virtual DV decks, from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "tools/deck/deck_command.h"

int main(int argc, char** argv) {
    return RunDeckCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
