#pragma once

// A browser's side of the tablet remote for tests and benchmarks that talk to a desk running as a
// program of its own: plain HTTP requests and the WebSocket of the page (Boost.Beast), each call
// with a deadline, so that a desk that does not answer fails a test instead of hanging it. A client
// may make its sockets in another network namespace and from a chosen local address.

#include <boost/asio/io_context.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/websocket/stream.hpp>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace WebTest
{

// Where a client's sockets come from.
struct Origin
{
    // The network namespace (a name under /run/netns) the sockets are made in; "" is this
    // process's own.
    std::string netns;
    // The local address they are bound to; "" lets the system choose.
    std::string address;
};

struct HttpAnswer
{
    int status = 0; // 0 when no answer came
    std::string body;
    std::string setCookie;
    std::string error; // why there is no answer
};

// A TCP port on 127.0.0.1 that was free a moment ago.
int freeTcpPort();

// One request on a connection of its own ("GET", "POST"), with "Cookie: <cookie>" when given.
HttpAnswer httpRequest(const std::string& host, int port, const std::string& method,
                       const std::string& target, const std::string& body = {},
                       const std::string& cookie = {}, const Origin& origin = {},
                       std::chrono::milliseconds limit = std::chrono::seconds(5));

// The token of a "Set-Cookie: roomdesk=<token>; ..." header ("" when it names another cookie).
std::string tokenOf(const std::string& setCookie);

// The page's WebSocket at /ws. Not thread-safe; every call runs the client's own I/O until it is
// done or its time is up.
class WebSocketClient
{
public:
    WebSocketClient();
    ~WebSocketClient();
    WebSocketClient(const WebSocketClient&) = delete;
    WebSocketClient& operator=(const WebSocketClient&) = delete;

    // Opens /ws, with the cookie "roomdesk=<token>" when `token` is given. False when it could not:
    // the HTTP status of a refusal in getRefusal() (401 without a valid token), or the reason in
    // getError().
    bool open(const std::string& host, int port, const std::string& token = {}, const Origin& origin = {},
              std::chrono::milliseconds limit = std::chrono::seconds(5));
    int getRefusal() const { return refusal; }
    const std::string& getError() const { return error; }

    bool send(const std::string& text, std::chrono::milliseconds limit = std::chrono::seconds(5));
    // The next message; false when none came in time or the socket is closed (isClosed() then).
    // A read that ran out of time stays pending: its message is the next one received.
    bool receive(std::string& text, std::chrono::milliseconds limit);
    // Messages until one for which `wanted` holds (it lands in `text`); false as for receive.
    bool receiveUntil(const std::function<bool(const std::string&)>& wanted, std::string& text,
                      std::chrono::milliseconds limit);
    // Whether the desk closed the socket (or it broke).
    bool isClosed() const { return closed; }

private:
    // Runs the I/O until `done` holds; false when the time ran out or nothing is left to run.
    bool runUntil(const std::function<bool()>& done, std::chrono::steady_clock::time_point deadline);

    boost::asio::io_context io;
    std::optional<boost::beast::websocket::stream<boost::beast::tcp_stream>> ws;
    boost::beast::flat_buffer buffer;
    bool reading = false;
    bool readDone = false;
    std::string readText;
    bool closed = false;
    int refusal = 0;
    std::string error;
};

} // namespace WebTest
