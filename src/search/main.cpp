// hexagonal-life-search: the exhaustive search of small figures, without a
// window.
#include "search/command_line.h"

int main(int argc, char** argv) { return hexlife::search::SearchMain(argc, argv); }
