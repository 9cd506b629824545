#include "osc/OscDesk.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "osc/OscAddress.h"
#include "osc/OscArgument.h"
#include "osc/OscValue.h"
#include "tessel/CommandParam.h"
#include "tessel/Component.h"
#include "tessel/IParameter.h"
#include "tessel/Object.h"
#include "tessel/Platform.h"

namespace Vellaris::Osc
{

namespace
{
constexpr int64_t kSweepPeriodMs = 1000;

// An lo_message that frees itself.
struct Message
{
    lo_message message = lo_message_new();
    Message() = default;
    explicit Message(lo_message adopted) : message(adopted) {}
    ~Message()
    {
        if (message)
            lo_message_free(message);
    }
    Message(const Message&) = delete;
    Message& operator=(const Message&) = delete;
};

bool isLeaseVerb(const std::string& path)
{
    return path == "/subscribe" || path == "/renew" || path == "/unsubscribe";
}
} // namespace

// One sender's watch on one address: observes the parameter (or the component of the property)
// and sends the query reply when what the subscriber sees changed. It does not keep the target
// alive: when the target goes, the lease stays silent until it is renewed or runs out.
class OscLease : public Tessel::Object
{
public:
    OscLease(OscDesk& desk, std::string senderKey, std::string address)
        : desk(desk), senderKey(std::move(senderKey)), address(std::move(address))
    {
    }

    // Resolves the address again and observes what it names; false (with `error`) when it names
    // no value.
    bool attach(std::string& error)
    {
        detach();
        OscTarget resolved = resolveOscAddress(address, false);
        if (!resolved.resolved())
        {
            error = resolved.error;
            return false;
        }
        if (resolved.object.kind == Tessel::ObjectTarget::Kind::Parameter &&
            dynamic_cast<Tessel::CommandParam*>(resolved.object.parameter))
        {
            error = "a command has no value to watch";
            return false;
        }
        if (isSecret(resolved.object))
        {
            error = kWriteOnlyReason;
            return false;
        }
        target = resolved.object;
        subject = target.kind == Tessel::ObjectTarget::Kind::Parameter
                      ? Tessel::unknownCast<Tessel::ISubject>(target.parameter)
                      : static_cast<Tessel::ISubject*>(target.component);
        if (subject)
            subject->addObserver(this);
        return true;
    }

    void detach()
    {
        if (subject)
            subject->removeObserver(this);
        subject = nullptr;
        target = {};
    }

    bool isAttached() const { return subject != nullptr; }
    bool isExpired(int64_t now) const { return now >= expires; }
    void renew(int64_t now) { expires = now + OscDesk::kLeaseMs; }
    const std::string& getSenderKey() const { return senderKey; }
    const std::string& getAddress() const { return address; }

    // Sends the value when it differs from the one last sent (or always, with `force`).
    void update(const OscPeer& peer, bool force)
    {
        if (!isAttached())
            return;
        std::string signature = valueSignature(target);
        if (!force && signature == lastSent)
            return;
        lastSent = signature;
        std::string error;
        desk.sendValue(peer, address, error);
    }

    void notify(Tessel::ISubject* from, const Tessel::Message& msg) override
    {
        if (from != subject)
            return;
        if (msg.is(Tessel::Messages::kDestroyed))
        {
            // The subject is going: forget it without touching it again.
            subject = nullptr;
            target = {};
            return;
        }
        if (desk.leasesMuted)
            return;
        if (target.kind == Tessel::ObjectTarget::Kind::Parameter && !msg.is(Tessel::Messages::kChanged))
            return;
        if (target.kind == Tessel::ObjectTarget::Kind::Property)
        {
            if (!msg.is(Tessel::Messages::kPropertyChanged))
                return;
            const Tessel::Variant& which = msg.getArg(0);
            if (!which.isEmpty() && which.asString() != target.name)
                return;
        }
        Tessel::SharedPtr<OscLease> self = Tessel::retained(this); // the send may end the lease
        if (isExpired(Tessel::GetSystemTicks()))
        {
            desk.dropLease(this);
            return;
        }
        auto sender = desk.senders.find(senderKey);
        if (sender != desk.senders.end())
            update(sender->second.peer, false);
    }

protected:
    ~OscLease() override { detach(); }

private:
    OscDesk& desk;
    std::string senderKey;
    std::string address;
    Tessel::ObjectTarget target;
    Tessel::ISubject* subject = nullptr; // observed, not retained
    std::string lastSent;
    int64_t expires = 0;
};

OscDesk::OscDesk(ReplyFunction reply) : reply(std::move(reply)), sweeper([this] { sweepLeases(); })
{
    sweeper.start(kSweepPeriodMs, true);
}

OscDesk::~OscDesk()
{
    sweeper.stop();
    for (auto& [key, sender] : senders)
        for (auto& [address, lease] : sender.leases)
            lease->detach();
    senders.clear();
}

size_t OscDesk::countLeases() const
{
    size_t count = 0;
    for (const auto& [key, sender] : senders)
        count += sender.leases.size();
    return count;
}

size_t OscDesk::countLeases(const std::string& senderKey) const
{
    auto it = senders.find(senderKey);
    return it == senders.end() ? 0 : it->second.leases.size();
}

void OscDesk::handlePacket(const void* data, size_t size, const OscPeer& from)
{
    if (!data || size == 0)
        return sendError(from, "", "empty packet");
    if (size >= 8 && std::memcmp(data, "#bundle", 8) == 0)
        return sendError(from, "#bundle", "bundles are not taken: send each message on its own");
    // liblo checks every length and terminator; the bytes are copied since it may write to them.
    std::vector<char> copy(static_cast<const char*>(data), static_cast<const char*>(data) + size);
    const char* path = lo_get_path(copy.data(), ssize_t(copy.size()));
    int result = 0;
    Message message(lo_message_deserialise(copy.data(), copy.size(), &result));
    if (!path || !message.message || result != 0)
        return sendError(from, path ? path : "", "malformed OSC message");
    handleMessage(path, message.message, from);
}

void OscDesk::handleMessage(const std::string& path, lo_message message, const OscPeer& from)
{
    if (isLeaseVerb(path) || path == "/list")
    {
        const char* types = lo_message_get_types(message);
        lo_arg** argv = lo_message_get_argv(message);
        if (lo_message_get_argc(message) != 1 || (types[0] != LO_STRING && types[0] != LO_SYMBOL))
            return sendError(from, path, "needs one argument: the address, as text");
        std::string address = argumentText(argv[0]);
        if (path == "/list")
            return handleList(address, from);
        return handleLease(path, address, from);
    }
    handleAddress(path, message, from);
}

void OscDesk::handleAddress(const std::string& path, lo_message message, const OscPeer& from)
{
    OscTarget target = resolveOscAddress(path, true);
    if (!target.resolved())
        return sendError(from, path, target.error);
    const Tessel::ObjectTarget& object = target.object;
    const int argc = lo_message_get_argc(message);
    if (object.kind == Tessel::ObjectTarget::Kind::Component)
        return sendError(from, path, "the address names a component: /list it to see what it holds");
    if (object.kind == Tessel::ObjectTarget::Kind::Property)
    {
        if (argc != 0)
            return sendError(from, path, "a property can only be queried");
        std::string error;
        if (!sendValue(from, path, error))
            sendError(from, path, error);
        return;
    }
    Tessel::IParameter* param = object.parameter;
    if (Remote::isCommand(object))
    {
        std::string error;
        if (!Remote::invokeCommand(object, error))
            return sendError(from, path, error);
        Message answer;
        lo_message_add_int32(answer.message, 1);
        send(from, path.c_str(), answer.message);
        return;
    }
    if (argc == 0)
    {
        std::string error;
        if (!sendValue(from, path, error))
            sendError(from, path, error);
        return;
    }
    if (argc > 1)
        return sendError(from, path, "give one argument to set, none to query");
    Tessel::SharedPtr<Tessel::IParameter> hold = Tessel::retained(param);
    std::string error;
    leasesMuted = true;
    bool done =
        setFromArgument(param, lo_message_get_types(message)[0], lo_message_get_argv(message)[0], error);
    leasesMuted = false;
    refreshLeases();
    if (!done)
        return sendError(from, path, error);
    if (isSecret(object))
    {
        // Taken, and not said back: the answer only confirms the set.
        Message answer;
        lo_message_add_int32(answer.message, 1);
        lo_message_add_string(answer.message, "write-only");
        send(from, path.c_str(), answer.message);
        return;
    }
    // The set may have changed the tree (a command-like parameter that closes something): resolve
    // again for the answer.
    if (!sendValue(from, path, error))
        sendError(from, path, error);
}

void OscDesk::handleLease(const std::string& verb, const std::string& address, const OscPeer& from)
{
    const int64_t now = Tessel::GetSystemTicks();
    auto senderIt = senders.find(from.key);
    if (verb == "/unsubscribe")
    {
        if (senderIt != senders.end())
        {
            auto lease = senderIt->second.leases.find(address);
            if (lease != senderIt->second.leases.end())
                dropLease(lease->second.get());
        }
        return;
    }
    if (senderIt != senders.end())
    {
        senderIt->second.peer = from; // a sender key names one address and port
        auto existing = senderIt->second.leases.find(address);
        if (existing != senderIt->second.leases.end() && !existing->second->isExpired(now))
        {
            Tessel::SharedPtr<OscLease> lease = existing->second;
            lease->renew(now);
            std::string error;
            if (!lease->isAttached() && !lease->attach(error))
            {
                dropLease(lease.get());
                return sendError(from, address, error);
            }
            // /subscribe answers at once every time; /renew only keeps the lease running.
            if (verb == "/subscribe")
                lease->update(from, true);
            return;
        }
        if (existing != senderIt->second.leases.end())
            dropLease(existing->second.get());
    }
    senderIt = senders.find(from.key);
    if (senderIt != senders.end() && senderIt->second.leases.size() >= kMaxLeasesPerSender)
        return sendError(from, address, "a sender may watch at most 64 addresses at once");
    if (countLeases() >= kMaxLeases)
        return sendError(from, address, "the desk watches as many addresses as it can");
    auto lease = Tessel::adopt(new OscLease(*this, from.key, address));
    std::string error;
    if (!lease->attach(error))
        return sendError(from, address, error);
    lease->renew(now);
    Sender& sender = senders[from.key];
    sender.peer = from;
    sender.leases[address] = lease;
    lease->update(from, true);
}

void OscDesk::handleList(const std::string& address, const OscPeer& from)
{
    std::vector<std::string> names;
    std::string error;
    if (!listOscAddress(address, names, error))
        return sendError(from, address, error);
    Message answer;
    lo_message_add_string(answer.message, address.c_str());
    for (const std::string& name : names)
    {
        // A list that would not fit one datagram ends where it must.
        if (lo_message_length(answer.message, "/list") + name.size() + 8 > kMaxReplyBytes)
            break;
        lo_message_add_string(answer.message, name.c_str());
    }
    send(from, "/list", answer.message);
}

void OscDesk::sendError(const OscPeer& to, const std::string& address, const std::string& reason)
{
    Message answer;
    lo_message_add_string(answer.message, address.substr(0, 1024).c_str());
    lo_message_add_string(answer.message, reason.c_str());
    send(to, "/error", answer.message);
}

bool OscDesk::sendValue(const OscPeer& to, const std::string& address, std::string& error)
{
    OscTarget target = resolveOscAddress(address, false);
    if (!target.resolved())
    {
        error = target.error;
        return false;
    }
    Message answer;
    if (!addValueArguments(answer.message, target.object, error))
        return false;
    send(to, address.c_str(), answer.message);
    return true;
}

void OscDesk::send(const OscPeer& to, const char* path, lo_message message)
{
    size_t size = 0;
    void* bytes = lo_message_serialise(message, path, nullptr, &size);
    if (!bytes)
        return;
    if (size <= kMaxReplyBytes && reply)
        reply(to, bytes, size);
    std::free(bytes);
}

void OscDesk::refreshLeases()
{
    std::vector<Tessel::SharedPtr<OscLease>> all;
    for (auto& [key, sender] : senders)
        for (auto& [address, lease] : sender.leases)
            all.push_back(lease);
    const int64_t now = Tessel::GetSystemTicks();
    for (const auto& lease : all)
    {
        auto sender = senders.find(lease->getSenderKey());
        if (sender == senders.end() || !sender->second.leases.count(lease->getAddress()))
            continue; // ended by an earlier update
        if (lease->isExpired(now))
            dropLease(lease.get());
        else
            lease->update(sender->second.peer, false);
    }
}

void OscDesk::sweepLeases()
{
    const int64_t now = Tessel::GetSystemTicks();
    std::vector<Tessel::SharedPtr<OscLease>> expired;
    for (auto& [key, sender] : senders)
        for (auto& [address, lease] : sender.leases)
            if (lease->isExpired(now))
                expired.push_back(lease);
    for (const auto& lease : expired)
        dropLease(lease.get());
}

void OscDesk::dropLease(OscLease* lease)
{
    auto sender = senders.find(lease->getSenderKey());
    if (sender == senders.end())
        return;
    auto it = sender->second.leases.find(lease->getAddress());
    if (it == sender->second.leases.end() || it->second.get() != lease)
        return;
    Tessel::SharedPtr<OscLease> hold = it->second;
    hold->detach();
    sender->second.leases.erase(it);
    if (sender->second.leases.empty())
        senders.erase(sender);
}

} // namespace Vellaris::Osc
