#pragma once

#include <cstdint>

#include "tessel/IUnknown.h"

namespace Filtra
{

// The four display-range values of an equaliser: frequencies in Hz, levels in dB.
struct DisplayRange
{
    float minFreq = 20.0f;
    float maxFreq = 20000.0f;
    float minLevel = -96.0f;
    float maxLevel = 0.0f;
};

// What an equaliser editor view reads and writes of an equaliser, band by band. Bands are numbered
// from 0; an index outside 0 … getNumBands() − 1 reads as a band without parameters (the
// equaliser's defaults) and writes to it do nothing. Every write goes through the band's parameter
// with notification, so it reaches the speaker, and is skipped when the parameter is disabled or
// read-only. The operations are listed in the interface's slot order. GUI thread only.
class IEqEditor : public virtual Tessel::IUnknown
{
public:
    static constexpr Tessel::UID kIID{0x7E55E300, 0x0001, 0x4000, 0x80, 0x00, 0x00,
                                      0x00,       0x00,   0x00,   0x03, 0x01};

    // Filter kind of the band (FilterDesign.h), or the default kind when it has no type parameter.
    virtual int32_t getType(int band) const = 0;
    // Frequency in Hz, Q and gain in dB, each falling back to the equaliser's default.
    virtual float getFreq(int band) const = 0;
    virtual float getQ(int band) const = 0;
    virtual float getGain(int band) const = 0;
    // True when the band has an on switch and it is on.
    virtual bool isActive(int band) const = 0;
    // The selected band, −1 when none.
    virtual int getCurrentBand() const = 0;
    // Fills out[0 … count) with the band's response in dB on the display's log-spaced grid.
    // Returns false (and writes nothing) for a band out of range. Allocates nothing once the grid
    // of `count` points exists.
    virtual bool getBandCurve(float* out, int band, int count) const = 0;
    // Writes the position of `kind` in the equaliser's filter list to the type parameter (0 when
    // the kind is not in the list).
    virtual void setType(int band, int32_t kind) = 0;
    virtual void setFreq(int band, float freq) = 0;
    virtual void setQ(int band, float q) = 0;
    virtual void setGain(int band, float gain) = 0;
    virtual void setActive(int band, bool on) = 0;
    // Begins (true) or ends (false) an edit gesture on the band's gain, frequency and Q, so that
    // echoes of the speaker do not fight the hand that holds them.
    virtual void editBand(int band, bool begin) = 0;
    // A slot without effect.
    virtual void reserved(int first, int second) = 0;
    // Selects a band (−1: none): the equaliser's "currentBand" and its "selected…" aliases follow.
    virtual void setCurrentBand(int band) = 0;
    virtual int getNumBands() const = 0;
    virtual DisplayRange getDisplayRange() const = 0;
    // A constant of the editor kind: 0 for a plain equaliser, −1 for a speaker's own equalisers.
    virtual int getEditorConstant() const = 0;

protected:
    ~IEqEditor() override = default;
};

} // namespace Filtra
