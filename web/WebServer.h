#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "remote/ListenSettings.h"
#include "web/WebDesk.h"
#include "web/WebPairing.h"

namespace Vellaris::Web
{

// When browsers must pair before they may open the WebSocket.
enum class PairingRule
{
    // Only when listening beyond this computer (the bind address is not loopback).
    BeyondLoopback,
    // Always, also for clients on this computer.
    Always,
};

// The tablet remote's HTTP and WebSocket server (Boost.Beast over Asio), without a thread of its
// own: its sockets are non-blocking, the platform's descriptor watcher says when one is readable,
// and the server then runs the handlers that are ready (at most kHandlersPerTurn per turn, so a
// flood cannot hold the loop); a short periodic turn finishes writes and timers. Every component
// is touched on the GUI thread only.
//
//   GET /, GET /<file>    a file of the page, from the program's resources under "web/"
//   POST /pair            {"code":"123456"}: 200 with the token in an HttpOnly cookie, 403 for a
//                         wrong code, 429 after kMaxTries wrong codes a minute from one address
//   GET /ws               the WebSocket of the JSON protocol (WebDesk); 401 without a valid token
//                         where pairing is needed
//
// Limits: a request or message is at most 64 KB; at most kMaxConnections connections; a client
// whose unsent replies pass kMaxQueuedBytes (it does not read) is dropped; an HTTP connection idle
// for kIdleMs is closed, a WebSocket that stops answering pings too.
class WebServer
{
public:
    static constexpr size_t kMaxConnections = 64;
    static constexpr size_t kMaxQueuedBytes = 4 * 1024 * 1024;
    static constexpr int kHandlersPerTurn = 256;
    static constexpr int64_t kTurnMs = 5;
    static constexpr int64_t kIdleMs = 30000;

    // Reads a file of the page ("index.html", "js/app.js"); false when there is none.
    using FileFunction = std::function<bool(const std::string& name, std::string& bytes)>;

    WebServer();
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // Starts listening (stopping first). Port 0 leaves it off and succeeds. A port that is taken
    // or an address that cannot be bound fails: the reason is in getStatus().
    bool start(const Remote::ListenSettings& settings, PairingRule rule = PairingRule::BeyondLoopback);
    void stop();

    bool isListening() const;
    // Where it listens, "127.0.0.1:8080", or why not: "off", "port 8080 is taken", ...
    const std::string& getStatus() const { return status; }
    // The port it listens on (0 while off).
    int getPort() const { return port; }
    bool isPairingRequired() const { return pairingRequired; }

    // Where the page's files come from (the program's resources by default).
    void setFileFunction(FileFunction files);

    WebDesk& getDesk() { return desk; }
    WebPairing& getPairing() { return pairing; }
    // Forgets the paired device of row `index` and closes its open WebSockets.
    bool revoke(size_t index);
    size_t countConnections() const;

    // Called after a browser paired, a paired page connected or a device was revoked (the device
    // list or the code changed).
    void setDevicesChanged(std::function<void()> changed) { devicesChanged = std::move(changed); }
    void notifyDevicesChanged()
    {
        if (devicesChanged)
            devicesChanged();
    }

    // Runs what is ready now (also called by the server's own watchers and timer).
    void pump();

    // The sockets and sessions (Beast stays inside WebServer.cpp).
    struct Impl;

private:
    void sendToClient(WebDesk::ClientId client, const std::string& text);

    std::unique_ptr<Impl> impl;
    WebDesk desk;
    WebPairing pairing;
    std::string status = "off";
    int port = 0;
    bool pairingRequired = false;
    std::function<void()> devicesChanged;
};

} // namespace Vellaris::Web
