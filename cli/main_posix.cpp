#include "cli/etxt_app.h"

int main(int argc, char** argv) {
    return etxt::RunEtxt(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
}
