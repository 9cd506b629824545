#pragma once

namespace Vellaris::Tarn
{

// The tarnsim program: builds the speaker, restores its state, serves it on
// the network until SIGINT or SIGTERM, then stores its state. Returns the exit
// status: 0 after an orderly quit, -1 when the network cannot start.
//
// The loop turns every 20 ms; between turns it waits on the network library's
// sockets so that packets are handled as they arrive. Setting the environment
// variable TARNSIM_PLAIN_LOOP=1 makes it sleep the 20 ms instead (packets then
// wait for the next turn; used to compare the two). TARNSIM_SERIAL, when set,
// is the serial number to announce instead of the model's (see
// chooseSerialNumber), so that many simulators of one model are told apart.
int runSimulator(int argc, const char* const* argv);

} // namespace Vellaris::Tarn
