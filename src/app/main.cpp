// Pigmora's entry point. The window is not built yet: until the application
// shell exists this says so honestly instead of pretending to start.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("Pigmora 4.0.0\n");
      return 0;
    }
  }
  std::printf("Pigmora 4.0.0\n");
  std::printf("The painting core is being built; the main window does not exist yet.\n");
  return 0;
}
