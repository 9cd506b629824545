#include "speaker/EQComponent.h"

#include <algorithm>
#include <cmath>

#include "speaker/EqCurveView.h"
#include "tessel/AliasParam.h"
#include "tessel/AttributeList.h"
#include "tessel/ISubject.h"
#include "tessel/Parameter.h"

namespace Filtra
{

TESSEL_DEFINE_CLASS(EQComponent, Vellaris::LK::RemoteComponent)

namespace
{
// Tags of the component's own parameters (the model's tags stay below 100).
enum LocalTag : int32_t
{
    kCurrentBandTag = 100,
    kSelectedTypeTag,
    kSelectedFreqTag,
    kSelectedGainTag,
    kSelectedQTag,
};
// More bands than any layout could mean: a corrupt layout must not make the editor allocate wildly.
constexpr int kMaxBands = 256;

Tessel::IParameter* lookup(const Tessel::Component& component, const Tessel::Attributes& band,
                           const char* key)
{
    const std::string name = band.getString(key);
    return name.empty() ? nullptr : component.findParameter(name);
}

float valueOr(const Tessel::SharedPtr<Tessel::IParameter>& param, float fallback)
{
    return param ? float(param->getValue().asDouble()) : fallback;
}
} // namespace

bool EqBand::holds(const Tessel::IParameter* param) const
{
    return param && (type.get() == param || gain.get() == param || q.get() == param || freq.get() == param ||
                     active.get() == param);
}

EQComponent::EQComponent() = default;

EQComponent::~EQComponent()
{
    unobserveAll();
}

void* EQComponent::queryInterface(const Tessel::UID& iid)
{
    TESSEL_QUERY_INTERFACE(IEqEditor)
    return RemoteComponent::queryInterface(iid);
}

// --- Band layout ----------------------------------------------------------------------------

void EQComponent::setClassData(const Tessel::Attributes& data)
{
    classData = data;
    readClassData(data);
}

void EQComponent::readClassData(const Tessel::Attributes& data)
{
    unobserveAll();
    numBands = int(std::clamp<int64_t>(data.getInt("numBands", numBands), 0, kMaxBands));
    bands.assign(size_t(numBands), EqBand());
    addLocalParameters();
    currentBandParam->setMax(Tessel::Variant(std::max(numBands - 1, 0)));

    if (const Tessel::Attributes* display = data.getAttributes("displayRange"))
    {
        range.minFreq = float(display->getFloat("minFreq", range.minFreq));
        range.maxFreq = float(display->getFloat("maxFreq", range.maxFreq));
        range.minLevel = float(display->getFloat("minLevel", range.minLevel));
        range.maxLevel = float(display->getFloat("maxLevel", range.maxLevel));
    }
    if (const Tessel::Attributes* defaults = data.getAttributes("defaults"))
    {
        if (defaults->contains("type"))
            defaultType = filterKindFromName(defaults->getString("type"));
        defaultQ = float(defaults->getFloat("q", defaultQ));
        defaultFreq = float(defaults->getFloat("freq", defaultFreq));
        defaultGain = float(defaults->getFloat("gain", defaultGain));
    }
    if (const Tessel::AttributeList* list = data.getList("bands"))
    {
        for (int i = 0; i < std::min(list->count(), numBands); ++i)
        {
            const Tessel::Attributes* entry = list->attributesAt(i);
            if (!entry)
                continue;
            EqBand& band = bands[size_t(i)];
            band.type = Tessel::SharedPtr<Tessel::IParameter>(lookup(*this, *entry, "type"));
            band.gain = Tessel::SharedPtr<Tessel::IParameter>(lookup(*this, *entry, "gain"));
            band.q = Tessel::SharedPtr<Tessel::IParameter>(lookup(*this, *entry, "q"));
            band.freq = Tessel::SharedPtr<Tessel::IParameter>(lookup(*this, *entry, "freq"));
            band.active = Tessel::SharedPtr<Tessel::IParameter>(lookup(*this, *entry, "active"));
            for (Tessel::IParameter* param :
                 {band.type.get(), band.gain.get(), band.q.get(), band.freq.get(), band.active.get()})
                observe(param);
        }
    }
    filterKinds.clear();
    if (const Tessel::AttributeList* biquads = data.getList("biquads"))
        for (int i = 0; i < biquads->count(); ++i)
            filterKinds.push_back(filterKindFromName(biquads->at(i).asString()));
    const std::string activeName = data.getString("active");
    active = Tessel::SharedPtr<Tessel::IParameter>(activeName.empty() ? nullptr : findParameter(activeName));
    observe(currentBandParam);
    pointAliases();
}

void EQComponent::addLocalParameters()
{
    if (currentBandParam)
        return;
    Tessel::ParamContainer& params = getParams();
    currentBandParam = params.addInteger(0, 0, "currentBand", kCurrentBandTag);
    selectedType = params.addAlias(nullptr, "selectedType", kSelectedTypeTag);
    selectedFreq = params.addAlias(nullptr, "selectedFreq", kSelectedFreqTag);
    selectedGain = params.addAlias(nullptr, "selectedGain", kSelectedGainTag);
    selectedQ = params.addAlias(nullptr, "selectedQ", kSelectedQTag);
}

void EQComponent::observe(Tessel::IParameter* param)
{
    if (!param)
        return;
    for (const auto& known : observed)
        if (known.get() == param)
            return;
    if (Tessel::ISubject* subject = Tessel::unknownCast<Tessel::ISubject>(param))
    {
        subject->addObserver(this);
        observed.emplace_back(param);
    }
}

void EQComponent::unobserveAll()
{
    for (const auto& param : observed)
        if (Tessel::ISubject* subject = Tessel::unknownCast<Tessel::ISubject>(param.get()))
            subject->removeObserver(this);
    observed.clear();
}

// --- Bands ----------------------------------------------------------------------------------

bool EQComponent::resolveBand(int band, const EQComponent*& owner, int& local) const
{
    if (band < 0 || band >= int(bands.size()))
        return false;
    owner = this;
    local = band;
    return true;
}

const EqBand* EQComponent::resolveRecord(int band, const EQComponent*& owner) const
{
    int local = 0;
    if (!resolveBand(band, owner, local))
        return nullptr;
    return &owner->bands[size_t(local)];
}

const EqBand* EQComponent::getBand(int band) const
{
    const EQComponent* owner = nullptr;
    return resolveRecord(band, owner);
}

int EQComponent::getNumBands() const
{
    return int(bands.size());
}

int EQComponent::findBandOf(const Tessel::IParameter* param) const
{
    for (size_t i = 0; i < bands.size(); ++i)
        if (bands[i].holds(param))
            return int(i);
    return -1;
}

int32_t EQComponent::getType(int band) const
{
    const EQComponent* owner = this;
    const EqBand* record = resolveRecord(band, owner);
    if (!record || !record->type)
        return owner->defaultType;
    const int64_t index = record->type->getValue().asInt();
    if (index < 0 || index >= int64_t(owner->filterKinds.size()))
        return owner->defaultType;
    return owner->filterKinds[size_t(index)];
}

float EQComponent::getFreq(int band) const
{
    const EQComponent* owner = this;
    const EqBand* record = resolveRecord(band, owner);
    return record ? valueOr(record->freq, owner->defaultFreq) : owner->defaultFreq;
}

float EQComponent::getQ(int band) const
{
    const EQComponent* owner = this;
    const EqBand* record = resolveRecord(band, owner);
    return record ? valueOr(record->q, owner->defaultQ) : owner->defaultQ;
}

float EQComponent::getGain(int band) const
{
    const EQComponent* owner = this;
    const EqBand* record = resolveRecord(band, owner);
    return record ? valueOr(record->gain, owner->defaultGain) : owner->defaultGain;
}

bool EQComponent::isActive(int band) const
{
    const EqBand* record = getBand(band);
    return record && record->active && record->active->getValue().asDouble() != 0;
}

bool EQComponent::writable(Tessel::IParameter* param)
{
    return param && param->isEnabled() && !param->isFlag(Tessel::ParamFlags::kReadOnly);
}

void EQComponent::setType(int band, int32_t kind)
{
    const EQComponent* owner = this;
    const EqBand* record = resolveRecord(band, owner);
    if (!record || !writable(record->type.get()))
        return;
    const auto& kinds = owner->filterKinds;
    const auto found = std::find(kinds.begin(), kinds.end(), kind);
    const int64_t index = found == kinds.end() ? 0 : int64_t(found - kinds.begin());
    record->type->setValue(Tessel::Variant((long long)index), true);
}

void EQComponent::setFreq(int band, float freq)
{
    const EqBand* record = getBand(band);
    if (record && writable(record->freq.get()))
        record->freq->setValue(Tessel::Variant(double(freq)), true);
}

void EQComponent::setQ(int band, float q)
{
    const EqBand* record = getBand(band);
    if (record && writable(record->q.get()))
        record->q->setValue(Tessel::Variant(double(q)), true);
}

void EQComponent::setGain(int band, float gain)
{
    const EqBand* record = getBand(band);
    if (record && writable(record->gain.get()))
        record->gain->setValue(Tessel::Variant(double(gain)), true);
}

void EQComponent::setActive(int band, bool on)
{
    const EqBand* record = getBand(band);
    if (record && writable(record->active.get()))
        record->active->setValue(Tessel::Variant(on), true);
}

void EQComponent::editBand(int band, bool begin)
{
    const EqBand* record = getBand(band);
    if (!record)
        return;
    for (Tessel::IParameter* param : {record->gain.get(), record->freq.get(), record->q.get()})
    {
        if (!param)
            continue;
        if (begin)
            param->beginEdit();
        else
            param->endEdit();
    }
}

void EQComponent::resetBand(int band)
{
    const EqBand* record = getBand(band);
    if (!record)
        return;
    for (Tessel::IParameter* param : {record->gain.get(), record->freq.get(), record->q.get()})
        if (writable(param))
            param->setValue(param->getDefaultValue(), true);
}

// --- Current band ---------------------------------------------------------------------------

void EQComponent::setCurrentBand(int band)
{
    if (band == currentBand)
        return;
    currentBand = band;
    if (band != -1 && currentBandParam)
    {
        writingCurrent = true;
        currentBandParam->setValue(Tessel::Variant(band), false);
        writingCurrent = false;
    }
    pointAliases();
    signal(Tessel::Message(kCurrentChanged));
}

void EQComponent::pointAliases()
{
    if (!selectedType)
        return;
    const EqBand* record = currentBand == -1 ? nullptr : getBand(currentBand);
    // A band out of range points the aliases nowhere, like no selection.
    selectedType->setTarget(record ? record->type.get() : nullptr);
    selectedFreq->setTarget(record ? record->freq.get() : nullptr);
    selectedGain->setTarget(record ? record->gain.get() : nullptr);
    selectedQ->setTarget(record ? record->q.get() : nullptr);
}

// --- Curves ---------------------------------------------------------------------------------

const ResponseGrid& EQComponent::gridFor(int count) const
{
    grid.prepare(range.minFreq, range.maxFreq, count);
    return grid;
}

bool EQComponent::getBandCurve(float* out, int band, int count) const
{
    if (!out || count <= 0 || band < 0 || band >= getNumBands())
        return false;
    const Biquad section = designBiquad(getType(band), getFreq(band), getGain(band), getQ(band));
    evaluateResponse(section, sectionCount(getType(band)), gridFor(count), out);
    return true;
}

bool EQComponent::isEqualiserOn() const
{
    return !active || active->getValue().asDouble() != 0;
}

void EQComponent::accumulateActiveBands(const ResponseGrid& onGrid, float* out) const
{
    if (!isEqualiserOn())
        return;
    for (int band = 0; band < int(bands.size()); ++band)
    {
        if (!isActive(band))
            continue;
        const int32_t kind = getType(band);
        accumulateResponse(designBiquad(kind, getFreq(band), getGain(band), getQ(band)), sectionCount(kind),
                           onGrid, out);
    }
}

bool EQComponent::getSummedCurve(float* out, int count) const
{
    if (!out || count <= 0)
        return false;
    std::fill(out, out + count, 0.0f);
    accumulateActiveBands(gridFor(count), out);
    return true;
}

void EQComponent::collectSwitches(std::vector<Tessel::IParameter*>& switches) const
{
    if (active)
        switches.push_back(active.get());
}

Tessel::Object* EQComponent::createView(const std::string& viewName, const Tessel::Attributes& arguments)
{
    const EqCurveView::Kind kind = EqCurveView::kindFromName(viewName);
    if (kind == EqCurveView::Kind::kNone)
        return RemoteComponent::createView(viewName, arguments);
    return new EqCurveView(this, kind);
}

// --- Changes --------------------------------------------------------------------------------

void EQComponent::signalBandChanged(int band)
{
    signal(Tessel::Message(kBandChanged, {Tessel::Variant((long long)band)}));
}

void EQComponent::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (!msg.is(Tessel::Messages::kChanged))
        return RemoteComponent::notify(subject, msg);
    Tessel::IParameter* param = Tessel::unknownCast<Tessel::IParameter>(subject);
    if (!param || bands.empty())
        return;
    if (param == currentBandParam)
    {
        if (writingCurrent)
            return;
        const int band = int(param->getValue().asInt());
        if (band != currentBand)
            setCurrentBand(band);
        else
            signal(Tessel::Message(kCurrentChanged));
        return;
    }
    const int band = findBandOf(param);
    if (band >= 0)
        signalBandChanged(band);
}

} // namespace Filtra
