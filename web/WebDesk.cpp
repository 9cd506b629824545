#include "web/WebDesk.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "core/Attributes.h"
#include "core/JsonReader.h"
#include "remote/RemoteAddress.h"
#include "remote/RemoteValue.h"
#include "speaker/EQComponent.h"
#include "speaker/IEqViews.h"
#include "speaker/eq/BandResponse.h"
#include "tessel/Attributes.h"
#include "tessel/Component.h"
#include "tessel/IParameter.h"
#include "tessel/ISignalHandler.h"
#include "tessel/IViewFactory.h"
#include "tessel/Message.h"
#include "tessel/Object.h"
#include "tessel/Platform.h"
#include "web/JsonText.h"
#include "web/WebRows.h"
#include "web/WebVenue.h"

namespace Vellaris::Web
{

namespace
{
// A third of the coalescing period: a change waits at most a period and a third.
constexpr int64_t kTickMs = 11;
constexpr const char* kReadOnlyReason = "the page is read-only: changes are made at the desk";
constexpr size_t kMaxAddressInError = 1024;

// The JSON text of the message's "id" (a number), empty when it has none.
std::string idOf(const Core::Portable::Attributes& message)
{
    const Core::Portable::AttributeValue* id = message.find("id");
    if (!id || !id->isNumber())
        return {};
    if (id->isInteger())
        return std::to_string(id->toInt64());
    if (!std::isfinite(id->toDouble()))
        return {};
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.17g", id->toDouble());
    return digits;
}

void addId(JsonText& json, const std::string& id)
{
    if (!id.empty())
        json.raw("id", id);
}

// The curve's points: "freq" in Hz (to 0.01) and "gain" in dB (to 0.001).
void addPoints(JsonText& json, const Filtra::ResponseGrid& grid, const std::vector<float>& gains)
{
    json.beginArray("freq");
    for (int i = 0; i < grid.getCount(); ++i)
        json.number({}, std::round(double(grid.getFrequency(i)) * 100) / 100);
    json.endArray().beginArray("gain");
    for (float gain : gains)
    {
        const double db = std::round(double(gain) * 1000) / 1000;
        json.number({}, db == 0 ? 0.0 : db); // no "-0"
    }
    json.endArray();
}

void addRange(JsonText& json, double minFreq, double maxFreq, double minLevel, double maxLevel)
{
    json.beginObject("range")
        .number("minFreq", minFreq)
        .number("maxFreq", maxFreq)
        .number("minLevel", minLevel)
        .number("maxLevel", maxLevel)
        .endObject();
}

// Writes a value of `target` as JSON: numbers for numeric parameters and properties, texts for
// text ones.
void addValue(JsonText& json, const Tessel::ObjectTarget& target, const Tessel::Variant& value)
{
    const bool isParameter = target.kind == Tessel::ObjectTarget::Kind::Parameter;
    if (isParameter && target.parameter->getType() == Tessel::ParamType::kString)
        json.string("value", value.asString());
    else if (isParameter && Remote::isWholeKind(target.parameter->getType()))
        json.integer("value", value.asInt());
    else if (isParameter)
    {
        json.number("value", value.asDouble());
        // Where the value sits on the parameter's own travel (0…1, its curve applied), so a
        // page draws a meter or fader where the desk does.
        json.number("norm", std::round(target.parameter->getValueNormalized(value) * 1e4) / 1e4);
    }
    else if (value.isInt())
        json.integer("value", value.asInt());
    else if (value.isFloat())
        json.number("value", value.asDouble());
    else
        json.string("value", value.asString());
}

// The equaliser at `address`: one with bands of its own (`equaliser`), or one that only shows its
// overall response (`response`, the view a graphic equaliser such as a room's master makes for its
// display, kept alive by `view`). False with `error` when the address names neither.
struct CurveSource
{
    Filtra::EQComponent* equaliser = nullptr;
    Tessel::Component* component = nullptr;
    Tessel::SharedPtr<Tessel::Object> view;
    const Filtra::IResponseView* response = nullptr;
};

constexpr const char* kResponseViewName = "GEQDisplay";
// The range a graphic equaliser's response is drawn on.
constexpr float kGraphicMinFreq = 20, kGraphicMaxFreq = 20000, kGraphicLevel = 12;

bool curveSourceAt(const std::string& address, CurveSource& source, std::string& error)
{
    Remote::RemoteTarget target = Remote::resolveRemoteAddress(address, true);
    if (!target.resolved())
    {
        error = target.error;
        return false;
    }
    source.component =
        target.object.kind == Tessel::ObjectTarget::Kind::Component ? target.object.component : nullptr;
    source.equaliser = source.component ? Tessel::classCast<Filtra::EQComponent>(source.component) : nullptr;
    if (source.equaliser)
        return true;
    if (auto* factory =
            Tessel::unknownCast<Tessel::IViewFactory>(static_cast<Tessel::Object*>(source.component)))
    {
        source.view = Tessel::SharedPtr<Tessel::Object>::adopt(factory->createView(kResponseViewName, {}));
        source.response =
            source.view ? Tessel::unknownCast<Filtra::IResponseView>(source.view.get()) : nullptr;
        if (source.response)
            return true;
    }
    error = "the address names no equaliser";
    return false;
}
} // namespace

// One client's watch on one address: observes what the address names and marks itself when that
// changes; WebDesk::flush sends it. It does not keep its subjects alive: a subject that goes
// leaves the watch silent (a later subscribe attaches it anew).
class WebWatch : public Tessel::Object
{
public:
    using Kind = WebWatchKind;

    WebWatch(Kind kind, std::string address, int points)
        : kind(kind), address(std::move(address)), points(points),
          madeKey(WebDesk::watchKey(kind, this->address) +
                  (kind == Kind::Curve ? " " + std::to_string(points) : ""))
    {
    }

    bool attach(std::string& error)
    {
        detach();
        if (kind == Kind::Rows)
        {
            Tessel::Component* list = listComponentAt(address, error);
            if (!list)
                return false;
            observe(list);
            return true;
        }
        if (kind == Kind::Curve)
        {
            CurveSource source;
            if (!curveSourceAt(address, source, error))
                return false;
            if (source.response)
            {
                // The view signals whenever the response it shows changes; it lives as long as the
                // watch.
                view = source.view;
                observe(Tessel::unknownCast<Tessel::ISubject>(view.get()));
                return true;
            }
            Filtra::EQComponent* equaliser = source.equaliser;
            observe(equaliser);
            std::vector<Tessel::IParameter*> switches;
            equaliser->collectSwitches(switches);
            for (Tessel::IParameter* param : switches)
                observe(Tessel::unknownCast<Tessel::ISubject>(param));
            for (int band = 0; band < equaliser->getNumBands(); ++band)
                if (const Filtra::EqBand* parts = equaliser->getBand(band))
                    for (const auto* param :
                         {&parts->type, &parts->gain, &parts->q, &parts->freq, &parts->active})
                        if (*param)
                            observe(Tessel::unknownCast<Tessel::ISubject>(param->get()));
            return true;
        }
        Remote::RemoteTarget resolved = Remote::resolveRemoteAddress(address, false);
        if (!resolved.resolved())
        {
            error = resolved.error;
            return false;
        }
        if (Remote::isCommand(resolved.object))
        {
            error = "a command has no value to watch";
            return false;
        }
        if (Remote::isSecret(resolved.object))
        {
            error = Remote::kWriteOnlyReason;
            return false;
        }
        target = resolved.object;
        observe(target.kind == Tessel::ObjectTarget::Kind::Parameter
                    ? Tessel::unknownCast<Tessel::ISubject>(target.parameter)
                    : static_cast<Tessel::ISubject*>(target.component));
        return true;
    }

    void detach()
    {
        for (Tessel::ISubject* subject : subjects)
            subject->removeObserver(this);
        subjects.clear();
        target = {};
        view = nullptr;
        changedList = nullptr;
        owner = nullptr;
    }

    bool isEnlisted() const { return changedList != nullptr; }

    void notify(Tessel::ISubject* from, const Tessel::Message& msg) override
    {
        auto it = std::find(subjects.begin(), subjects.end(), from);
        if (it == subjects.end())
            return;
        if (msg.is(Tessel::Messages::kDestroyed))
        {
            // A subject is going: forget every one without touching this one again.
            subjects.erase(it);
            detach();
            return;
        }
        if (kind == Kind::Value && target.kind == Tessel::ObjectTarget::Kind::Property)
        {
            if (!msg.is(Tessel::Messages::kPropertyChanged))
                return;
            const Tessel::Variant& which = msg.getArg(0);
            if (!which.isEmpty() && which.asString() != target.name)
                return;
        }
        else if (kind == Kind::Value && !msg.is(Tessel::Messages::kChanged))
            return;
        markChanged();
    }

    // Marks the watch for the next look: listed once in its page's changed list, and for a
    // setting (not a reading such as a meter) a look is asked for at once, so a change reaches
    // the page without waiting for the next tick.
    void markChanged()
    {
        dirty = true;
        if (!changedList)
            return;
        if (!listed)
        {
            listed = true;
            changedList->push_back(Tessel::SharedPtr<WebWatch>(this));
        }
        if (urgent && owner)
            owner->flushSoon();
    }

    // Joins the watch to its page's changed list (until detached).
    void enlist(WebDesk* desk, std::vector<Tessel::SharedPtr<WebWatch>>* list)
    {
        owner = desk;
        changedList = list;
        urgent = kind == Kind::Curve ||
                 (kind == Kind::Value && target.kind == Tessel::ObjectTarget::Kind::Parameter &&
                  target.parameter->isFlag(Tessel::ParamFlags::kStorable));
    }

    const Kind kind;
    const std::string address;
    const int points;
    const std::string madeKey; // what it sends, the same for every page that watches it
    Tessel::ObjectTarget target;
    Tessel::SharedPtr<Tessel::Object> view; // a response view watched for a curve
    bool dirty = false;
    bool listed = false; // in its page's changed list
    bool urgent = false; // a setting or a curve: looked at as soon as it changes
    int64_t lastSent = 0;
    int64_t lastPolled = 0; // rows: when they were last looked at for changes no signal reports
    std::string lastSignature;

protected:
    ~WebWatch() override { detach(); }

private:
    void observe(Tessel::ISubject* subject)
    {
        if (!subject || std::find(subjects.begin(), subjects.end(), subject) != subjects.end())
            return;
        subject->addObserver(this);
        subjects.push_back(subject);
    }

    std::vector<Tessel::ISubject*> subjects;                         // observed, not retained
    std::vector<Tessel::SharedPtr<WebWatch>>* changedList = nullptr; // its page's, while attached
    WebDesk* owner = nullptr;
};

// Runs the desk's flush on the next turn of the loop, once however often it is asked.
class WebFlushSoon : public Tessel::Object
{
public:
    explicit WebFlushSoon(WebDesk* desk) : desk(desk) {}

    void request()
    {
        if (pending || !desk)
            return;
        pending = true;
        Tessel::GetSignalHandler()->post(this, Tessel::Message(kFlushMessage), 0);
    }
    void cancel()
    {
        desk = nullptr;
        Tessel::GetSignalHandler()->cancel(this);
    }
    void notify(Tessel::ISubject*, const Tessel::Message& msg) override
    {
        if (!msg.is(kFlushMessage))
            return;
        pending = false;
        if (desk)
            desk->flush(false);
    }

private:
    static constexpr const char* kFlushMessage = "webFlush";
    WebDesk* desk;
    bool pending = false;
};

WebDesk::WebDesk(SendFunction send)
    : sendFunction(std::move(send)), ticker([this] { flush(false); }),
      soon(Tessel::SharedPtr<WebFlushSoon>::adopt(new WebFlushSoon(this)))
{
}

void WebDesk::flushSoon()
{
    soon->request();
}

WebDesk::~WebDesk()
{
    ticker.stop();
    soon->cancel();
    for (auto& [id, client] : clients)
    {
        endGestures(client);
        for (auto& [key, watch] : client.watches)
            watch->detach();
    }
    clients.clear();
}

WebDesk::ClientId WebDesk::openClient()
{
    const ClientId id = nextClient++;
    clients[id];
    if (clients.size() == 1)
        ticker.start(kTickMs, true);
    return id;
}

void WebDesk::sendHello(ClientId client)
{
    JsonText hello;
    hello.beginObject()
        .string("op", "hello")
        .boolean("readOnly", readOnly)
        .string("desk", "Ambrel")
        .endObject();
    send(client, hello.str());
}

void WebDesk::closeClient(ClientId client)
{
    auto it = clients.find(client);
    if (it == clients.end())
        return;
    endGestures(it->second);
    for (auto& [key, watch] : it->second.watches)
        watch->detach();
    clients.erase(it);
    if (clients.empty())
        ticker.stop();
}

void WebDesk::endGestures(Client& state)
{
    auto gestures = std::move(state.gestures);
    state.gestures.clear();
    for (auto& [address, param] : gestures)
        param->endEdit();
}

size_t WebDesk::countWatches(ClientId client) const
{
    auto it = clients.find(client);
    return it == clients.end() ? 0 : it->second.watches.size();
}

size_t WebDesk::countGestures(ClientId client) const
{
    auto it = clients.find(client);
    return it == clients.end() ? 0 : it->second.gestures.size();
}

void WebDesk::setReadOnly(bool on)
{
    if (readOnly == on)
        return;
    readOnly = on;
    // Fingers held on controls let go: a read-only page changes nothing from now on.
    for (auto& [id, client] : clients)
    {
        if (on)
            endGestures(client);
        sendHello(id);
    }
}

void WebDesk::refuseOversized(ClientId client)
{
    sendError(client, "", "the message is larger than 64 KB", {});
}

void WebDesk::handleText(ClientId client, std::string_view text)
{
    auto it = clients.find(client);
    if (it == clients.end())
        return;
    if (text.size() > kMaxMessageBytes)
        return refuseOversized(client);
    Core::Portable::Attributes message;
    std::string error;
    if (!Core::Portable::JsonReader::parse(text.data(), text.size(), message, &error))
        return sendError(client, "", "malformed message: " + error, {});
    handle(client, it->second, message);
}

void WebDesk::handle(ClientId client, Client& state, const Core::Portable::Attributes& message)
{
    const std::string id = idOf(message);
    const std::string op(message.getText("op"));
    const std::string address(message.getText("address"));
    if (op.empty())
        return sendError(client, address, "the message has no \"op\"", id);
    const bool needsAddress = op != "venue" && op != "subscribeVenue" && op != "unsubscribeVenue";
    if (needsAddress && address.empty())
        return sendError(client, "", "\"" + op.substr(0, 64) + "\" needs an \"address\"", id);

    if (op == "venue" || op == "subscribeVenue")
    {
        std::string text = venueMessage(id);
        if (op == "subscribeVenue")
        {
            state.watchesVenue = true;
            state.lastVenue = venueMessage({});
        }
        return send(client, text);
    }
    if (op == "unsubscribeVenue")
    {
        state.watchesVenue = false;
        state.lastVenue.clear();
        return;
    }
    if (op == "get")
    {
        std::string out, error;
        if (!valueText(address, id, out, error))
            return sendError(client, address, error, id);
        return send(client, out);
    }
    if (op == "set")
        return handleSet(client, state, address, message, id);
    if (op == "begin" || op == "end")
        return handleGesture(client, state, op == "begin", address, id);
    if (op == "invoke")
    {
        if (readOnly)
            return sendError(client, address, kReadOnlyReason, id);
        if (const std::string locked = lockRefusal(address); !locked.empty())
            return sendError(client, address, locked, id);
        Remote::RemoteTarget target = Remote::resolveRemoteAddress(address, false);
        if (!target.resolved())
            return sendError(client, address, target.error, id);
        if (!Remote::isCommand(target.object))
            return sendError(client, address, "the address names no command", id);
        std::string error;
        if (!Remote::invokeCommand(target.object, error))
            return sendError(client, address, error, id);
        JsonText done;
        done.beginObject().string("op", "done").string("address", address);
        addId(done, id);
        return send(client, done.endObject().str());
    }
    if (op == "subscribe" || op == "subscribeCurve")
    {
        int points = 0;
        if (op == "subscribeCurve")
        {
            points = int(message.getInt64("points", kDefaultCurvePoints));
            if (points < 2 || points > kMaxCurvePoints)
                return sendError(client, address, "a curve has 2 to 2048 points", id);
        }
        return handleWatch(client, state, op == "subscribe" ? WebWatch::Kind::Value : WebWatch::Kind::Curve,
                           address, points, id);
    }
    if (op == "subscribeRows")
        return handleWatch(client, state, WebWatch::Kind::Rows, address, 0, id);
    if (op == "rows")
    {
        std::string out, error;
        if (!rowsMessage(address, id, out, error))
            return sendError(client, address, error, id);
        return send(client, out);
    }
    if (op == "unsubscribe" || op == "unsubscribeCurve" || op == "unsubscribeRows")
    {
        const std::string key = watchKey(op == "unsubscribe"        ? WebWatch::Kind::Value
                                         : op == "unsubscribeCurve" ? WebWatch::Kind::Curve
                                                                    : WebWatch::Kind::Rows,
                                         address);
        auto watch = state.watches.find(key);
        if (watch != state.watches.end())
        {
            watch->second->detach();
            state.watches.erase(watch);
        }
        return;
    }
    if (op == "curve")
    {
        const int points = int(message.getInt64("points", kDefaultCurvePoints));
        if (points < 2 || points > kMaxCurvePoints)
            return sendError(client, address, "a curve has 2 to 2048 points", id);
        std::string out, error;
        if (!curveText(address, points, id, out, error))
            return sendError(client, address, error, id);
        return send(client, out);
    }
    if (op == "list")
    {
        std::vector<std::string> names;
        std::string error;
        if (!Remote::listRemoteAddress(address, names, error))
            return sendError(client, address, error, id);
        JsonText list;
        list.beginObject().string("op", "list").string("address", address);
        addId(list, id);
        list.beginArray("names");
        for (const std::string& name : names)
            list.string({}, name);
        return send(client, list.endArray().endObject().str());
    }
    sendError(client, address, "unknown op \"" + op.substr(0, 64) + "\"", id);
}

void WebDesk::handleSet(ClientId client, Client& state, const std::string& address,
                        const Core::Portable::Attributes& message, const std::string& id)
{
    if (readOnly)
        return sendError(client, address, kReadOnlyReason, id);
    if (const std::string locked = lockRefusal(address); !locked.empty())
        return sendError(client, address, locked, id);
    Remote::RemoteTarget target = Remote::resolveRemoteAddress(address, true);
    if (!target.resolved())
        return sendError(client, address, target.error, id);
    const Tessel::ObjectTarget& object = target.object;
    if (object.kind == Tessel::ObjectTarget::Kind::Component)
        return sendError(client, address, "the address names a component: list it to see what it holds", id);
    if (object.kind == Tessel::ObjectTarget::Kind::Property)
        return sendError(client, address, "a property can only be queried", id);
    if (Remote::isCommand(object))
        return sendError(client, address, "the address names a command: invoke it", id);
    const Core::Portable::AttributeValue* value = message.find("value");
    const Core::Portable::AttributeValue* text = message.find("text");
    Tessel::SharedPtr<Tessel::IParameter> hold = Tessel::retained(object.parameter);
    const Remote::Gesture gesture =
        state.gestures.count(address) ? Remote::Gesture::Open : Remote::Gesture::Own;
    std::string error;
    bool done = false;
    if (value && value->isNumber())
        done = value->isInteger()
                   ? Remote::setNumber(object.parameter, Tessel::Variant((long long)value->toInt64()),
                                       gesture, error)
                   : Remote::setNumber(object.parameter, Tessel::Variant(value->toDouble()), gesture, error);
    else if (value && value->isText())
        done = Remote::setText(object.parameter, std::string(value->text()), gesture, error);
    else if (!value && text && text->isText())
        done = Remote::setText(object.parameter, std::string(text->text()), gesture, error);
    else
        error = "\"set\" needs a \"value\" (a number or a text) or a \"text\"";
    if (!done)
        return sendError(client, address, error, id);
    if (Remote::isSecret(object))
    {
        // Taken, and not said back: the answer only confirms the set.
        JsonText answer;
        answer.beginObject().string("op", "value").string("address", address).boolean("writeOnly", true);
        addId(answer, id);
        return send(client, answer.endObject().str());
    }
    std::string out;
    if (!valueText(address, id, out, error))
        return sendError(client, address, error, id);
    send(client, out);
}

void WebDesk::handleGesture(ClientId client, Client& state, bool begin, const std::string& address,
                            const std::string& id)
{
    auto held = state.gestures.find(address);
    if (!begin)
    {
        // Ending a gesture that is not held is no fault: the finger may have been let go already.
        if (held != state.gestures.end())
        {
            Tessel::SharedPtr<Tessel::IParameter> param = held->second;
            state.gestures.erase(held);
            param->endEdit();
        }
        return;
    }
    if (readOnly)
        return sendError(client, address, kReadOnlyReason, id);
    if (const std::string locked = lockRefusal(address); !locked.empty())
        return sendError(client, address, locked, id);
    if (held != state.gestures.end())
        return; // a second finger on the same control continues the gesture
    if (state.gestures.size() >= kMaxGesturesPerClient)
        return sendError(client, address, "a page may hold at most 32 controls at once", id);
    Remote::RemoteTarget target = Remote::resolveRemoteAddress(address, false);
    if (!target.resolved())
        return sendError(client, address, target.error, id);
    if (target.object.kind != Tessel::ObjectTarget::Kind::Parameter || Remote::isCommand(target.object))
        return sendError(client, address, "only a parameter's value can be held", id);
    std::string error;
    if (!Remote::checkSettable(target.object.parameter, error))
        return sendError(client, address, error, id);
    state.gestures[address] = Tessel::retained(target.object.parameter);
    target.object.parameter->beginEdit();
}

std::string WebDesk::watchKey(WatchKind kind, const std::string& address)
{
    const char* prefix = kind == WebWatch::Kind::Value ? "v " : kind == WebWatch::Kind::Curve ? "c " : "r ";
    return prefix + address;
}

bool WebDesk::watchText(const WebWatch& watch, const std::string& id, std::string& out, std::string& error)
{
    switch (watch.kind)
    {
    case WebWatch::Kind::Curve:
        return curveText(watch.address, watch.points, id, out, error);
    case WebWatch::Kind::Rows:
        return rowsMessage(watch.address, id, out, error);
    case WebWatch::Kind::Value:
        break;
    }
    return valueText(watch.address, id, out, error);
}

void WebDesk::handleWatch(ClientId client, Client& state, WatchKind kind, const std::string& address,
                          int points, const std::string& id)
{
    const std::string key = watchKey(kind, address);
    auto existing = state.watches.find(key);
    if (existing == state.watches.end() && state.watches.size() >= kMaxWatchesPerClient)
        return sendError(client, address, "a page may watch at most 512 addresses at once", id);
    auto watch = existing != state.watches.end() ? existing->second
                                                 : Tessel::adopt(new WebWatch(kind, address, points));
    std::string error;
    if (!watch->attach(error))
    {
        if (existing != state.watches.end())
            state.watches.erase(existing);
        return sendError(client, address, error, id);
    }
    std::string out;
    if (!watchText(*watch, id, out, error))
    {
        watch->detach();
        if (existing != state.watches.end())
            state.watches.erase(existing);
        return sendError(client, address, error, id);
    }
    watch->dirty = false;
    watch->enlist(this, &state.changed);
    watch->lastSent = watch->lastPolled = Tessel::GetSystemTicks();
    // The signature a later change is compared with: a curve or rows message has no id when it
    // is sent again.
    if (watch->kind == WebWatch::Kind::Value)
        watch->lastSignature = Remote::valueSignature(watch->target);
    else if (id.empty() || !watchText(*watch, {}, watch->lastSignature, error))
        watch->lastSignature = out;
    state.watches[key] = watch;
    send(client, out);
}

void WebDesk::flush(bool all)
{
    const int64_t now = Tessel::GetSystemTicks();
    // Rows are looked at again now and then: a speaker's new name changes a row without a signal
    // of its list.
    if (now - lastRowsPoll >= kVenuePollMs)
    {
        lastRowsPoll = now;
        for (auto& [id, client] : clients)
            for (auto it = client.watches.lower_bound("r ");
                 it != client.watches.end() && it->first[0] == 'r'; ++it)
                it->second->markChanged();
    }
    // What every page gets of one address is made once per look (a meter that ten pages watch).
    std::map<std::string, std::pair<std::string, std::string>> made; // key → message, signature
    std::vector<std::pair<ClientId, std::string>> batches;
    for (auto& [id, client] : clients)
    {
        std::vector<Tessel::SharedPtr<WebWatch>> changed = std::move(client.changed);
        client.changed.clear();
        std::vector<const std::string*> messages;
        for (Tessel::SharedPtr<WebWatch>& watch : changed)
        {
            if (!watch->isEnlisted())
            {
                watch->listed = false; // unsubscribed meanwhile
                continue;
            }
            if (!all && now - watch->lastSent < kCoalesceMs)
            {
                client.changed.push_back(std::move(watch)); // its period is not over yet
                continue;
            }
            watch->listed = false;
            watch->dirty = false;
            const std::string& key = watch->madeKey;
            auto it = made.find(key);
            if (it == made.end())
            {
                std::string out, error;
                if (!watchText(*watch, {}, out, error))
                    out.clear();
                std::string signature = watch->kind == WebWatch::Kind::Value && !out.empty()
                                            ? Remote::valueSignature(watch->target)
                                            : out;
                it = made.emplace(key, std::make_pair(std::move(out), std::move(signature))).first;
            }
            const auto& [out, signature] = it->second;
            // A "changed" that moved nothing the page sees sends nothing.
            if (out.empty() || signature == watch->lastSignature)
                continue;
            watch->lastSignature = signature;
            watch->lastSent = now;
            messages.push_back(&out);
        }
        if (messages.empty())
            continue;
        // One WebSocket message per page and look: a single message as it is, several as an array.
        std::string batch;
        if (messages.size() == 1)
            batch = *messages.front();
        else
        {
            size_t size = 2;
            for (const std::string* message : messages)
                size += message->size() + 1;
            batch.reserve(size);
            batch += '[';
            for (const std::string* message : messages)
            {
                if (batch.size() > 1)
                    batch += ',';
                batch += *message;
            }
            batch += ']';
        }
        batches.emplace_back(id, std::move(batch));
    }
    // Sent after the look: a send may close a page.
    for (auto& [id, batch] : batches)
        send(id, batch);
    flushVenue(all, now);
}

void WebDesk::flushVenue(bool all, int64_t now)
{
    if (!all && now - lastVenuePoll < kVenuePollMs)
        return;
    lastVenuePoll = now;
    std::vector<ClientId> watching;
    for (auto& [id, client] : clients)
        if (client.watchesVenue)
            watching.push_back(id);
    if (watching.empty())
        return;
    // One look for every page: the venue is the same for all.
    const std::string text = venueMessage({});
    for (ClientId id : watching)
    {
        auto client = clients.find(id);
        if (client == clients.end() || client->second.lastVenue == text)
            continue;
        client->second.lastVenue = text;
        send(id, text);
    }
}

bool WebDesk::valueText(const std::string& address, const std::string& id, std::string& out,
                        std::string& error)
{
    Remote::RemoteTarget target = Remote::resolveRemoteAddress(address, true);
    if (!target.resolved())
    {
        error = target.error;
        return false;
    }
    if (target.object.kind == Tessel::ObjectTarget::Kind::Component)
    {
        error = "the address names a component: list it to see what it holds";
        return false;
    }
    if (Remote::isCommand(target.object))
    {
        error = "a command has no value: invoke it";
        return false;
    }
    Tessel::Variant value;
    std::string text;
    if (!Remote::readValue(target.object, value, text, error))
        return false;
    JsonText json;
    json.beginObject().string("op", "value").string("address", address);
    addValue(json, target.object, value);
    json.string("text", text);
    addId(json, id);
    out = json.endObject().str();
    return true;
}

bool WebDesk::curveText(const std::string& address, int points, const std::string& id, std::string& out,
                        std::string& error)
{
    CurveSource source;
    if (!curveSourceAt(address, source, error))
        return false;
    if (source.response)
        return responseText(address, *source.response, points, id, out);
    Filtra::EQComponent* equaliser = source.equaliser;
    std::vector<float> gains(size_t(points), 0.0f);
    if (!equaliser->getSummedCurve(gains.data(), points))
    {
        error = "the equaliser has no curve yet";
        return false;
    }
    // The same grid the engine evaluates on.
    const Filtra::DisplayRange range = equaliser->getDisplayRange();
    Filtra::ResponseGrid grid;
    grid.prepare(range.minFreq, range.maxFreq, points);
    JsonText json;
    json.beginObject().string("op", "curve").string("address", address);
    addId(json, id);
    addPoints(json, grid, gains);
    json.beginArray("bands");
    for (int band = 0; band < equaliser->getNumBands(); ++band)
        json.beginObject()
            .number("freq", equaliser->getFreq(band))
            .number("gain", equaliser->getGain(band))
            .number("q", equaliser->getQ(band))
            .integer("type", equaliser->getType(band))
            .boolean("on", equaliser->isActive(band))
            .endObject();
    json.endArray();
    addRange(json, range.minFreq, range.maxFreq, range.minLevel, range.maxLevel);
    out = json.endObject().str();
    return true;
}

bool WebDesk::responseText(const std::string& address, const Filtra::IResponseView& response, int points,
                           const std::string& id, std::string& out)
{
    Filtra::ResponseGrid grid;
    grid.prepare(kGraphicMinFreq, kGraphicMaxFreq, points);
    std::vector<float> gains(size_t(points), 0.0f);
    response.getResponse(grid, gains.data());
    JsonText json;
    json.beginObject().string("op", "curve").string("address", address);
    addId(json, id);
    addPoints(json, grid, gains);
    json.boolean("on", response.isOn()).beginArray("bands").endArray();
    addRange(json, kGraphicMinFreq, kGraphicMaxFreq, -kGraphicLevel, kGraphicLevel);
    out = json.endObject().str();
    return true;
}

void WebDesk::sendError(ClientId client, std::string_view address, const std::string& reason,
                        const std::string& id)
{
    JsonText json;
    json.beginObject()
        .string("op", "error")
        .string("address", address.substr(0, kMaxAddressInError))
        .string("reason", reason);
    addId(json, id);
    send(client, json.endObject().str());
}

void WebDesk::send(ClientId client, const std::string& text)
{
    if (sendFunction && clients.count(client))
        sendFunction(client, text);
}

} // namespace Vellaris::Web
