#include "tarnsim/SimulatorProgram.h"

int main(int argc, char** argv)
{
    return Vellaris::Tarn::runSimulator(argc, argv);
}
