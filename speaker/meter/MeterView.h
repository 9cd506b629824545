#pragma once

#include <vector>

#include "speaker/meter/LevelMeter.h"
#include "tessel/Object.h"
#include "tessel/SharedPtr.h"

namespace Filtra
{

// The data of one meter display ("MeterDisplay0" … "MeterDisplay4" of a speaker), free of any
// drawing: a view item reads the level and the held peak (positions 0..1 along the meter's scale)
// and the scale marks, and redraws on "changed" (signalled after each idle tick that moved the
// meter). Properties: "level", "peak" (positions), "levelDb", "peakDb", "index".
class MeterView : public Tessel::Object
{
public:
    // `engine` is retained; `index` is the view's meter index (0 input, 1..4 outputs).
    MeterView(LevelMeter* engine, int index);

    int getIndex() const { return index; }
    float getLevel() const { return engine->getLevel(); }
    float getPeak() const { return engine->getPeak(); }
    float getLevelDb() const { return engine->toDecibels(getLevel()); }
    float getPeakDb() const { return engine->toDecibels(getPeak()); }
    // The scale marks in dB (-48, -36, -24, -12, -9, -6, -3) and the position of a level.
    static const std::vector<float>& getScaleMarks();
    float markPosition(float decibels) const { return engine->toPosition(decibels); }
    LevelMeter* getEngine() const { return engine.get(); }

    bool getProperty(const std::string& name, Tessel::Variant& value) const override;
    // Passes the engine's "changed" on to the view's observers.
    void notify(Tessel::ISubject* subject, const Tessel::Message& msg) override;

protected:
    ~MeterView() override;

private:
    Tessel::SharedPtr<LevelMeter> engine;
    int index;
};

} // namespace Filtra
