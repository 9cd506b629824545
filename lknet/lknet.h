#pragma once
// lknet: the network library. It finds devices on the local network, opens one
// TCP connection per (client, server) pair and carries packet records between
// processes. Everything runs on the caller's thread: the library starts no
// thread, and callbacks arrive only inside INetworkManager::process().
// None of the calls is thread-safe; use the library from one thread.
//
// Environment (read by startup()):
//   LKNET_DISCOVERY_PORT  UDP port of device discovery (default 30718). Processes
//                         only see each other when they use the same port.
//   LKNET_LOOPBACK_ONLY=1 announce and query only on 127.255.255.255 and accept
//                         connections only on 127.0.0.1; nothing leaves the host.

#include <bit>
#include <cstdint>
#include <vector>

struct pollfd;

namespace lknet
{

static_assert(std::endian::native == std::endian::little,
              "packet records are laid out little-endian in memory");

// ---------------------------------------------------------------------------
// Packet records

// Two-letter packet codes: first letter in bits 8-15, second in bits 0-7.
constexpr uint32_t packetCode(char first, char second)
{
    return (static_cast<uint32_t>(static_cast<unsigned char>(first)) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(second));
}

constexpr uint32_t kPacketJsonMessage = packetCode('J', 'M'); // 0x4A4D, JSON text
constexpr uint32_t kPacketZipMessage = packetCode('Z', 'M');  // 0x5A4D, JSON, zlib
constexpr uint32_t kPacketParamValue = packetCode('P', 'V');  // 0x5056
constexpr uint32_t kPacketParamString = packetCode('P', 'S'); // 0x5053
constexpr uint32_t kPacketParamList = packetCode('P', 'L');   // 0x504C
constexpr uint32_t kPacketParamRange = packetCode('P', 'R');  // 0x5052
constexpr uint32_t kPacketParamColor = packetCode('P', 'C');  // 0x5043
constexpr uint32_t kPacketParamEdit = packetCode('P', 'E');   // 0x5045
constexpr uint32_t kPacketKeepAlive = packetCode('K', 'A');   // 0x4B41
constexpr uint32_t kPacketMetersByte = packetCode('M', 'B');  // 0x4D42
constexpr uint32_t kPacketMetersShort = packetCode('M', 'S'); // 0x4D53
constexpr uint32_t kPacketFileRequest = packetCode('F', 'R'); // 0x4652
constexpr uint32_t kPacketFileData = packetCode('F', 'D');    // 0x4644
constexpr uint32_t kPacketFileAck = packetCode('F', 'A');     // 0x4641

// Size words of the records whose layout is fixed. The library refuses to send
// (101) and closes a connection that delivers one of these types with another
// size. Records of other types may have any size from sizeof(Packet) up to
// kMaxPacketSize.
constexpr uint32_t kSizeParamValue = 152;  // "PV", also "PC"
constexpr uint32_t kSizeParamString = 404; // "PS"
constexpr uint32_t kSizeParamList = 1176;  // "PL"
constexpr uint32_t kSizeParamRange = 232;  // "PR"
constexpr uint32_t kSizeParamEdit = 148;   // "PE"
constexpr uint32_t kSizeKeepAlive = 16;    // "KA"
constexpr uint32_t kSizeMeters = 1100;     // "MB", "MS"
constexpr uint32_t kSizeFileData = 4128;   // "FD"

// Largest record, and largest JSON data of a "JM"/"ZM" record, in bytes.
constexpr uint32_t kMaxPacketSize = 256 * 1024;

// Header of every packet record. The record's other fields follow it in memory,
// `size` bytes in all, little-endian.
struct Packet
{
    uint32_t type = 0;        // packet code
    uint32_t size = 0;        // bytes of the whole record
    uint32_t source = 0;      // sender's handle
    uint32_t destination = 0; // receiver's handle (0 in meter packets)
};
static_assert(sizeof(Packet) == 16);

// A "JM" or "ZM" record: the header with size = sizeof(JsonPacket), then a
// pointer to the data (owned by whoever built the record) and its length. On
// the wire the pointer never travels: the data follows the record. A received
// JsonPacket's data lives in the library's buffer, is followed by one NUL byte
// not counted in `length`, and is valid only during the delivery call.
struct JsonPacket
{
    Packet header;
    const char* data = nullptr;
    uint32_t length = 0;
};

// ---------------------------------------------------------------------------
// Result codes

constexpr int kOk = 0;
constexpr int kErrorNotStarted = 100;    // startup() has not succeeded
constexpr int kErrorBadArgument = 101;   // null pointer, bad size word, unknown handler
constexpr int kErrorUnknownHandle = 102; // source or destination is no handle of ours
constexpr int kErrorTooLarge = 103;      // record or its data over kMaxPacketSize
constexpr int kErrorNotConnected = 104;  // no connection between source and destination
constexpr int kErrorQueueFull = 105;     // the connection's send queue is full
constexpr int kErrorSocket = 106;        // the operating system refused a socket call

// Error codes handed to INetworkErrorReporter. Both carry the peer's address
// and port: for a server this process talks to as a client, the server's
// address and TCP port as getDeviceInfo() reports them.
//   1002 a connection to a server, switched on by setConnection(), is working
//        again after it had been lost. The server may have dropped whatever the
//        client had set up (a subscription): subscribe again.
//   1003 a connection was lost (reset, closed without goodbye, or nothing heard
//        for 4.5 s). While the connection stays switched on the library keeps
//        reconnecting, and reports 1002 when it succeeds. A server that refuses
//        the reconnection is gone: serverUnavailable() follows.
constexpr int kErrorConnectionRestored = 1002;
constexpr int kErrorConnectionLost = 1003;

// ---------------------------------------------------------------------------
// Records exchanged with the application

// Describes a server. `size` = sizeof(ServerDescriptor). Texts are UTF-8; a null
// pointer counts as empty. Texts are cut to 63 bytes (device type to 15) when
// announced.
struct ServerDescriptor
{
    uint32_t size = sizeof(ServerDescriptor);
    const char* name = nullptr;         // model name, optionally "model/version"
    const char* deviceType = nullptr;   // device class, "SPK" for a speaker
    const char* uid = nullptr;          // unique id text, may be null
    const char* serialNumber = nullptr; // the device's identity
    uint32_t interfaceType = 0;         // low 4 bits meaningful
};

// Where a server can be reached: 140 bytes, the caller sets `size` to
// sizeof(DeviceInfo) and zeroes the rest.
struct DeviceInfo
{
    uint32_t size = sizeof(DeviceInfo);
    uint32_t flags = 0;     // 0: address and host name are valid
    char address[64] = {};  // dotted IPv4 address text, NUL-terminated
    char hostName[64] = {}; // the server's host name, NUL-terminated
    uint16_t port = 0;      // the server's TCP port
    uint16_t reserved = 0;
};
static_assert(sizeof(DeviceInfo) == 140);

// One connection error. `size` = sizeof(NetworkError).
struct NetworkError
{
    uint32_t size = sizeof(NetworkError);
    int32_t code = 0;      // kErrorConnectionRestored or kErrorConnectionLost
    char address[64] = {}; // peer's dotted IPv4 address, NUL-terminated
    uint32_t port = 0;     // peer's port (a server's announced TCP port)
};

// ---------------------------------------------------------------------------
// Callbacks

class IEventHandler
{
public:
    // Called inside process() for each packet addressed to this handler's handle.
    // `context` is the receiving handle (the destination of the packet as
    // delivered). The packet is lent for the call only. The result is ignored
    // by the library.
    virtual int handlePacket(int context, const Packet* packet) = 0;

protected:
    ~IEventHandler() = default;
};

class INetworkListener
{
public:
    // A server appeared. `server` is the handle this process uses for it (the
    // destination of packets to it); the descriptor is lent for the call.
    // Called once per server instance, inside process().
    virtual void serverAvailable(int server, const ServerDescriptor* descriptor) = 0;
    // The server said goodbye, refused a reconnection, or was not heard for
    // three announcement periods. Its handle is no longer valid.
    virtual void serverUnavailable(int server) = 0;

protected:
    ~INetworkListener() = default;
};

class INetworkErrorReporter
{
public:
    // A connection error (see kErrorConnectionRestored, kErrorConnectionLost);
    // called inside process(), the record is lent for the call.
    virtual void reportError(const NetworkError* error) = 0;

protected:
    ~INetworkErrorReporter() = default;
};

// ---------------------------------------------------------------------------
// The managers

class INetworkManager
{
public:
    // Opens the discovery socket and sends a query. 0 = started (also when it
    // already was), otherwise an error code; then nothing else works.
    virtual int startup() = 0;
    // Unregisters every server (goodbye to peers), closes every connection and
    // socket. startup() may be called again afterwards.
    virtual void shutdown() = 0;
    // The computer's name (ASCII), announced as host name by this process's
    // servers; defaults to the system's host name.
    virtual void configure(const char* computerName) = 0;

    // Listeners learn about every known server at their first process() and
    // about each change after that. Adding twice or removing an unknown one
    // does nothing.
    virtual void addNetworkListener(INetworkListener* listener) = 0;
    virtual void removeNetworkListener(INetworkListener* listener) = 0;

    // Registers a server: listens on an ephemeral TCP port and announces it.
    // Writes its handle to *handle. `flags` is reserved (0). 0 = done.
    virtual int registerServer(int* handle, IEventHandler* handler, const ServerDescriptor* descriptor,
                               int flags) = 0;
    // Says goodbye to the server's clients and on discovery, closes its port.
    virtual int unregisterServer(IEventHandler* handler) = 0;
    // Registers a client; writes its handle to *handle. 0 = done.
    virtual int registerClient(int* handle, IEventHandler* handler) = 0;
    // Closes the client's connections (after flushing them).
    virtual int unregisterClient(IEventHandler* handler) = 0;

    // Queues a copy of the record (and a "JM"/"ZM" record's data) for the
    // packet's destination, trying to write at once. The source must be a
    // handle of this process: a client (destination: a server handle from
    // serverAvailable, with the connection switched on or just switched off)
    // or a server (destination: the source id of a packet it received).
    // 0 = queued; 103 = too large; other codes above.
    virtual int send(const Packet* packet, int flags) = 0;
    // Sends a meter record from the server named by its source to every client
    // connected to it. Only the newest meter record waits per connection.
    virtual int sendMeters(const Packet* packet) = 0;
    // Between holdWrites() and the matching releaseWrites(), send() and
    // sendMeters() only queue; the release writes what each connection holds
    // in one go (one write, not one per packet). process() holds writes
    // itself while it calls back. Pairs nest; WriteBatch pairs them for a scope.
    virtual void holdWrites() {}
    virtual void releaseWrites() {}
    // on = 1 opens (or keeps) the connection between a client and a server;
    // on = 0 switches it off: packets sent from the client to that server
    // shortly afterwards (an "Unsubscribe") are still delivered, then the
    // connection closes. `wasOn` is informational. 0 = done.
    virtual int setConnection(int client, int server, int on, int wasOn) = 0;

    // Handles everything ready on the sockets and every due timer, then
    // returns; never blocks. All callbacks happen here.
    virtual void process() = 0;
    // Fills the record for a server handle from serverAvailable. 0 = done,
    // otherwise 101 (bad record) or 102 (unknown server).
    virtual int getDeviceInfo(DeviceInfo* info, int server) = 0;
    // Ends a suspend(); with rescan = 1 also queries the network at once and
    // gives every known server a fresh announcement period to answer.
    virtual void resume(int rescan) = 0;
    virtual void addErrorReporter(INetworkErrorReporter* reporter) = 0;
    virtual void removeErrorReporter(INetworkErrorReporter* reporter) = 0;
    // Breaks every open connection abruptly (debugging): each side reports
    // 1003, and switched-on connections come back with 1002.
    virtual void simulateErrors() = 0;
    // The process is about to sleep: flushes the send queues for at most `ms`
    // milliseconds (this call may block that long) and stops announcing until
    // resume().
    virtual void suspend(int ms) = 0;

    // Event-loop support (include <poll.h>). Fills `fds` with the library's
    // sockets and the events to wait for, and returns the milliseconds until
    // the next timer is due (0 = call process() now). Wait on them with poll()
    // (or watch them in another event loop), then call process(). The set
    // changes as connections come and go: ask again after each process().
    virtual int pollDescriptors(std::vector<pollfd>& fds) = 0;
    // Waits at most maxMs for a socket to become ready or a timer to fall due
    // (blocks; never calls back). Returns 1 when process() has work, 0 if not.
    virtual int wait(int maxMs) = 0;

protected:
    ~INetworkManager() = default;
};

// Holds the network's writes for its scope (see INetworkManager::holdWrites):
// what is sent meanwhile leaves in one write per connection at the end.
class WriteBatch
{
public:
    explicit WriteBatch(INetworkManager* network) : network_(network)
    {
        if (network_)
            network_->holdWrites();
    }
    ~WriteBatch()
    {
        if (network_)
            network_->releaseWrites();
    }
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

private:
    INetworkManager* network_;
};

class IFileTransferManager
{
public:
    // Gets every "FA" and "FD" packet a handler is given; `context` as in
    // IEventHandler. Returns 0 (no transfer is served by this system).
    virtual int handlePacket(int context, const Packet* packet) = 0;
    // Ends the transfers with a peer; reason 0 = unsubscribed, 1 = timed out.
    virtual void cancelTransfers(int peer, int reason) = 0;

protected:
    ~IFileTransferManager() = default;
};

} // namespace lknet

// Process-wide singletons; never freed by the caller.
lknet::INetworkManager* LKGetNetworkManager();
lknet::IFileTransferManager* LKGetFileTransferManager();

// Installs the log sink (null restores the default: one line on standard error).
void LKSetReportFunction(void (*report)(const char* line));
// Formats one printf-style line (without trailing line feed) and hands it to the
// log sink. `level` is informational (0).
void LKReportMessage(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

namespace lknet
{
using ::LKGetFileTransferManager;
using ::LKGetNetworkManager;
using ::LKReportMessage;
using ::LKSetReportFunction;
} // namespace lknet
