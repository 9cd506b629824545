// The tablet remote across a real link: roomdesk runs offscreen in one network namespace and
// listens on its end of a veth pair; the browser's requests come from the other namespace, from
// beyond the desk's own computer, so the desk asks for pairing. Made and removed by the test (root
// only; skipped where namespaces cannot be made). The desk is driven as a user would: its "Remote
// devices" list through its remote control (roomctl desk), the page's side through HTTP and the
// WebSocket only.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/common/ChildProcess.h"
#include "tests/common/Retry.h"
#include "tests/mirror/NetworkNamespaces.h"
#include "tests/web/WebClient.h"

namespace
{

using namespace std::chrono_literals;
using NetworkTest::ChildProcess;
using NetworkTest::Outcome;
using WebTest::HttpAnswer;
using WebTest::Origin;
using WebTest::WebSocketClient;

// The addresses NamespacePair gives its two ends: the desk's side and the other ("speakers'") side,
// where the browser is. A second address of the browser's side is added by the test.
constexpr const char* kDeskAddress = "10.213.0.2";
constexpr const char* kNeighbourAddress = "10.213.0.9";
constexpr int kWebPort = 8080; // the desk's namespace is its own: the default port is free there

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

std::string pairBody(const std::string& code)
{
    return "{\"code\":\"" + code + "\"}";
}

class WebPairingAcrossALink : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!namespaces.create())
            GTEST_SKIP() << "network namespaces: " << namespaces.getError();
        NetworkTest::useNewDiscoveryScope();
        home = NetworkTest::usePrivateHome("web-netns");
        oscPort = NetworkTest::freeUdpPort();
        browser.netns = namespaces.speakerSide();
        // The code is secret to every remote, so the desk is told which code to show first; a
        // pairing makes a random one after it, as always.
        code = std::to_string(100000 + ::getpid() % 900000);
        wrongCode = code == "123456" ? "654321" : "123456";
        desk = std::make_unique<ChildProcess>(
            FaultTest::NamespacePair::ipProgram(),
            std::vector<std::string>{"netns", "exec", namespaces.deskSide(), "/usr/bin/env",
                                     "ROOMDESK_TEST_PAIRING_CODE=" + code,
                                     "ROOMDESK_OSC_PORT=" + std::to_string(oscPort), ROOMDESK_PATH,
                                     "--web-bind", kDeskAddress, "--web-port", std::to_string(kWebPort)});
        const std::string listening = std::string(kDeskAddress) + ":" + std::to_string(kWebPort);
        Outcome status = TestSupport::retryUntil<Outcome>(
            [&] {
                return atDesk({"get", "/roomdesk/WebRemote/listening"});
            },
            [&](const Outcome& o) { return contains(o.out, listening); }, 30s);
        ASSERT_TRUE(contains(status.out, listening))
            << "the desk does not listen on " << listening << ": " << status.out << status.err
            << "\ndesk: " << desk->errors();
        const Outcome required = atDesk({"get", "/roomdesk/WebRemote/pairingRequired"});
        ASSERT_TRUE(contains(required.out, "On")) << required.out << required.err;
    }

    void TearDown() override
    {
        if (desk)
        {
            desk->kill(SIGTERM);
            desk->waitForEnd(10s);
            desk.reset();
        }
        if (!home.empty())
        {
            std::error_code ignored;
            std::filesystem::remove_all(home, ignored);
        }
    }

    // roomctl's remote control of the desk, run in the desk's namespace (where its OSC port is).
    Outcome atDesk(std::vector<std::string> arguments)
    {
        std::vector<std::string> all = {"netns", "exec",   namespaces.deskSide(),  ROOMCTL_PATH,
                                        "desk",  "--port", std::to_string(oscPort)};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return NetworkTest::runToEnd(FaultTest::NamespacePair::ipProgram(), all);
    }

    HttpAnswer post(const std::string& target, const std::string& body, const Origin& from)
    {
        return WebTest::httpRequest(kDeskAddress, kWebPort, "POST", target, body, {}, from);
    }

    // Opens the page's WebSocket from the browser's side; the refusal's status, or 101.
    int openSocket(WebSocketClient& page, const std::string& token)
    {
        if (page.open(kDeskAddress, kWebPort, token, browser))
            return 101;
        EXPECT_NE(page.getRefusal(), 0) << page.getError();
        return page.getRefusal();
    }

    FaultTest::NamespacePair namespaces;
    std::filesystem::path home;
    int oscPort = 0;
    Origin browser;
    std::string code, wrongCode;
    std::unique_ptr<ChildProcess> desk;
};

TEST_F(WebPairingAcrossALink, ABrowserIsRefusedUntilItPairsAndItsRevokedTokenOpensNothing)
{
    // The page itself is served: it is where the code is typed.
    HttpAnswer page = WebTest::httpRequest(kDeskAddress, kWebPort, "GET", "/", {}, {}, browser);
    ASSERT_EQ(page.status, 200) << page.error;

    WebSocketClient stranger;
    EXPECT_EQ(openSocket(stranger, ""), 401);
    WebSocketClient forged;
    EXPECT_EQ(openSocket(forged, std::string(64, 'a')), 401);

    HttpAnswer wrong = post("/pair", pairBody(wrongCode), browser);
    EXPECT_EQ(wrong.status, 403) << wrong.error;
    EXPECT_TRUE(wrong.setCookie.empty());

    HttpAnswer paired = post("/pair", pairBody(code), browser);
    ASSERT_EQ(paired.status, 200) << paired.error;
    const std::string token = WebTest::tokenOf(paired.setCookie);
    ASSERT_FALSE(token.empty()) << paired.setCookie;
    EXPECT_TRUE(contains(paired.setCookie, "; HttpOnly")) << paired.setCookie;
    EXPECT_TRUE(contains(paired.setCookie, "SameSite=Strict")) << paired.setCookie;
    EXPECT_FALSE(contains(paired.body, token)) << "the token is only in the cookie";
    // A code pairs one browser: whoever saw it over a shoulder is too late.
    EXPECT_EQ(post("/pair", pairBody(code), browser).status, 403);

    WebSocketClient tablet;
    ASSERT_EQ(openSocket(tablet, token), 101) << tablet.getError();
    std::string message;
    ASSERT_TRUE(tablet.receive(message, 5s));
    EXPECT_TRUE(contains(message, R"("op":"hello")")) << message;
    // A paired page drives the desk, but never reads its secrets.
    ASSERT_TRUE(tablet.send(R"({"op":"get","address":"/roomdesk/WebRemote/deviceCount","id":1})"));
    ASSERT_TRUE(
        tablet.receiveUntil([](const std::string& m) { return contains(m, R"("id":1)"); }, message, 5s));
    EXPECT_TRUE(contains(message, R"("op":"value")") && contains(message, R"("value":1)")) << message;
    ASSERT_TRUE(tablet.send(R"({"op":"get","address":"/roomdesk/WebRemote/pairingCode","id":2})"));
    ASSERT_TRUE(
        tablet.receiveUntil([](const std::string& m) { return contains(m, R"("id":2)"); }, message, 5s));
    EXPECT_TRUE(contains(message, R"("op":"error")")) << message;
    EXPECT_FALSE(contains(message, code)) << message;

    // The desk's device list names the browser by its kind and address and revokes it.
    EXPECT_TRUE(contains(atDesk({"get", "/roomdesk/WebRemote/Devices/deviceName[0]"}).out,
                         "Chrome on Linux 10.213.0.1"));
    Outcome revoked = atDesk({"invoke", "/roomdesk/WebRemote/Devices/revoke[0]"});
    ASSERT_EQ(revoked.status, 0) << revoked.err;
    // Its open page is closed at once, and its token opens nothing any more.
    std::string after;
    while (tablet.receive(after, 10s))
    {
    }
    EXPECT_TRUE(tablet.isClosed()) << "the revoked page's socket stays open";
    WebSocketClient again;
    EXPECT_EQ(openSocket(again, token), 401);
    EXPECT_TRUE(contains(atDesk({"get", "/roomdesk/WebRemote/deviceCount"}).out, "0"));
}

TEST_F(WebPairingAcrossALink, WrongCodesAreLimitedPerAddressAndAnotherAddressStillPairs)
{
    for (int i = 0; i < 5; ++i)
    {
        HttpAnswer wrong = post("/pair", pairBody(wrongCode), browser);
        ASSERT_EQ(wrong.status, 403) << "try " << i + 1 << ": " << wrong.error;
    }
    // The sixth try within the minute is not even looked at: the right code waits too.
    EXPECT_EQ(post("/pair", pairBody(wrongCode), browser).status, 429);
    EXPECT_EQ(post("/pair", pairBody(code), browser).status, 429);
    WebSocketClient stranger;
    EXPECT_EQ(openSocket(stranger, ""), 401);

    // A browser at another address of the same network is not locked out by its neighbour.
    ASSERT_EQ(NetworkTest::runToEnd(FaultTest::NamespacePair::ipProgram(),
                                    {"-n", namespaces.speakerSide(), "addr", "add",
                                     std::string(kNeighbourAddress) + "/32", "dev", "lo"})
                  .status,
              0);
    const Origin neighbour{namespaces.speakerSide(), kNeighbourAddress};
    HttpAnswer paired = post("/pair", pairBody(code), neighbour);
    ASSERT_EQ(paired.status, 200) << paired.error;
    WebSocketClient tablet;
    ASSERT_TRUE(tablet.open(kDeskAddress, kWebPort, WebTest::tokenOf(paired.setCookie), neighbour))
        << tablet.getError();
    std::string hello;
    ASSERT_TRUE(tablet.receive(hello, 5s));
    EXPECT_TRUE(contains(hello, R"("op":"hello")")) << hello;
}

} // namespace
