#pragma once
// The one INetworkManager of the process: discovery, servers and clients of
// this process, the servers heard of, and the connections between them.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "lknet/Connection.h"
#include "lknet/Discovery.h"
#include "lknet/Poller.h"
#include "lknet/SocketApi.h"
#include "lknet/lknet.h"

namespace lknet
{

// Timing of the library, in milliseconds.
struct Timing
{
    static constexpr uint64_t kAnnounceSteps[3] = {0, 250, 1000}; // after registering
    static constexpr uint64_t kAnnouncePeriod = 2000;
    static constexpr uint64_t kQueryAnswerSpread = 100; // random delay of an answer
    // Three announcement periods missed, plus one of grace for jitter.
    static constexpr uint64_t kServerExpiry = 4 * kAnnouncePeriod;
    static constexpr uint64_t kHeartbeat = 1000; // a frame at least this often
    // A pass over the links also sends the heartbeats falling due this soon: with a thousand
    // links their heartbeats go out a few passes a second instead of one pass each.
    static constexpr uint64_t kHeartbeatEarly = 250;
    static constexpr uint64_t kDeadAfter = 4500; // nothing received for so long: dead
    static constexpr uint64_t kConnectTimeout = 1500;
    static constexpr uint64_t kRetryDelay = 500;      // after a failed connection attempt
    static constexpr uint64_t kSwitchOffLinger = 200; // sends still accepted after switch-off
    static constexpr uint64_t kCloseTimeout = 2000;   // waiting for the peer to close
};

class NetworkManager final : public INetworkManager
{
public:
    NetworkManager();
    ~NetworkManager();

    int startup() override;
    void shutdown() override;
    void configure(const char* computerName) override;
    void addNetworkListener(INetworkListener* listener) override;
    void removeNetworkListener(INetworkListener* listener) override;
    int registerServer(int* handle, IEventHandler* handler, const ServerDescriptor* descriptor,
                       int flags) override;
    int unregisterServer(IEventHandler* handler) override;
    int registerClient(int* handle, IEventHandler* handler) override;
    int unregisterClient(IEventHandler* handler) override;
    int send(const Packet* packet, int flags) override;
    int sendMeters(const Packet* packet) override;
    void holdWrites() override;
    void releaseWrites() override;
    int setConnection(int client, int server, int on, int wasOn) override;
    void process() override;
    int getDeviceInfo(DeviceInfo* info, int server) override;
    void resume(int rescan) override;
    void addErrorReporter(INetworkErrorReporter* reporter) override;
    void removeErrorReporter(INetworkErrorReporter* reporter) override;
    void simulateErrors() override;
    void suspend(int ms) override;
    int pollDescriptors(std::vector<pollfd>& fds) override;
    int wait(int maxMs) override;

    // Replaces the millisecond clock behind every timer (tests drive it by
    // hand); null restores the monotonic clock.
    void setClock(uint64_t (*clock)()) { clock_ = clock; }
    static uint64_t steadyMilliseconds();

private:
    struct LocalServer
    {
        IEventHandler* handler = nullptr;
        uint64_t instance = 0;
        std::string name, deviceType, uid, serialNumber;
        uint32_t interfaceType = 0;
        Socket listener;
        uint16_t port = 0;
        int announceStep = 0;
        uint64_t registered = 0;
        uint64_t nextAnnounce = 0;
        uint64_t answerAt = 0; // 0: no query to answer
    };
    struct RemoteServer
    {
        uint64_t instance = 0;
        std::string name, deviceType, uid, serialNumber, hostName, address;
        uint32_t interfaceType = 0;
        uint16_t port = 0;
        uint64_t lastHeard = 0;
    };
    struct Peer
    { // a remote client of one of our servers
        int server = 0;
        uint64_t clientInstance = 0;
        uint32_t clientHandle = 0;
    };
    enum class Role
    {
        Client,
        Accepted,
        Server
    };
    // A connection as this process sees it. Client links exist while switched
    // on (their socket comes and goes); server links live as long as their socket.
    struct Link
    {
        Role role = Role::Client;
        int client = 0;                   // Client: our client handle
        int server = 0;                   // Client: remote server handle; Accepted/Server: our server
        int peer = 0;                     // Server: the peer handle of the remote client
        IEventHandler* handler = nullptr; // who gets its packets, once known; reset on unregistering
        std::unique_ptr<Connection> connection;
        bool open = false;         // handshake done
        bool switchedOn = true;    // Client: setConnection(on) in force
        bool closeQueued = false;  // orderly Close frame queued; no more sends
        bool wasOpen = false;      // Client: has been open before
        bool lossReported = false; // Client: 1003 given, 1002 due when back
        bool dead = false;         // to be removed at the end of process()
        uint64_t switchedOffAt = 0;
        uint64_t closeQueuedAt = 0;
        uint64_t nextAttempt = 0;
        std::string address; // peer address and port for error reports
        uint16_t port = 0;
    };
    struct Event
    {
        enum Kind
        {
            Available,
            Unavailable,
            Error
        } kind = Available;
        int server = 0;
        std::shared_ptr<const RemoteServer> description;
        NetworkError error;
        INetworkListener* target = nullptr; // null: every listener
        uint64_t sequence = 0;
    };
    struct ListenerEntry
    {
        INetworkListener* listener = nullptr;
        uint64_t since = 0; // gets the events for all listeners from this one on
    };

    uint64_t now() const;
    int newHandle() { return nextHandle_++; }
    uint64_t newInstance();

    // Discovery (NetworkManagerDiscovery.cpp)
    void readDiscovery(uint64_t now);
    void onAnnounce(const DiscoveryMessage& message, const std::string& from, uint64_t now);
    void announce(const LocalServer& server, uint64_t now);
    void sendQuery(uint64_t now);
    void sendBye(const LocalServer& server);
    void runDiscoveryTimers(uint64_t now);
    void dropRemoteServer(int handle);
    int findRemoteByInstance(uint64_t instance) const;

    // Connections (NetworkManagerLinks.cpp)
    void acceptConnections(uint64_t now);
    void serviceLink(Link& link, short revents, uint64_t now);
    void handleFrame(Link& link, const FrameHeader& header, const uint8_t* payload, uint64_t now);
    void onHello(Link& link, const uint8_t* payload, uint64_t now);
    void onWelcome(Link& link, const uint8_t* payload, uint64_t now);
    void deliverPacket(Link& link, const uint8_t* payload, size_t length);
    void linkFailed(Link& link, int error, uint64_t now);
    void runLinkTimers(Link& link, uint64_t now);
    void startAttempt(Link& link, uint64_t now);
    void queueClose(Link& link, uint64_t now);
    void endLink(Link& link);
    Link* findClientLink(int client, int server);
    Link* findServerLink(int peer);
    int queuePacket(Link& link, const Packet* packet, uint64_t now);
    void reportError(int code, const Link& link);

    void queueEvent(Event event);
    void deliverEvents();
    void removeDeadLinks();
    // Runs every link's timers when one may be due (linkPassDue_), and works out when one may be
    // due next.
    void runLinkPass(uint64_t now);
    // When the pass must look at the link again, and when the loop must wake for it.
    void considerLink(const Link& link, uint64_t& pass, uint64_t& wake) const;
    // A socket or link came, went or changed in a way that may bring one of its timers forward:
    // the sockets are described again and the next process() runs the pass.
    void linksChanged()
    {
        socketsDirty_ = true;
        linkPassDue_ = 0;
        linkWakeDue_ = 0;
        ++linkChanges_;
    }
    // Describes every socket to the poller: discovery, the servers' listeners, the live links.
    void describeSockets();
    // Writes what every connection has queued (after process() has called back, or at the end of
    // the outermost held batch).
    void flushQueued(uint64_t now);
    // Milliseconds until the next timer falls due (0: now).
    uint64_t nextDue(uint64_t now) const;

    bool started_ = false;
    bool suspended_ = false;
    bool loopbackOnly_ = false;
    std::string hostName_;
    Discovery discovery_;
    int nextHandle_ = 1;
    uint64_t processInstance_ = 0;
    std::mt19937_64 random_;
    std::map<int, LocalServer> servers_;
    std::unordered_map<int, IEventHandler*> clients_; // looked up for every packet
    std::map<int, RemoteServer> remotes_;
    std::unordered_map<uint64_t, int> remoteByInstance_; // the handle of each remote's instance
    uint64_t remoteExpiryCheck_ = 0;                     // no remote server expires before this time
    std::map<int, Peer> peers_;
    std::vector<std::unique_ptr<Link>> links_;
    // The pass over every link (timeouts, heartbeats, reconnections) runs only when one of them
    // may be due: with a thousand connections a turn of process() would otherwise visit them all.
    uint64_t linkPassDue_ = 0;  // process() runs the pass from this time on
    uint64_t linkWakeDue_ = 0;  // the loop wakes for a link timer at this time
    uint64_t linkChanges_ = 0;  // linksChanged() calls so far
    bool deadLinks_ = false;    // a link ended since the last removal
    bool heartbeatPass_ = false; // this pass came for a heartbeat: those due soon go too
    bool queuedSinceFlush_ = false; // a frame was queued since flushQueued() last looked
    std::vector<ListenerEntry> listeners_;
    std::vector<INetworkErrorReporter*> reporters_;
    std::vector<Event> events_;
    uint64_t eventSequence_ = 0;
    std::vector<std::unique_ptr<Connection>> retired_; // freed at the end of process()
    Poller poller_;
    // Set by every call that may add, end or write to a socket; the description of the sockets is
    // made again only then and at the end of process(), not on every wait.
    bool socketsDirty_ = true;
    std::vector<uint64_t> scratch_; // aligned buffer for received records
    std::vector<char> jsonScratch_; // received JSON data and a NUL
    bool processing_ = false;
    // holdWrites() calls not yet released: while above zero, send() and sendMeters() only queue
    // (as they do while process() calls back), and the sockets are not watched for writing.
    int writeHolds_ = 0;
    uint64_t (*clock_)() = nullptr;
};

} // namespace lknet
