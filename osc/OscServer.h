#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "osc/OscDesk.h"
#include "osc/OscSettings.h"

namespace Vellaris::Osc
{

// The remote control's UDP socket: bound to the settings' address and port, served from the GUI
// thread through the platform's descriptor watcher (no thread of its own), handing each datagram
// to the desk and sending the desk's replies straight back from the same socket. Replies leave
// the moment they are made. GUI thread only.
class OscServer
{
public:
    OscServer();
    ~OscServer();
    OscServer(const OscServer&) = delete;
    OscServer& operator=(const OscServer&) = delete;

    // Starts listening (stopping a previous socket first). Port 0 leaves it off and succeeds. A
    // port that is taken or an address that cannot be bound fails: the reason is in getStatus()
    // and the program goes on without remote control.
    bool start(const OscSettings& settings);
    void stop();

    bool isListening() const { return fd >= 0; }
    // Where it listens, for people: "127.0.0.1:9000", "off", or "off: <why>".
    const std::string& getStatus() const { return status; }
    OscDesk& getDesk() { return desk; }

private:
    void onReadable();
    void sendReply(const OscPeer& to, const void* data, size_t size);

    int fd = -1;
    std::vector<char> buffer;
    OscDesk desk;
    std::string status = "off";
};

} // namespace Vellaris::Osc
