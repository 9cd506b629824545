#pragma once

#include <string>

#include "tessel/IStorageFilter.h"

namespace Vellaris
{

// The storage filters that decide what a speaker preset, a graphic-equaliser preset and the
// speaker clipboard hold. Each answers the three questions of IStorageFilter (restore, store,
// reset); the categories are IStorageFilter::kComponent and kParameter. Stateless: one instance
// may serve any number of stores and restores.
class StorageFilter : public Tessel::IStorageFilter
{
public:
    ~StorageFilter() override = default;

    // Whether a parameter of this name that is not storable is carried all the same, as an
    // additional key of its component's section (stored and restored where the three questions
    // let it through). A file without the key leaves the parameter as it is. None by default.
    virtual bool carries(const std::string& parameterName) const;
};

// Everything, for all three questions; also carries the on-switches of the parametric EQ and the
// notch ("eqallon", "notchallon"), so that a preset brings its bands back switched as they were.
class SpeakerPresetFilter : public StorageFilter
{
public:
    bool carries(const std::string& parameterName) const override;
    bool includeOnRestore(const std::string& category, const std::string& name,
                          Tessel::IUnknown* item) override;
    bool includeOnStore(const std::string& category, const std::string& name,
                        Tessel::IUnknown* item) override;
    bool includeOnReset(const std::string& category, const std::string& name,
                        Tessel::IUnknown* item) override;
};

// Restoring and storing: everything. Resetting: every component, and of the parameters only the
// band gains (names beginning with "gain"), so a reset keeps the equaliser's switches.
class GeqPresetFilter : public StorageFilter
{
public:
    bool includeOnRestore(const std::string& category, const std::string& name,
                          Tessel::IUnknown* item) override;
    bool includeOnStore(const std::string& category, const std::string& name,
                        Tessel::IUnknown* item) override;
    bool includeOnReset(const std::string& category, const std::string& name,
                        Tessel::IUnknown* item) override;
};

// For all three questions: every component but the graphic equaliser ("geq") and the developer
// limiter ("multilimiter"); every parameter but "presetloading", the nickname and the channel
// names ("name"); any other category is left out. Carries the EQ and notch on-switches as a
// speaker preset does.
class SpeakerClipboardFilter : public StorageFilter
{
public:
    bool carries(const std::string& parameterName) const override;
    bool includeOnRestore(const std::string& category, const std::string& name,
                          Tessel::IUnknown* item) override;
    bool includeOnStore(const std::string& category, const std::string& name,
                        Tessel::IUnknown* item) override;
    bool includeOnReset(const std::string& category, const std::string& name,
                        Tessel::IUnknown* item) override;

    // The one rule behind the three questions.
    static bool includes(const std::string& category, const std::string& name);
};

// The switches a speaker preset and the speaker clipboard carry beside the storable values:
// "eqallon" and "notchallon".
bool isEqOnSwitch(const std::string& parameterName);

} // namespace Vellaris
