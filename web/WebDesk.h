#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tessel/IdleClient.h"
#include "tessel/SharedPtr.h"

namespace Core::Portable
{
class Attributes;
}

namespace Tessel
{
class IParameter;
}

namespace Filtra
{
class IResponseView;
}

namespace Vellaris::Web
{

class WebWatch;
class WebFlushSoon;

// What a watch follows: a value, a curve's points, or a list's rows.
enum class WebWatchKind
{
    Value,
    Curve,
    Rows
};

// The desk's side of the tablet remote, without a socket: reads the JSON messages of each client
// (a page on one WebSocket), acts on them through the remotes' address space and value rules
// (remote/) and hands every reply, as one JSON text, to the send function. GUI thread only.
//
//   {"op":"get","address":A}              {"op":"value","address":A,"value":V,"text":T}
//   {"op":"set","address":A,"value":V}    the new value as for get ("text":"-6 dB" instead of
//                                         "value" is read by the parameter's formatter)
//   {"op":"begin"/"end","address":A}      a finger down / up: sets between are one edit gesture
//   {"op":"invoke","address":A}           {"op":"done","address":A}
//   {"op":"subscribe"/"unsubscribe","address":A}
//   {"op":"list","address":A}             {"op":"list","address":A,"names":[...]}
//   {"op":"curve"/"subscribeCurve"/"unsubscribeCurve","address":A,"points":N}
//                                         {"op":"curve","address":A,"freq":[...],"gain":[...],
//                                          "bands":[{"freq":f,"gain":g,"q":q,"on":true},...]}
//   {"op":"rows"/"subscribeRows"/"unsubscribeRows","address":A}
//                                         {"op":"rows","address":A,"rows":[...]} (WebRows.h)
//   {"op":"venue"}, {"op":"subscribeVenue"/"unsubscribeVenue"}   the open venue (WebVenue.h)
// Every message may carry "id", echoed in its reply. Anything refused is answered with
// {"op":"error","address":A,"reason":"..."} and changes nothing. A new client gets
// {"op":"hello","readOnly":b,"desk":"Ambrel"}.
//
// Watches send at once, then on every change, at most once per kCoalesceMs per address and client
// (only the newest value goes): changes only mark a watch, and flush() sends what is due.
class WebDesk
{
public:
    using ClientId = uint64_t;
    using SendFunction = std::function<void(ClientId client, const std::string& text)>;

    static constexpr size_t kMaxMessageBytes = 65536;
    static constexpr size_t kMaxWatchesPerClient = 512;
    static constexpr size_t kMaxGesturesPerClient = 32;
    static constexpr int64_t kCoalesceMs = 33;
    static constexpr int kMaxCurvePoints = 2048;
    static constexpr int kDefaultCurvePoints = 256;
    // How often a watched venue is looked at again (its rooms, groups and speakers).
    static constexpr int64_t kVenuePollMs = 100;

    explicit WebDesk(SendFunction send);
    ~WebDesk();
    WebDesk(const WebDesk&) = delete;
    WebDesk& operator=(const WebDesk&) = delete;

    // A client connected: returns its id. The hello goes with sendHello (once the id is known to
    // whoever delivers the messages).
    ClientId openClient();
    void sendHello(ClientId client);
    // A client went: ends its open gestures and drops its watches.
    void closeClient(ClientId client);
    // Acts on one text message of `client`. Never throws, whatever the text is.
    void handleText(ClientId client, std::string_view text);
    // Refuses one message that was too large to be read at all.
    void refuseOversized(ClientId client);

    // Sends what changed for every watch whose last message is at least kCoalesceMs old (every
    // changed watch, with `all`), as one message per page: a JSON array when there are several.
    // Called by the desk's own timer, and on the next turn of the loop after a setting or a curve
    // changed; tests call it directly.
    void flush(bool all = false);
    // Asks for a flush on the next turn of the loop.
    void flushSoon();

    // When on, pages may look but every change is refused.
    void setReadOnly(bool on);
    bool isReadOnly() const { return readOnly; }

    size_t countClients() const { return clients.size(); }
    size_t countWatches(ClientId client) const;
    size_t countGestures(ClientId client) const;

private:
    friend class WebWatch;
    struct Client
    {
        std::map<std::string, Tessel::SharedPtr<WebWatch>> watches;            // by kind and address
        std::map<std::string, Tessel::SharedPtr<Tessel::IParameter>> gestures; // by address
        std::vector<Tessel::SharedPtr<WebWatch>> changed; // watches marked since they were last sent
        bool watchesVenue = false;
        std::string lastVenue; // the venue message it got last
    };

    void handle(ClientId client, Client& state, const Core::Portable::Attributes& message);
    void handleSet(ClientId client, Client& state, const std::string& address,
                   const Core::Portable::Attributes& message, const std::string& id);
    void handleGesture(ClientId client, Client& state, bool begin, const std::string& address,
                       const std::string& id);
    using WatchKind = WebWatchKind;
    void handleWatch(ClientId client, Client& state, WatchKind kind, const std::string& address, int points,
                     const std::string& id);
    static std::string watchKey(WatchKind kind, const std::string& address);
    bool watchText(const WebWatch& watch, const std::string& id, std::string& out, std::string& error);

    // Writes the value reply of `address` (false with `error` when it has none).
    bool valueText(const std::string& address, const std::string& id, std::string& out, std::string& error);
    bool curveText(const std::string& address, int points, const std::string& id, std::string& out,
                   std::string& error);
    bool responseText(const std::string& address, const Filtra::IResponseView& response, int points,
                      const std::string& id, std::string& out);
    void sendError(ClientId client, std::string_view address, const std::string& reason,
                   const std::string& id);
    void send(ClientId client, const std::string& text);
    void flushVenue(bool all, int64_t now);
    void endGestures(Client& state);

    SendFunction sendFunction;
    std::map<ClientId, Client> clients;
    ClientId nextClient = 1;
    bool readOnly = false;
    int64_t lastVenuePoll = 0;
    int64_t lastRowsPoll = 0;
    Tessel::IdleClient ticker;
    Tessel::SharedPtr<WebFlushSoon> soon;
};

} // namespace Vellaris::Web
