#include "web/WebServer.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <chrono>
#include <deque>
#include <map>
#include <optional>

#include "core/Attributes.h"
#include "core/JsonReader.h"
#include "tessel/IDescriptorWatcher.h"
#include "tessel/IFileSystem.h"
#include "tessel/IStream.h"
#include "tessel/IdleClient.h"
#include "tessel/Platform.h"

namespace Vellaris::Web
{

namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;

namespace
{
constexpr const char* kCookieName = "roomdesk";
constexpr size_t kMaxHeaderBytes = 8192;

// The page's files from the program's resources, "resource:///web/<name>".
bool readResource(const std::string& name, std::string& bytes)
{
    Tessel::IStream* stream = Tessel::GetFileSystem()->openStream("resource:///web/" + name);
    if (!stream)
        return false;
    bytes.clear();
    char chunk[16384];
    int64_t got = 0;
    while ((got = stream->read(chunk, sizeof chunk)) > 0)
        bytes.append(chunk, size_t(got));
    stream->release();
    return true;
}

std::string contentTypeOf(const std::string& name)
{
    static const std::pair<const char*, const char*> kTypes[] = {
        {"html", "text/html; charset=utf-8"},
        {"js", "text/javascript; charset=utf-8"},
        {"mjs", "text/javascript; charset=utf-8"},
        {"css", "text/css; charset=utf-8"},
        {"json", "application/json"},
        {"webmanifest", "application/manifest+json"},
        {"svg", "image/svg+xml"},
        {"png", "image/png"},
        {"ico", "image/x-icon"},
        {"woff2", "font/woff2"},
        {"txt", "text/plain; charset=utf-8"},
    };
    const size_t dot = name.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    for (const auto& [known, type] : kTypes)
        if (extension == known)
            return type;
    return "application/octet-stream";
}

// The file a request path names below the page ("/" is "index.html"); false for paths that
// could leave the page's folder or hold anything but plain names.
bool fileNameOf(std::string_view target, std::string& name)
{
    const size_t query = target.find_first_of("?#");
    std::string_view path = target.substr(0, query);
    if (path.empty() || path[0] != '/')
        return false;
    name = std::string(path.substr(1));
    if (name.empty() || name.back() == '/')
        name += "index.html";
    if (name.find("..") != std::string::npos || name.find("//") != std::string::npos ||
        name.find('\\') != std::string::npos || name.find('%') != std::string::npos)
        return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7f)
            return false;
    return true;
}

// The value of the cookie `name` in a Cookie header, empty when absent.
std::string cookieOf(std::string_view header, std::string_view name)
{
    size_t at = 0;
    while (at < header.size())
    {
        size_t end = header.find(';', at);
        if (end == std::string_view::npos)
            end = header.size();
        std::string_view part = header.substr(at, end - at);
        while (!part.empty() && part.front() == ' ')
            part.remove_prefix(1);
        if (part.size() > name.size() && part.substr(0, name.size()) == name && part[name.size()] == '=')
            return std::string(part.substr(name.size() + 1));
        at = end + 1;
    }
    return {};
}
} // namespace

class Session;
class WebSocketSession;

struct WebServer::Impl
{
    explicit Impl(WebServer& owner) : owner(owner), ticker([this] { this->owner.pump(); }) {}

    WebServer& owner;
    net::io_context io;
    std::unique_ptr<tcp::acceptor> acceptor;
    int listenFd = -1;
    std::map<int, std::shared_ptr<Session>> sessions; // by descriptor
    std::map<WebDesk::ClientId, std::shared_ptr<WebSocketSession>> sockets;
    FileFunction files = readResource;
    Tessel::IdleClient ticker;
    bool pumping = false;

    void accept();
    void adopt(int fd, std::shared_ptr<Session> session);
    void forget(int fd);
    bool needsPairing() const { return owner.pairingRequired; }
};

// One connection: HTTP first, a WebSocket after an upgrade.
class Session : public std::enable_shared_from_this<Session>
{
public:
    explicit Session(WebServer::Impl& impl) : impl(impl) {}
    virtual ~Session() = default;
    virtual void close() = 0;

protected:
    WebServer::Impl& impl;
};

class WebSocketSession : public Session
{
public:
    WebSocketSession(WebServer::Impl& impl, tcp::socket socket, std::string token)
        : Session(impl), ws(std::move(socket)), token(std::move(token))
    {
        fd = beast::get_lowest_layer(ws).socket().native_handle();
    }

    void start(http::request<http::string_body> request)
    {
        websocket::stream_base::timeout timeout =
            websocket::stream_base::timeout::suggested(beast::role_type::server);
        timeout.idle_timeout = std::chrono::milliseconds(WebServer::kIdleMs);
        timeout.keep_alive_pings = true;
        ws.set_option(timeout);
        ws.read_message_max(WebDesk::kMaxMessageBytes);
        ws.auto_fragment(false);
        ws.set_option(websocket::stream_base::decorator([](websocket::response_type& response)
                                                        { response.set(http::field::server, "Ambrel"); }));
        auto self = std::static_pointer_cast<WebSocketSession>(shared_from_this());
        ws.async_accept(request,
                        [self](beast::error_code error)
                        {
                            if (error)
                                return self->close();
                            WebDesk& desk = self->impl.owner.getDesk();
                            self->client = desk.openClient();
                            self->impl.sockets[self->client] = self;
                            desk.sendHello(self->client);
                            if (!self->token.empty())
                                self->impl.owner.notifyDevicesChanged(); // seen now
                            self->read();
                        });
    }

    void send(const std::string& text)
    {
        if (closed)
            return;
        if (queuedBytes + text.size() > WebServer::kMaxQueuedBytes)
            return close(); // it does not read: the desk does not keep its replies for ever
        queue.push_back(text);
        queuedBytes += text.size();
        if (!writing)
            write();
    }

    void close() override
    {
        if (closed)
            return;
        closed = true;
        impl.forget(fd);
        beast::error_code ignored;
        beast::get_lowest_layer(ws).socket().shutdown(tcp::socket::shutdown_both, ignored);
        beast::get_lowest_layer(ws).socket().close(ignored);
        // The desk lets go of the client on the next turn, never inside one of its own calls.
        auto self = std::static_pointer_cast<WebSocketSession>(shared_from_this());
        net::post(impl.io, [self] { self->release(); });
    }

    // Lets the desk forget the client (ends its gestures and watches).
    void release()
    {
        if (client == 0)
            return;
        impl.sockets.erase(client);
        impl.owner.getDesk().closeClient(client);
        client = 0;
    }

    const std::string& getToken() const { return token; }

private:
    void read()
    {
        if (closed)
            return;
        auto self = std::static_pointer_cast<WebSocketSession>(shared_from_this());
        ws.async_read(buffer,
                      [self](beast::error_code error, size_t)
                      {
                          if (error)
                              return self->close(); // gone, refused, or over 64 KB (closed with 1009)
                          if (self->closed)
                              return;
                          WebDesk& desk = self->impl.owner.getDesk();
                          if (!self->ws.got_text())
                              desk.handleText(self->client, "binary");
                          else
                          {
                              const auto data = self->buffer.cdata();
                              desk.handleText(
                                  self->client,
                                  std::string_view(static_cast<const char*>(data.data()), data.size()));
                          }
                          self->buffer.consume(self->buffer.size());
                          self->read();
                      });
    }

    void write()
    {
        writing = true;
        ws.text(true);
        auto self = std::static_pointer_cast<WebSocketSession>(shared_from_this());
        ws.async_write(net::buffer(queue.front()),
                       [self](beast::error_code error, size_t)
                       {
                           self->writing = false;
                           if (error || self->closed)
                               return self->close();
                           self->queuedBytes -= self->queue.front().size();
                           self->queue.pop_front();
                           if (!self->queue.empty())
                               self->write();
                       });
    }

    websocket::stream<beast::tcp_stream> ws;
    beast::flat_buffer buffer;
    std::deque<std::string> queue;
    size_t queuedBytes = 0;
    bool writing = false;
    bool closed = false;
    int fd = -1;
    WebDesk::ClientId client = 0;
    std::string token;
};

class HttpSession : public Session
{
public:
    HttpSession(WebServer::Impl& impl, tcp::socket socket) : Session(impl), stream(std::move(socket))
    {
        fd = stream.socket().native_handle();
        beast::error_code error;
        auto endpoint = stream.socket().remote_endpoint(error);
        if (!error)
            peer = endpoint.address().to_string();
    }

    void start() { read(); }

    void close() override
    {
        if (closed)
            return;
        closed = true;
        impl.forget(fd);
        beast::error_code ignored;
        stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
        stream.socket().close(ignored);
    }

private:
    using Request = http::request<http::string_body>;
    using Response = http::response<http::string_body>;

    void read()
    {
        if (closed)
            return;
        parser.emplace();
        parser->header_limit(kMaxHeaderBytes);
        parser->body_limit(WebDesk::kMaxMessageBytes);
        stream.expires_after(std::chrono::milliseconds(WebServer::kIdleMs));
        auto self = std::static_pointer_cast<HttpSession>(shared_from_this());
        http::async_read(stream, buffer, *parser,
                         [self](beast::error_code error, size_t)
                         {
                             if (error == http::error::body_limit || error == http::error::header_limit)
                                 return self->reply(self->plain(http::status::payload_too_large, false,
                                                                "the request is larger than 64 KB\n"),
                                                    true);
                             if (error)
                                 return self->close();
                             self->handle(self->parser->release());
                         });
    }

    Response plain(http::status status, bool keepAlive, const std::string& text, unsigned version = 11)
    {
        Response response{status, version};
        response.set(http::field::server, "Ambrel");
        response.set(http::field::content_type, "text/plain; charset=utf-8");
        response.set(http::field::cache_control, "no-store");
        response.keep_alive(keepAlive);
        response.body() = text;
        response.prepare_payload();
        return response;
    }

    void handle(Request request)
    {
        const std::string target(request.target());
        const bool keepAlive = request.keep_alive();
        if (target == "/ws" || target.rfind("/ws?", 0) == 0)
        {
            if (!websocket::is_upgrade(request))
                return reply(plain(http::status::bad_request, keepAlive, "a WebSocket is opened here\n"),
                             false);
            const beast::string_view cookies = request[http::field::cookie];
            std::string token = cookieOf(std::string_view(cookies.data(), cookies.size()), kCookieName);
            if (impl.needsPairing() && !impl.owner.getPairing().accept(token))
                return reply(
                    plain(http::status::unauthorized, keepAlive, "pair with the desk's code first\n"), false);
            if (!impl.needsPairing())
                token.clear();
            // The connection becomes a WebSocket: the same descriptor, a new owner.
            closed = true;
            auto upgraded =
                std::make_shared<WebSocketSession>(impl, stream.release_socket(), std::move(token));
            impl.adopt(fd, upgraded);
            upgraded->start(std::move(request));
            return;
        }
        if (target == "/pair")
        {
            if (request.method() != http::verb::post)
                return reply(plain(http::status::method_not_allowed, keepAlive, "send the code with POST\n"),
                             false);
            return pair(request);
        }
        if (request.method() != http::verb::get && request.method() != http::verb::head)
            return reply(plain(http::status::method_not_allowed, keepAlive, "only GET is served here\n"),
                         false);
        std::string name, bytes;
        if (!fileNameOf(target, name) || !impl.files || !impl.files(name, bytes))
            return reply(plain(http::status::not_found, keepAlive, "no such file\n"), false);
        Response response{http::status::ok, request.version()};
        response.set(http::field::server, "Ambrel");
        response.set(http::field::content_type, contentTypeOf(name));
        response.set(http::field::cache_control, "no-cache");
        response.set("X-Content-Type-Options", "nosniff");
        response.keep_alive(keepAlive);
        response.body() = std::move(bytes);
        response.prepare_payload();
        if (request.method() == http::verb::head)
            response.body().clear();
        reply(std::move(response), false);
    }

    void pair(const Request& request)
    {
        const bool keepAlive = request.keep_alive();
        if (!impl.needsPairing())
            return reply(plain(http::status::ok, keepAlive, "{\"paired\":true}"), false);
        Core::Portable::Attributes body;
        std::string code;
        if (Core::Portable::JsonReader::parse(request.body(), body))
            code = std::string(body.getText("code"));
        std::string token;
        const WebPairing::Result result = impl.owner.getPairing().pair(
            peer, code, std::string(request[http::field::user_agent]), Tessel::GetSystemTicks(), token);
        if (result == WebPairing::Result::TooManyTries)
            return reply(plain(http::status::too_many_requests, keepAlive,
                               "{\"error\":\"too many wrong codes: wait a minute\"}"),
                         false);
        if (result == WebPairing::Result::Wrong)
            return reply(plain(http::status::forbidden, keepAlive, "{\"error\":\"wrong code\"}"), false);
        Response response = plain(http::status::ok, keepAlive, "{\"paired\":true}");
        response.set(http::field::set_cookie,
                     std::string(kCookieName) + "=" + token + "; HttpOnly; SameSite=Strict; Path=/");
        reply(std::move(response), false);
        impl.owner.notifyDevicesChanged();
    }

    void reply(Response response, bool thenClose)
    {
        auto message = std::make_shared<Response>(std::move(response));
        if (thenClose)
            message->keep_alive(false);
        auto self = std::static_pointer_cast<HttpSession>(shared_from_this());
        http::async_write(stream, *message,
                          [self, message](beast::error_code error, size_t)
                          {
                              if (error || message->need_eof())
                                  return self->close();
                              self->read();
                          });
    }

    beast::tcp_stream stream;
    beast::flat_buffer buffer;
    std::optional<http::request_parser<http::string_body>> parser;
    std::string peer;
    int fd = -1;
    bool closed = false;
};

void WebServer::Impl::accept()
{
    if (!acceptor)
        return;
    acceptor->async_accept(
        [this](beast::error_code error, tcp::socket socket)
        {
            if (error == net::error::operation_aborted || !acceptor)
                return;
            if (!error)
            {
                if (sessions.size() >= WebServer::kMaxConnections)
                {
                    beast::error_code ignored;
                    socket.close(ignored); // full: the browser tries again later
                }
                else
                {
                    socket.non_blocking(true);
                    // Small messages go at once: without this a reply followed closely by a
                    // watched value waits for the browser's delayed acknowledgement.
                    beast::error_code ignored;
                    socket.set_option(tcp::no_delay(true), ignored);
                    const int fd = socket.native_handle();
                    auto session = std::make_shared<HttpSession>(*this, std::move(socket));
                    adopt(fd, session);
                    session->start();
                }
            }
            accept();
        });
}

void WebServer::Impl::adopt(int fd, std::shared_ptr<Session> session)
{
    sessions[fd] = std::move(session);
    Tessel::GetDescriptorWatcher()->watch(fd, [this] { owner.pump(); });
    if (sessions.size() == 1)
        ticker.start(WebServer::kTurnMs, true);
}

void WebServer::Impl::forget(int fd)
{
    auto it = sessions.find(fd);
    if (it == sessions.end())
        return;
    Tessel::GetDescriptorWatcher()->unwatch(fd);
    // Kept alive by the handlers still queued for it; the map lets go now.
    sessions.erase(it);
}

WebServer::WebServer()
    : impl(std::make_unique<Impl>(*this)),
      desk([this](WebDesk::ClientId client, const std::string& text) { sendToClient(client, text); })
{
}

WebServer::~WebServer()
{
    stop();
}

void WebServer::setFileFunction(FileFunction files)
{
    impl->files = std::move(files);
}

bool WebServer::isListening() const
{
    return impl->acceptor != nullptr;
}

size_t WebServer::countConnections() const
{
    return impl->sessions.size();
}

bool WebServer::start(const Remote::ListenSettings& settings, PairingRule rule)
{
    stop();
    if (settings.isOff())
    {
        status = "off";
        return true;
    }
    beast::error_code error;
    const net::ip::address address = net::ip::make_address(settings.bind, error);
    if (error)
    {
        status = settings.bind + " is no IP address";
        return false;
    }
    auto acceptor = std::make_unique<tcp::acceptor>(impl->io);
    const tcp::endpoint endpoint(address, uint16_t(settings.port));
    acceptor->open(endpoint.protocol(), error);
    if (!error)
        acceptor->set_option(net::socket_base::reuse_address(true), error); // a restart finds its port
    if (!error)
        acceptor->bind(endpoint, error);
    if (error)
    {
        status = error == net::error::address_in_use
                     ? "port " + std::to_string(settings.port) + " is taken"
                     : "cannot listen on " + settings.bind + ":" + std::to_string(settings.port) + " (" +
                           error.message() + ")";
        return false;
    }
    acceptor->listen(net::socket_base::max_listen_connections, error);
    if (!error)
        acceptor->non_blocking(true, error);
    if (error)
    {
        status = "cannot listen on " + settings.bind + ":" + std::to_string(settings.port) + " (" +
                 error.message() + ")";
        return false;
    }
    const int fd = acceptor->native_handle();
    if (!Tessel::GetDescriptorWatcher()->watch(fd, [this] { pump(); }))
    {
        status = "the event loop cannot watch the socket";
        return false;
    }
    port = acceptor->local_endpoint().port();
    impl->listenFd = fd;
    impl->acceptor = std::move(acceptor);
    pairingRequired = rule == PairingRule::Always || !Remote::isLoopbackAddress(settings.bind);
    status = (address.is_v6() ? "[" + settings.bind + "]" : settings.bind) + ":" + std::to_string(port);
    impl->io.restart();
    impl->accept();
    pump();
    return true;
}

void WebServer::stop()
{
    if (impl->listenFd >= 0)
        Tessel::GetDescriptorWatcher()->unwatch(impl->listenFd);
    impl->listenFd = -1;
    if (impl->acceptor)
    {
        beast::error_code ignored;
        impl->acceptor->close(ignored);
        impl->acceptor.reset();
    }
    auto sessions = impl->sessions;
    for (auto& [fd, session] : sessions)
        session->close();
    auto sockets = impl->sockets;
    for (auto& [client, socket] : sockets)
        socket->release();
    impl->sessions.clear();
    impl->sockets.clear();
    impl->ticker.stop();
    // What was aborted finishes now, so nothing waits in the queue for a later start.
    impl->io.restart();
    impl->io.poll();
    port = 0;
    status = "off";
}

bool WebServer::revoke(size_t index)
{
    const auto& devices = pairing.getDevices();
    if (index >= devices.size())
        return false;
    const std::string token = devices[index].token;
    pairing.revoke(index);
    auto sockets = impl->sockets;
    for (auto& [client, socket] : sockets)
        if (socket->getToken() == token)
            socket->close();
    notifyDevicesChanged();
    return true;
}

void WebServer::pump()
{
    if (impl->pumping)
        return;
    impl->pumping = true;
    if (impl->io.stopped())
        impl->io.restart();
    for (int i = 0; i < kHandlersPerTurn && impl->io.poll_one() > 0; ++i)
    {
    }
    impl->pumping = false;
    if (impl->sessions.empty())
        impl->ticker.stop();
}

void WebServer::sendToClient(WebDesk::ClientId client, const std::string& text)
{
    auto it = impl->sockets.find(client);
    if (it != impl->sockets.end())
        it->second->send(text);
}

} // namespace Vellaris::Web
