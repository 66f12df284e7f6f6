// kestrel-cli: every project command without a screen.
#include "CliApp.h"

int main(int argc, char** argv) {
    return kestrel::cli::RunCli(argc, argv);
}
