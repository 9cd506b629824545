#pragma once

#include <lo/lo.h>

#include <string>
#include <vector>

#include "osc/OscDesk.h"

namespace OscTest
{

// One decoded OSC message: the address, the type letters and each argument as text.
struct Reply
{
    std::string path;
    std::string types;
    std::vector<std::string> args;
    float number = 0; // the first argument when it is a float
    int integer = 0;  // the first argument when it is an int
};

// Encodes `path` with arguments given as (type letter, text) pairs: 'i', 'f', 'd', 'h', 's', 'T',
// 'F', 'N'.
std::vector<char> encode(const std::string& path, const std::vector<std::pair<char, std::string>>& args = {});
Reply decode(const void* data, size_t size);

// A UDP socket on 127.0.0.1 with a port the system chose.
class LoopbackSocket
{
public:
    LoopbackSocket();
    ~LoopbackSocket();
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    void sendTo(int toPort, const std::vector<char>& bytes) const;
    // The next datagram, waiting at most 2 s (the loopback delivers at once; the deadline only
    // keeps a failing test from hanging). `raw`, when given, gets the datagram's bytes.
    bool receive(Reply& reply, std::string* raw = nullptr) const;

    int fd = -1;
    int port = 0;
};

// A port that was free a moment ago.
int freePort();

// A desk whose replies are kept for the test, with a peer per sender name.
class DeskUnderTest
{
public:
    DeskUnderTest();

    Vellaris::Osc::OscPeer peer(const std::string& key = "127.0.0.1:50000") const;
    // Sends one message from `from` and returns the replies it caused (taken out of the record).
    std::vector<Reply> send(const std::string& path,
                            const std::vector<std::pair<char, std::string>>& args = {},
                            const std::string& from = "127.0.0.1:50000");
    std::vector<Reply> sendBytes(const std::vector<char>& bytes, const std::string& from = "127.0.0.1:50000");
    // Replies made since the last take (changes seen by subscriptions).
    std::vector<Reply> take();
    // Replies by recipient key, in the order they were made.
    std::vector<std::string> recipients;
    // The bytes of every reply so far, one after the other (to look for what must never be sent).
    std::string everySent;

    Vellaris::Osc::OscDesk desk;

private:
    std::vector<Reply> replies;
};

} // namespace OscTest
