#include "speaker/meter/MeterView.h"

namespace Filtra
{

MeterView::MeterView(LevelMeter* engine, int index) : engine(engine), index(index)
{
    if (engine)
        engine->addObserver(this);
}

MeterView::~MeterView()
{
    if (engine)
        engine->removeObserver(this);
}

const std::vector<float>& MeterView::getScaleMarks()
{
    static const std::vector<float> marks = {-48.0f, -36.0f, -24.0f, -12.0f, -9.0f, -6.0f, -3.0f};
    return marks;
}

bool MeterView::getProperty(const std::string& name, Tessel::Variant& value) const
{
    if (name == "level")
        value = double(getLevel());
    else if (name == "peak")
        value = double(getPeak());
    else if (name == "levelDb")
        value = double(getLevelDb());
    else if (name == "peakDb")
        value = double(getPeakDb());
    else if (name == "index")
        value = index;
    else
        return Object::getProperty(name, value);
    return true;
}

void MeterView::notify(Tessel::ISubject* subject, const Tessel::Message& msg)
{
    if (msg.is(Tessel::Messages::kChanged))
        signal(msg);
}

} // namespace Filtra
