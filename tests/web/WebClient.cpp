#include "tests/web/WebClient.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <memory>

namespace WebTest
{

namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

namespace
{

constexpr const char* kUserAgent =
    "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0 Safari/537.36";

// Opens `socket` in `origin`'s network namespace and binds it to its address. A socket stays in the
// namespace it was made in, so only the making happens there; this thread comes back at once.
bool openSocket(tcp::socket& socket, const Origin& origin, std::string& error)
{
    int home = -1;
    if (!origin.netns.empty())
    {
        home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        const int there = ::open(("/run/netns/" + origin.netns).c_str(), O_RDONLY | O_CLOEXEC);
        const bool entered = home >= 0 && there >= 0 && ::setns(there, CLONE_NEWNET) == 0;
        if (there >= 0)
            ::close(there);
        if (!entered)
        {
            if (home >= 0)
                ::close(home);
            error = "cannot enter the network namespace " + origin.netns;
            return false;
        }
    }
    beast::error_code failure;
    socket.open(tcp::v4(), failure);
    if (!failure && !origin.address.empty())
    {
        const net::ip::address local = net::ip::make_address(origin.address, failure);
        if (!failure)
            socket.bind(tcp::endpoint(local, 0), failure);
    }
    if (home >= 0)
    {
        if (::setns(home, CLONE_NEWNET) != 0)
            std::abort(); // a test thread left in the wrong namespace would test something else
        ::close(home);
    }
    if (failure)
        error = "cannot make the socket: " + failure.message();
    return !failure;
}

bool endpointOf(const std::string& host, int port, tcp::endpoint& endpoint, std::string& error)
{
    beast::error_code failure;
    const net::ip::address address = net::ip::make_address(host, failure);
    if (failure)
    {
        error = host + " is no IP address";
        return false;
    }
    endpoint = tcp::endpoint(address, uint16_t(port));
    return true;
}

} // namespace

int freeTcpPort()
{
    net::io_context io;
    tcp::acceptor acceptor(io, tcp::endpoint(net::ip::make_address("127.0.0.1"), 0));
    return acceptor.local_endpoint().port();
}

HttpAnswer httpRequest(const std::string& host, int port, const std::string& method,
                       const std::string& target, const std::string& body, const std::string& cookie,
                       const Origin& origin, std::chrono::milliseconds limit)
{
    HttpAnswer answer;
    tcp::endpoint endpoint;
    if (!endpointOf(host, port, endpoint, answer.error))
        return answer;
    net::io_context io;
    beast::tcp_stream stream(io);
    if (!openSocket(stream.socket(), origin, answer.error))
        return answer;
    http::request<http::string_body> request{method == "POST" ? http::verb::post : http::verb::get, target,
                                             11};
    request.set(http::field::host, host + ":" + std::to_string(port));
    request.set(http::field::user_agent, kUserAgent);
    if (!cookie.empty())
        request.set(http::field::cookie, cookie);
    if (!body.empty())
        request.set(http::field::content_type, "application/json");
    request.body() = body;
    request.keep_alive(false);
    request.prepare_payload();
    http::response<http::string_body> response;
    beast::flat_buffer buffer;
    beast::error_code failure;
    // Every step ends by the stream's expiry at the latest, so io.run() returns.
    stream.expires_after(limit);
    stream.async_connect(endpoint,
                         [&](beast::error_code error)
                         {
                             if (error)
                             {
                                 failure = error;
                                 return;
                             }
                             http::async_write(stream, request,
                                               [&](beast::error_code error, size_t)
                                               {
                                                   if (error)
                                                   {
                                                       failure = error;
                                                       return;
                                                   }
                                                   http::async_read(stream, buffer, response,
                                                                    [&](beast::error_code error, size_t)
                                                                    { failure = error; });
                                               });
                         });
    io.run();
    if (failure)
    {
        answer.error = method + " " + target + ": " + failure.message();
        return answer;
    }
    answer.status = int(response.result_int());
    answer.body = response.body();
    answer.setCookie = std::string(response[http::field::set_cookie]);
    return answer;
}

std::string tokenOf(const std::string& setCookie)
{
    const std::string prefix = "roomdesk=";
    if (setCookie.rfind(prefix, 0) != 0)
        return {};
    const size_t end = setCookie.find(';');
    return setCookie.substr(prefix.size(),
                            end == std::string::npos ? std::string::npos : end - prefix.size());
}

WebSocketClient::WebSocketClient() = default;

WebSocketClient::~WebSocketClient()
{
    if (ws)
    {
        beast::error_code ignored;
        beast::get_lowest_layer(*ws).socket().close(ignored);
    }
    // The aborted reads and writes finish now, while what they touch still exists.
    io.restart();
    io.poll();
}

bool WebSocketClient::runUntil(const std::function<bool()>& done, Clock::time_point deadline)
{
    while (!done())
    {
        if (Clock::now() >= deadline)
        {
            // Out of time (or none given): what is ready now still counts.
            if (io.stopped())
                io.restart();
            io.poll();
            return done();
        }
        if (io.stopped())
            io.restart();
        if (io.run_one_until(deadline) == 0 && io.stopped() && !done())
            return false; // nothing left that could make it happen
    }
    return true;
}

bool WebSocketClient::open(const std::string& host, int port, const std::string& token, const Origin& origin,
                           std::chrono::milliseconds limit)
{
    refusal = 0;
    error.clear();
    closed = true;
    reading = readDone = false;
    buffer.clear();
    tcp::endpoint endpoint;
    if (!endpointOf(host, port, endpoint, error))
        return false;
    ws.emplace(io);
    beast::tcp_stream& stream = beast::get_lowest_layer(*ws);
    if (!openSocket(stream.socket(), origin, error))
        return false;
    ws->set_option(websocket::stream_base::decorator(
        [token](websocket::request_type& request)
        {
            request.set(http::field::user_agent, kUserAgent);
            if (!token.empty())
                request.set(http::field::cookie, "roomdesk=" + token);
        }));
    struct Progress
    {
        bool done = false;
        beast::error_code failure;
        websocket::response_type response;
    };
    auto progress = std::make_shared<Progress>();
    const std::string hostField = host + ":" + std::to_string(port);
    stream.expires_after(limit);
    stream.async_connect(endpoint,
                         [this, progress, hostField](beast::error_code failure)
                         {
                             if (failure)
                             {
                                 progress->failure = failure;
                                 progress->done = true;
                                 return;
                             }
                             ws->async_handshake(progress->response, hostField, "/ws",
                                                 [progress](beast::error_code failure)
                                                 {
                                                     progress->failure = failure;
                                                     progress->done = true;
                                                 });
                         });
    runUntil([&] { return progress->done; }, Clock::now() + limit + std::chrono::seconds(1));
    if (!progress->done)
    {
        error = "no answer from " + hostField;
        return false;
    }
    if (progress->failure)
    {
        if (progress->failure == websocket::error::upgrade_declined)
            refusal = int(progress->response.result_int());
        error = "/ws refused: " + progress->failure.message();
        return false;
    }
    // From here the WebSocket's own rules apply (a client without timeouts).
    stream.expires_never();
    closed = false;
    return true;
}

bool WebSocketClient::send(const std::string& text, std::chrono::milliseconds limit)
{
    if (closed || !ws)
        return false;
    struct Progress
    {
        bool done = false;
        beast::error_code failure;
        std::string text;
    };
    auto progress = std::make_shared<Progress>();
    progress->text = text;
    ws->text(true);
    ws->async_write(net::buffer(progress->text),
                    [progress](beast::error_code failure, size_t)
                    {
                        progress->failure = failure;
                        progress->done = true;
                    });
    if (!runUntil([&] { return progress->done; }, Clock::now() + limit))
        return false;
    if (progress->failure)
        closed = true;
    return !closed;
}

bool WebSocketClient::receive(std::string& text, std::chrono::milliseconds limit)
{
    if (!ws || (closed && !readDone))
        return false;
    if (!reading && !readDone)
    {
        reading = true;
        ws->async_read(buffer,
                       [this](beast::error_code failure, size_t)
                       {
                           reading = false;
                           readDone = true;
                           if (failure)
                           {
                               closed = true;
                               readText.clear();
                               return;
                           }
                           readText = beast::buffers_to_string(buffer.cdata());
                           buffer.consume(buffer.size());
                       });
    }
    if (!runUntil([this] { return readDone; }, Clock::now() + limit))
        return false;
    readDone = false;
    if (closed)
        return false;
    text = std::move(readText);
    return true;
}

bool WebSocketClient::receiveUntil(const std::function<bool(const std::string&)>& wanted, std::string& text,
                                   std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (true)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || !receive(text, left))
            return false;
        if (wanted(text))
            return true;
    }
}

} // namespace WebTest
