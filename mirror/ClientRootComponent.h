#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mirror/ChangesInFlight.h"
#include "mirror/ClientImplementation.h"
#include "mirror/RemoteComponent.h"
#include "tessel/SharedPtr.h"

namespace Core::Portable
{
class Attributes;
}

namespace Vellaris::LK
{

class MessageAttributes;

// The application's end of one speaker connection. It registers with the network library as a
// client, subscribes to one speaker, keeps the component tree below it in step with the speaker's
// tree in both directions, forwards menu requests of text parameters and keeps the subscription
// alive. Its own name is empty, so local paths start below it.
//
// Remote level: the mirror may keep the speaker's tree below one named child ("Speaker" for
// SpeakerRootComponent). A speaker comes in one of two wire forms: most serve their tree at their
// root (wire path "line/ch1/volume" for the local "Speaker/line/ch1/volume", state at the top of
// their "Synchronize"), others below a top-level component of the level's name (wire path
// "Speaker/line/ch1/volume", state under "children" → "Speaker"). The speaker's first
// "Synchronize" of a connection tells which; from then on paths and payloads go both ways in its
// form. Until it is known (a speaker answers "Subscribe" with its "Synchronize" first) the root
// form is assumed.
// Paths and "Synchronize" payloads are translated at this one place.
//
// News from the speaker never takes back a change the mirror sent later than the speaker made that
// news (ChangesInFlight): a "Synchronize" answering a "Subscribe" leaves alone what was changed
// after the "Subscribe", and the echo of an earlier value leaves alone a later one still on its
// way. Changes sent before the wire form was known, to a speaker that turns out to serve its tree
// below the level, went to paths it does not have: they are sent again once its form is known.
//
// Everything happens on the GUI thread: the library calls handlePacket inside process().
class ClientRootComponent : public RemoteComponent, public ClientImplementation
{
    TESSEL_DECLARE_CLASS(ClientRootComponent)
public:
    // Edit gestures that ended within this many milliseconds keep incoming float values away.
    static constexpr int64_t kReleaseGuardMs = 1000;
    // "KA" goes out when more than this many milliseconds passed since the last one.
    static constexpr int64_t kKeepAliveIdleMs = 1499;
    // Length of the recently-released list.
    static constexpr size_t kMaxRecentlyReleased = 5;

    // Registers with the library as a client and fills the identity texts. Null managers are taken
    // from the library (tests pass fakes).
    explicit ClientRootComponent(lknet::INetworkManager* network = nullptr,
                                 lknet::IFileTransferManager* transfers = nullptr);

    ClientRootComponent* getClientRoot() const override { return const_cast<ClientRootComponent*>(this); }

    // Subscribes to `server`: switches the connection on and sends "Subscribe" with the identity.
    void connect(int server);
    // Unsubscribes: with `sendUnsubscribe` switches the connection off and then sends
    // "Unsubscribe"; in both cases cancels the client's file transfers and forgets the server.
    void disconnect(bool sendUnsubscribe);
    // Subscribes again to the current server (nothing when there is none).
    void reconnect();
    // The idle tick: sends "KA" when more than 1499 ms passed since the last one (while a server is
    // set). The children are not ticked: those with idle work keep idle tasks of their own.
    void onIdle();
    // Sends this client's "Synchronize" (values of the public parameters, recursively) as "ZM".
    void pushValues();

    // IEventHandler: handles one packet from the library (see the class comment). Returns the file
    // transfer manager's answer for "FA"/"FD", 0 otherwise.
    int handlePacket(int context, const lknet::Packet* packet) override;

    const std::string& getClientType() const { return clientType; }
    const std::string& getClientName() const { return clientName; }
    const std::string& getClientDescription() const { return clientDescription; }
    const std::string& getClientIdentifier() const { return clientIdentifier; }

    // Called through the remote components of the tree for the parameter `param` of `owner`:
    // a notifying value change (sent as "PS", "PC" or "PV" when public), an edit gesture (flag
    // and recently-released list) and a preview (kind 2 sends the dragged value, kind 4 asks a
    // text parameter's menu).
    virtual void remoteParamChanged(Tessel::Component* owner, Tessel::IParameter* param);
    void remoteParamEdit(Tessel::Component* owner, Tessel::IParameter* param, bool begin);
    void remoteParamPreview(Tessel::Component* owner, Tessel::IParameter* param,
                            const Tessel::ParamPreviewEvent& event);

    // Path translation between the mirror and the speaker (see the class comment).
    const std::string& getRemoteLevel() const { return remoteLevel; }
    enum class WireForm
    {
        Unknown,  // no "Synchronize" yet on this connection
        AtRoot,   // the speaker serves the level's tree at its root
        Levelled, // the speaker serves it below a top-level component named like the level
    };
    WireForm getWireForm() const { return wireForm; }
    // The wire path of a local path; "" when the local path lies outside the remote level.
    std::string toWirePath(std::string_view localPath) const;
    std::string fromWirePath(std::string_view wirePath) const;
    // The parameter at a wire path, or nullptr.
    Tessel::IParameter* findWireParameter(std::string_view wirePath) const;

    // True when `param`'s edit gesture ended less than kReleaseGuardMs before `now`.
    bool isRecentlyReleased(const Tessel::IParameter* param, int64_t now) const;
    // The recently-released parameters, oldest first (for inspection).
    struct Released
    {
        Tessel::SharedPtr<Tessel::IParameter> param;
        int64_t ticks = 0;
    };
    const std::deque<Released>& getRecentlyReleased() const { return recentlyReleased; }

    // Sends a JSON message from this client to the server ("ZM" when `compressed`, else "JM");
    // returns the library's answer (callers ignore it).
    int sendMessage(MessageAttributes& message, bool compressed);
    // A token that lives as long as this root; menus hold it weakly.
    std::weak_ptr<ClientRootComponent*> getLifeToken() const { return lifeToken; }

    // Replaces a numeric parameter's range: minimum, maximum, default, the formatter named `units`
    // (none when empty) and a new curve named `curve` over min, max and mid (none when empty).
    // Returns false and changes nothing for a parameter without a plain range (lists, texts,
    // colours) or a range that cannot be one (not finite, minimum above maximum).
    static bool applyRange(Tessel::IParameter* param, double min, double max, double def, double mid,
                           std::string_view units, std::string_view curve);
    // Applies a "Synchronize" component object to `component`, recursively (mutable ranges and
    // entries first, values without notification, enabled states from "states"). A parameter for
    // which `keepsOwnValue` answers true keeps its value unless the payload disables it (the speaker
    // refuses changes of a disabled parameter, so what it reports stands).
    using KeepsOwnValue = std::function<bool(const Tessel::IParameter*)>;
    static void applySynchronize(Tessel::Component& component, const Core::Portable::Attributes& payload,
                                 const KeepsOwnValue& keepsOwnValue = {});
    // Builds the client's "Synchronize" content of `component`: "values" and "children" of the
    // public parameters; returns false when there is nothing to contribute.
    static bool collectValues(const Tessel::Component& component, Core::Portable::Attributes& out);

protected:
    ~ClientRootComponent() override;

    // Sets the name of the child that stands for the speaker's root (see the class comment).
    void setRemoteLevel(const std::string& level)
    {
        remoteLevel = level;
        wirePathCache.clear();
    }
    // Meter packets ("MS", "MB"); the plain client root ignores them.
    virtual void handleMeterPacket(const lknet::Packet* packet) {}
    // A JSON message for the root; returns true when handled.
    virtual bool handleRootMessage(const MessageAttributes& message);
    // Sends a packet to the server from this client; the library's result (ignored by callers).
    int sendPacket(lknet::Packet& packet);

private:
    void handleParamPacket(const lknet::Packet* packet);
    void handleJsonPacket(const lknet::Packet* packet);
    void handleUpdateMenu(const MessageAttributes& message);
    // Decides the wire form from the connection's first "Synchronize" (no-op once known).
    void learnWireForm(const MessageAttributes& synchronize);
    bool sendsLevel() const { return wireForm == WireForm::Levelled; }
    // Applies a normalised value as "PV" does (unless edited, recently released, or an echo older
    // than a change still on its way).
    void receiveValue(Tessel::IParameter* param, float normalized);
    // Applies a speaker's "Synchronize" to the mirrored tree.
    void receiveSynchronize(const MessageAttributes& synchronize);
    void sendValue(Tessel::IParameter* param, const std::string& wirePath, double normalized);
    void rememberRelease(Tessel::IParameter* param, int64_t now);
    // The last few wire paths looked up, with their parameter (held, so an entry never points at
    // a freed object). A speaker sends most of its values again and again under few paths (its
    // meters, many times a second); a hit skips the walk down the tree.
    struct WirePathEntry
    {
        std::string wirePath;
        Tessel::SharedPtr<Tessel::IParameter> param;
        // Borrowed: alive while the parameter stays connected to it (a component that goes
        // disconnects its parameters first).
        Tessel::Component* owner = nullptr;
        Tessel::IUnknown* controller = nullptr;
    };
    static constexpr size_t kWirePathCacheSize = 8;
    Tessel::IParameter* findCachedWireParameter(std::string_view wirePath) const;
    mutable std::vector<WirePathEntry> wirePathCache;
    mutable size_t wirePathNext = 0;

    std::string clientType;
    std::string clientName;
    std::string clientDescription;
    std::string clientIdentifier;
    std::string remoteLevel;
    WireForm wireForm = WireForm::Unknown;
    std::deque<Released> recentlyReleased;
    ChangesInFlight inFlight;
    std::shared_ptr<ClientRootComponent*> lifeToken;
};

} // namespace Vellaris::LK
