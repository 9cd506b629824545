// The tablet remote's server on loopback, with a real WebSocket and HTTP client, both driven from
// the test's own loop (the server has no thread of its own).
#include <gtest/gtest.h>

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "remote/RemoteValue.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/IParameter.h"
#include "tessel/ISystem.h"
#include "tests/web/WebTestSupport.h"
#include "web/WebRemote.h"
#include "web/WebServer.h"

namespace
{

namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using Vellaris::Web::PairingRule;
using Vellaris::Web::WebServer;

class WebServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A settings folder of the test's own: the desk settings file is written there.
        char folder[] = "/tmp/web-settings-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        settingsFolder = folder;
        platform.setFolder(Tessel::Location::kSettings, settingsFolder);
        mixer = new WebTest::Mixer;
        Tessel::getRootComponent()->addChild(mixer);
        server.setFileFunction(
            [](const std::string& name, std::string& bytes)
            {
                if (name == "index.html")
                    bytes = "<!doctype html><title>page</title>";
                else if (name == "js/app.js")
                    bytes = "export const x = 1;";
                else
                    return false;
                return true;
            });
    }
    void TearDown() override
    {
        server.stop();
        Tessel::destroyRootComponent();
        std::filesystem::remove_all(settingsFolder);
    }

    void start(PairingRule rule = PairingRule::BeyondLoopback)
    {
        Vellaris::Remote::ListenSettings settings;
        settings.port = 0; // replaced below: the system picks a free port
        settings.bind = "127.0.0.1";
        // Port 0 means "off" to the server, so a free port is found first.
        tcp::acceptor probe(io, tcp::endpoint(net::ip::make_address("127.0.0.1"), 0));
        settings.port = probe.local_endpoint().port();
        probe.close();
        ASSERT_TRUE(server.start(settings, rule)) << server.getStatus();
        port = server.getPort();
    }

    // Turns both loops until `done` (the deadline only keeps a failing test from hanging).
    bool spin(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done())
        {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            server.pump();
            if (other)
                other->pump();
            platform.advance(0);
            if (io.stopped())
                io.restart();
            io.poll();
        }
        return true;
    }

    // A page: one WebSocket, every message it gets kept in order.
    struct Page
    {
        explicit Page(WebServerTest& test) : test(test), ws(test.io) {}

        // Opens /ws (with `cookie`); the HTTP status of the answer.
        int open(const std::string& cookie = {}, bool reading = true)
        {
            bool done = false;
            beast::error_code result;
            ws.next_layer().async_connect(
                tcp::endpoint(net::ip::make_address("127.0.0.1"), uint16_t(test.port)),
                [&](beast::error_code error)
                {
                    if (error)
                    {
                        result = error;
                        done = true;
                        return;
                    }
                    ws.set_option(websocket::stream_base::decorator(
                        [cookie](websocket::request_type& request)
                        {
                            if (!cookie.empty())
                                request.set(http::field::cookie, cookie);
                        }));
                    ws.async_handshake(response, "127.0.0.1", "/ws",
                                       [&](beast::error_code error)
                                       {
                                           result = error;
                                           done = true;
                                       });
                });
            EXPECT_TRUE(test.spin([&] { return done; }));
            if (!result && reading)
                read();
            return int(response.result_int());
        }
        void send(const std::string& text)
        {
            ws.text(true);
            bool done = false;
            ws.async_write(net::buffer(text), [&](beast::error_code, size_t) { done = true; });
            EXPECT_TRUE(test.spin([&] { return done || closed; }));
        }
        // The next message (empty when the socket closed first).
        Core::Portable::Attributes next()
        {
            test.spin([&] { return !messages.empty() || closed; });
            if (messages.empty())
                return {};
            std::string text = messages.front();
            messages.pop_front();
            return WebTest::parse(text);
        }
        Core::Portable::Attributes ask(const std::string& text)
        {
            send(text);
            return next();
        }
        void read()
        {
            ws.async_read(buffer,
                          [this](beast::error_code error, size_t)
                          {
                              if (error)
                              {
                                  closed = true;
                                  return;
                              }
                              messages.push_back(beast::buffers_to_string(buffer.data()));
                              buffer.consume(buffer.size());
                              read();
                          });
        }

        WebServerTest& test;
        websocket::stream<tcp::socket> ws;
        websocket::response_type response;
        beast::flat_buffer buffer;
        std::deque<std::string> messages;
        bool closed = false;
    };

    // One HTTP request on a connection of its own.
    http::response<http::string_body> request(http::verb verb, const std::string& target,
                                              const std::string& body = {}, const std::string& cookie = {})
    {
        tcp::socket socket(io);
        http::request<http::string_body> message{verb, target, 11};
        message.set(http::field::host, "127.0.0.1");
        message.set(http::field::user_agent, "Mozilla/5.0 (iPad; CPU OS 17_0 like Mac OS X) Safari/604.1");
        if (!cookie.empty())
            message.set(http::field::cookie, cookie);
        message.body() = body;
        message.prepare_payload();
        http::response<http::string_body> response;
        beast::flat_buffer buffer;
        bool done = false;
        socket.async_connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), uint16_t(port)),
                             [&](beast::error_code error)
                             {
                                 if (error)
                                 {
                                     done = true;
                                     return;
                                 }
                                 http::async_write(socket, message,
                                                   [&](beast::error_code error, size_t)
                                                   {
                                                       if (error)
                                                       {
                                                           done = true;
                                                           return;
                                                       }
                                                       http::async_read(socket, buffer, response,
                                                                        [&](beast::error_code, size_t)
                                                                        { done = true; });
                                                   });
                             });
        EXPECT_TRUE(spin([&] { return done; }));
        return response;
    }

    // The token in a pairing answer's cookie, as a Cookie header.
    static std::string cookieOf(const http::response<http::string_body>& response)
    {
        std::string set(response[http::field::set_cookie]);
        return set.substr(0, set.find(';'));
    }

    Tessel::HeadlessPlatform platform;
    net::io_context io;
    WebServer server;
    WebTest::Mixer* mixer = nullptr;
    WebServer* other = nullptr; // a second server the loop turns, when a test has one
    int port = 0;
    std::string settingsFolder;
};

TEST_F(WebServerTest, ServesThePageWithItsContentTypesAndNothingOutsideIt)
{
    start();
    EXPECT_EQ(server.getStatus(), "127.0.0.1:" + std::to_string(port));
    auto page = request(http::verb::get, "/");
    EXPECT_EQ(page.result_int(), 200u);
    EXPECT_EQ(page[http::field::content_type], "text/html; charset=utf-8");
    EXPECT_EQ(page.body(), "<!doctype html><title>page</title>");
    auto script = request(http::verb::get, "/js/app.js?v=2");
    EXPECT_EQ(script.result_int(), 200u);
    EXPECT_EQ(script[http::field::content_type], "text/javascript; charset=utf-8");
    EXPECT_EQ(request(http::verb::get, "/../secret.txt").result_int(), 404u);
    EXPECT_EQ(request(http::verb::get, "/js/%2e%2e/x").result_int(), 404u);
    EXPECT_EQ(request(http::verb::get, "/missing.css").result_int(), 404u);
    EXPECT_EQ(request(http::verb::delete_, "/").result_int(), 405u);
    EXPECT_EQ(request(http::verb::post, "/", std::string(70000, 'y')).result_int(), 413u);
}

TEST_F(WebServerTest, APageDrivesTheDeskOverItsWebSocket)
{
    start();
    Page page(*this);
    ASSERT_EQ(page.open(), 101);
    auto hello = page.next();
    EXPECT_EQ(hello.getText("op"), "hello");
    EXPECT_EQ(hello.getText("desk"), "Ambrel");

    auto value = page.ask(R"({"op":"set","address":"/roomdesk/Mixer/volume","text":"-6","id":1})");
    EXPECT_EQ(value.getText("op"), "value");
    EXPECT_DOUBLE_EQ(value.getDouble("value"), -6.0);
    EXPECT_DOUBLE_EQ(mixer->volume->getValue().asDouble(), -6.0);

    // A change made at the desk reaches a watching page.
    value = page.ask(R"({"op":"subscribe","address":"/roomdesk/Mixer/volume"})");
    EXPECT_DOUBLE_EQ(value.getDouble("value"), -6.0);
    mixer->volume->setValue(Tessel::Variant(-9.0), true);
    platform.advance(Vellaris::Web::WebDesk::kCoalesceMs);
    value = page.next();
    EXPECT_EQ(value.getText("op"), "value");
    EXPECT_DOUBLE_EQ(value.getDouble("value"), -9.0);

    // Malformed input is answered; the socket stays open.
    auto error = page.ask("{not json");
    EXPECT_EQ(error.getText("op"), "error");
    EXPECT_EQ(page.ask(R"({"op":"get","address":"/roomdesk/Mixer/volume"})").getText("op"), "value");
}

TEST_F(WebServerTest, AnOversizedMessageClosesTheSocketAndAVanishedPageLetsGo)
{
    start();
    Page page(*this);
    ASSERT_EQ(page.open(), 101);
    page.next();
    page.send(R"({"op":"begin","address":"/roomdesk/Mixer/volume"})");
    page.send(std::string(R"({"op":"get","address":")") + std::string(70000, 'a') + "\"}");
    EXPECT_TRUE(spin([&] { return page.closed; }));
    // The desk forgot the page and let go of its held control.
    EXPECT_TRUE(spin([&] { return server.getDesk().countClients() == 0; }));
    EXPECT_EQ(mixer->edits.back(), "end volume");

    Page second(*this);
    ASSERT_EQ(second.open(), 101);
    second.next();
    EXPECT_EQ(server.getDesk().countClients(), 1u);
    beast::error_code ignored;
    second.ws.next_layer().close(ignored); // gone without a close frame
    EXPECT_TRUE(spin([&] { return server.getDesk().countClients() == 0; }));
}

TEST_F(WebServerTest, APageThatDoesNotReadIsDroppedBeforeItsRepliesPassTheLimit)
{
    start();
    Page reader(*this);
    ASSERT_EQ(reader.open(), 101);
    reader.next();
    Page stuck(*this);
    ASSERT_EQ(stuck.open({}, false), 101); // never reads a message
    // Each request is answered with about a kilobyte (the address comes back in the refusal):
    // three times the limit in all, more than the sockets' buffers hold.
    const std::string request = R"({"op":"get","address":"/)" + std::string(1100, 'x') + "\"}";
    const size_t count = 3 * WebServer::kMaxQueuedBytes / 1100;
    size_t sent = 0;
    for (; sent < count && server.getDesk().countClients() == 2; ++sent)
        stuck.send(request);
    EXPECT_LT(sent, count);
    EXPECT_TRUE(spin([&] { return server.getDesk().countClients() == 1; }));
    // The other page is served as ever.
    EXPECT_EQ(reader.ask(R"({"op":"get","address":"/roomdesk/Mixer/volume"})").getText("op"), "value");
}

TEST_F(WebServerTest, PairingGivesAnHttpOnlyTokenLimitsTriesAndRevokes)
{
    start(PairingRule::Always);
    ASSERT_TRUE(server.isPairingRequired());
    Page stranger(*this);
    EXPECT_EQ(stranger.open(), 401);

    const std::string code = server.getPairing().getCode();
    ASSERT_EQ(code.size(), 6u);
    const std::string wrong = code == "000000" ? "111111" : "000000";
    auto refused = request(http::verb::post, "/pair", R"({"code":")" + wrong + "\"}");
    EXPECT_EQ(refused.result_int(), 403u);
    EXPECT_TRUE(refused[http::field::set_cookie].empty());

    auto paired = request(http::verb::post, "/pair", R"({"code":")" + code + "\"}");
    ASSERT_EQ(paired.result_int(), 200u);
    const std::string setCookie(paired[http::field::set_cookie]);
    EXPECT_NE(setCookie.find("HttpOnly"), std::string::npos);
    EXPECT_NE(setCookie.find("SameSite=Strict"), std::string::npos);
    EXPECT_NE(server.getPairing().getCode(), code); // a code pairs one browser
    ASSERT_EQ(server.getPairing().getDevices().size(), 1u);
    EXPECT_EQ(server.getPairing().getDevices()[0].name, "Safari on iPad 127.0.0.1");

    Page friendPage(*this);
    ASSERT_EQ(friendPage.open(cookieOf(paired)), 101);
    EXPECT_EQ(friendPage.next().getText("op"), "hello");
    Page forged(*this);
    EXPECT_EQ(forged.open("roomdesk=00112233"), 401);

    // Revoking closes the page's socket, and its token opens nothing any more.
    ASSERT_TRUE(server.revoke(0));
    EXPECT_TRUE(spin([&] { return friendPage.closed; }));
    Page again(*this);
    EXPECT_EQ(again.open(cookieOf(paired)), 401);

    // Five wrong codes a minute from one address; then even the right one waits.
    for (int i = 1; i < Vellaris::Web::WebPairing::kMaxTries; ++i)
        EXPECT_EQ(request(http::verb::post, "/pair", R"({"code":"x"})").result_int(), 403u);
    const std::string now = server.getPairing().getCode();
    EXPECT_EQ(request(http::verb::post, "/pair", R"({"code":")" + now + "\"}").result_int(), 429u);
    platform.advance(Vellaris::Web::WebPairing::kTryWindowMs);
    EXPECT_EQ(request(http::verb::post, "/pair", R"({"code":")" + now + "\"}").result_int(), 200u);
}

TEST(WebPairingCode, AFixedCodeIsSixDigitsAndPairsOnlyOnce)
{
    Vellaris::Web::WebPairing pairing;
    const std::string made = pairing.getCode();
    for (const char* weak : {"", "12345", "1234567", "12a456", " 12345", "-12345"})
    {
        EXPECT_FALSE(pairing.fixCode(weak)) << '"' << weak << '"';
        EXPECT_EQ(pairing.getCode(), made);
    }
    ASSERT_TRUE(pairing.fixCode("024680"));
    std::string token;
    ASSERT_EQ(pairing.pair("10.0.0.7", "024680", "", 0, token), Vellaris::Web::WebPairing::Result::Paired);
    EXPECT_NE(pairing.getCode(), "024680"); // random again after the pairing
    EXPECT_EQ(pairing.pair("10.0.0.8", "024680", "", 0, token), Vellaris::Web::WebPairing::Result::Wrong);
}

TEST_F(WebServerTest, ATakenPortIsAReasonAndTheComponentShowsIt)
{
    start();
    auto* remote = new Vellaris::Web::WebRemote;
    Tessel::getRootComponent()->addChild(remote);
    Vellaris::Remote::ListenSettings settings;
    settings.port = port;
    EXPECT_FALSE(remote->start(settings));
    Tessel::IParameter* listening = remote->findParameter("listening");
    ASSERT_NE(listening, nullptr);
    EXPECT_EQ(listening->getValue().asString(), "port " + std::to_string(port) + " is taken");
    EXPECT_EQ(remote->findParameter("url")->getValue().asString(), "");

    server.stop();
    EXPECT_TRUE(remote->start(settings));
    EXPECT_EQ(remote->findParameter("url")->getValue().asString(),
              "http://127.0.0.1:" + std::to_string(port) + "/");
    EXPECT_EQ(remote->findParameter("pairingRequired")->getValue().asInt(), 0);
    EXPECT_TRUE(remote->findParameter("pairingCode")->isFlag(Tessel::ParamFlags::kSecret));
}

TEST_F(WebServerTest, TheDeviceListShowsPairedBrowsersAndItsCommandRevokes)
{
    auto* remote = new Vellaris::Web::WebRemote;
    Tessel::getRootComponent()->addChild(remote);
    Vellaris::Remote::ListenSettings settings;
    tcp::acceptor probe(io, tcp::endpoint(net::ip::make_address("127.0.0.1"), 0));
    settings.port = probe.local_endpoint().port();
    probe.close();
    ASSERT_TRUE(remote->start(settings, PairingRule::Always));
    other = &remote->getServer();
    port = remote->getServer().getPort();
    EXPECT_EQ(remote->findParameter("pairingRequired")->getValue().asInt(), 1);

    const std::string code = remote->getServer().getPairing().getCode();
    auto paired = request(http::verb::post, "/pair", R"({"code":")" + code + "\"}");
    ASSERT_EQ(paired.result_int(), 200u);
    EXPECT_EQ(remote->findParameter("deviceCount")->getValue().asInt(), 1);
    Tessel::Component* devices = remote->lookupChild("Devices");
    ASSERT_NE(devices, nullptr);
    ASSERT_NE(devices->findParameter("deviceName[0]"), nullptr);
    EXPECT_EQ(devices->findParameter("deviceName[0]")->getValue().asString(), "Safari on iPad 127.0.0.1");
    EXPECT_EQ(devices->findParameter("deviceSeen[0]")->getValue().asString().size(), 8u); // "21:14:03"
    // The token is nowhere in the component's values.
    const std::string token = cookieOf(paired).substr(std::string("roomdesk=").size());
    for (int i = 0; i < devices->countParameters(); ++i)
        EXPECT_EQ(devices->getParameterAt(i)->getValue().asString().find(token), std::string::npos);

    Page page(*this);
    ASSERT_EQ(page.open(cookieOf(paired)), 101);
    page.next();
    Tessel::IParameter* revoke = devices->findParameter("revoke[0]");
    ASSERT_NE(revoke, nullptr);
    Tessel::ObjectTarget target;
    target.kind = Tessel::ObjectTarget::Kind::Parameter;
    target.component = devices;
    target.parameter = revoke;
    std::string error;
    ASSERT_TRUE(Vellaris::Remote::invokeCommand(target, error)) << error;
    EXPECT_TRUE(spin([&] { return page.closed; }));
    EXPECT_EQ(remote->findParameter("deviceCount")->getValue().asInt(), 0);
    EXPECT_EQ(devices->findParameter("deviceName[0]"), nullptr);
    EXPECT_EQ(devices->findParameter("revoke[0]"), nullptr);
    remote->stop();
    other = nullptr;
}

TEST_F(WebServerTest, TheReadOnlySwitchIsKeptInTheDeskSettingsBesideTheWindows)
{
    const std::string path = settingsFolder + "/Desk.settings";
    std::ofstream(path) << R"({"windows":{"ApplicationWindow":{"x":10,"y":20,"width":1200,"height":800}}})";
    Vellaris::Remote::ListenSettings settings;
    settings.port = 0; // off: the switch is read and kept all the same
    auto* remote = new Vellaris::Web::WebRemote;
    Tessel::getRootComponent()->addChild(remote);
    remote->start(settings);
    Tessel::IParameter* readOnly = remote->findParameter("readOnly");
    ASSERT_NE(readOnly, nullptr);
    EXPECT_EQ(readOnly->getValue().asInt(), 0);

    readOnly->setValue(Tessel::Variant(1), true);
    EXPECT_TRUE(remote->getServer().getDesk().isReadOnly());
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    const Core::Portable::Attributes stored = WebTest::parse(text.str());
    ASSERT_NE(stored.getAttributes("tabletRemote"), nullptr) << text.str();
    EXPECT_EQ(stored.getAttributes("tabletRemote")->getInt64("readOnly"), 1);
    // The windows' places stay as they were.
    ASSERT_NE(stored.getAttributes("windows"), nullptr) << text.str();
    EXPECT_EQ(stored.getAttributes("windows")->getAttributes("ApplicationWindow")->getInt64("width"), 1200);

    // The next start of the desk opens the pages read-only again.
    Tessel::destroyRootComponent();
    auto* again = new Vellaris::Web::WebRemote;
    Tessel::getRootComponent()->addChild(again);
    again->start(settings);
    EXPECT_EQ(again->findParameter("readOnly")->getValue().asInt(), 1);
    EXPECT_TRUE(again->getServer().getDesk().isReadOnly());
}

} // namespace
