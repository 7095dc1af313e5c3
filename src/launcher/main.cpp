#include "launcher/launcher.h"

int main(int argc, char** argv) { return korvan::RunLauncher(argc, argv); }
