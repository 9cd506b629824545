#pragma once

#include <sys/socket.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include <lo/lo.h>

#include "remote/RemoteValue.h"
#include "tessel/IdleClient.h"
#include "tessel/SharedPtr.h"

namespace Vellaris::Osc
{

class OscLease;

using Remote::kCommandRefusalProperty;

// Who sent a message: the address replies go to, and a key that names the sender ("ip:port").
struct OscPeer
{
    sockaddr_storage address{};
    socklen_t length = 0;
    std::string key;
};

// The desk's side of the remote control, without a socket: reads one incoming packet, acts on it
// and hands every reply as an encoded packet to the reply function, at once (never later in a
// loop turn). GUI thread only.
//
//   ADDRESS            no argument: query; the reply has the same address, the value and its text.
//                      One argument: set (see OscValue.h); the reply is the new value as for a query.
//                      A command parameter is invoked with any or no argument; the reply has the
//                      same address and the int 1. A refused command is answered with its
//                      component's property kCommandRefusalProperty when that gives a text.
//                      A secret (see OscValue.h) is never queried: a set is answered with the
//                      address, the int 1 and the text "write-only".
//   /subscribe ADDRESS the query reply at once and on every change of the value, until 10 s after the
//                      last /subscribe or /renew of it; at most kMaxLeasesPerSender per sender. A
//                      secret cannot be watched.
//   /renew ADDRESS     extends the lease (makes it anew, with a reply, when it has run out).
//   /unsubscribe ADDRESS ends it.
//   /list ADDRESS      "/list", the address, then the names it holds (children end in "/").
//
// Anything that cannot be done is answered with "/error", the address and a plain-words reason,
// and changes nothing.
class OscDesk
{
public:
    using ReplyFunction = std::function<void(const OscPeer& to, const void* data, size_t size)>;

    static constexpr int64_t kLeaseMs = 10000;
    static constexpr size_t kMaxLeasesPerSender = 64;
    // All senders together: a flood of made-up senders cannot grow the desk without bound.
    static constexpr size_t kMaxLeases = 1024;
    // Replies stay below the size of one UDP datagram on every network.
    static constexpr size_t kMaxReplyBytes = 60000;

    explicit OscDesk(ReplyFunction reply);
    ~OscDesk();
    OscDesk(const OscDesk&) = delete;
    OscDesk& operator=(const OscDesk&) = delete;

    // Acts on one datagram from `from`. Never throws, never blocks, whatever the bytes are.
    void handlePacket(const void* data, size_t size, const OscPeer& from);

    // Leases still running (expired ones are dropped on every second's sweep).
    size_t countLeases() const;
    size_t countLeases(const std::string& senderKey) const;

private:
    friend class OscLease;

    void handleMessage(const std::string& path, lo_message message, const OscPeer& from);
    void handleAddress(const std::string& path, lo_message message, const OscPeer& from);
    void handleLease(const std::string& verb, const std::string& address, const OscPeer& from);
    void handleList(const std::string& address, const OscPeer& from);

    void sendError(const OscPeer& to, const std::string& address, const std::string& reason);
    // Sends the query reply of `address`; false (with `error`) when it has no value.
    bool sendValue(const OscPeer& to, const std::string& address, std::string& error);
    void send(const OscPeer& to, const char* path, lo_message message);
    // Sends the value of every lease whose value changed since it last sent.
    void refreshLeases();
    void sweepLeases();
    void dropLease(OscLease* lease);

    struct Sender
    {
        OscPeer peer;
        std::map<std::string, Tessel::SharedPtr<OscLease>> leases; // by address
    };

    ReplyFunction reply;
    std::map<std::string, Sender> senders; // by key
    Tessel::IdleClient sweeper;
    // While a set scans its text, the parameter moves and moves back: leases wait for the result.
    bool leasesMuted = false;
};

} // namespace Vellaris::Osc
