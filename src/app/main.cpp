// Pigmora's entry point.
#include "app/qt/startup.h"

int main(int argc, char** argv) { return pg::runPigmora(argc, argv); }
