// What the inspector's panels tell a user at a glance, over a mirrored speaker, offscreen: every
// switch says its state in words and colour, dB scales stand beside the faders and meters and
// agree with them, the temperature carries its unit, and the graphic equaliser's axis labels never
// touch or leave the view, however narrow the column. SKIN_SHOT_DIR names a folder for pictures
// of the panels at the sizes of a 1920 × 1080 window, for a look by eye.
#include <gtest/gtest.h>

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "protocol/PacketRecords.h"
#include "roomdesk/views/RoomdeskViews.h"
#include "tessel/Component.h"
#include "tessel_qt/QmlBridge.h"
#include "tests/speaker/SkinPanelFixture.h"

namespace
{

// Every item below `item` (depth first) for which `wanted` holds.
void collect(QQuickItem* item, const std::function<bool(QQuickItem*)>& wanted, std::vector<QQuickItem*>& out)
{
    if (wanted(item))
        out.push_back(item);
    for (QQuickItem* child : item->childItems())
        collect(child, wanted, out);
}

std::vector<QQuickItem*> named(QQuickItem* root, const QString& name)
{
    std::vector<QQuickItem*> out;
    collect(
        root, [&](QQuickItem* item) { return item->objectName() == name; }, out);
    return out;
}

// A scale's drawn levels: dB and y (in the scale's own coordinates), top to bottom.
struct Tick
{
    double db;
    double y;
};
std::vector<Tick> ticksOf(QQuickItem* scale)
{
    std::vector<Tick> ticks;
    for (const QVariant& tick : scale->property("shownTicks").toList())
    {
        const QVariantMap map = tick.toMap();
        ticks.push_back({map["db"].toDouble(), map["y"].toDouble()});
    }
    return ticks;
}
const Tick* tickAt(const std::vector<Tick>& ticks, double db)
{
    for (const Tick& tick : ticks)
        if (std::abs(tick.db - db) < 1e-6)
            return &tick;
    return nullptr;
}

// Checks that a scale reads downwards, keeps its texts apart and marks `required`.
void expectReadableScale(QQuickItem* scale, std::initializer_list<double> required)
{
    ASSERT_NE(scale, nullptr);
    const std::vector<Tick> ticks = ticksOf(scale);
    ASSERT_GE(ticks.size(), 3u) << scale->objectName().toStdString();
    for (size_t i = 1; i < ticks.size(); ++i)
    {
        EXPECT_LT(ticks[i].db, ticks[i - 1].db) << "the levels fall down the scale";
        EXPECT_GE(ticks[i].y - ticks[i - 1].y, 10.0) << "two levels' texts touch at " << ticks[i].db;
    }
    for (double db : required)
        EXPECT_NE(tickAt(ticks, db), nullptr)
            << scale->objectName().toStdString() << " lacks " << db << " dB";
    ASSERT_FALSE(named(scale, "scaleUnit").empty());
    QQuickItem* unit = named(scale, "scaleUnit")[0];
    EXPECT_EQ(unit->property("text").toString(), "dB");
    EXPECT_TRUE(unit->isVisible()) << scale->objectName().toStdString() << " hides its unit";
    for (const Tick& tick : ticks)
        EXPECT_TRUE(tick.y + 6 < unit->y() || tick.y - 6 > unit->y() + unit->height())
            << scale->objectName().toStdString() << ": the unit covers " << tick.db;
}

class InspectorLooks : public SpeakerTest::SkinPanelFixture
{
protected:
    QQuickItem* show(const QString& type, const QString& properties, int width = 760, int height = 760)
    {
        return SkinPanelFixture::show(type, properties, width, height);
    }
    QQuickItem* showTab(const char* tab, int width = 760, int height = 760)
    {
        QQuickItem* item = show(tab, QStringLiteral("speaker: \"%1\"").arg(speakerPath()), width, height);
        // The channel panel names the speaker's row of the speaker list, which these tests lack.
        SpeakerTest::skinWarnings().removeIf([](const QString& w) { return w == "Unresolved skin address: name "; });
        return item;
    }

    // Keeps a picture of the window as `name`.png in SKIN_SHOT_DIR, when that is set.
    void keepPicture(const char* name)
    {
        if (const char* dir = std::getenv("SKIN_SHOT_DIR"))
            window->grabWindow().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
    }
};

TEST_F(InspectorLooks, EverySwitchSaysItsStateInWordsAndColourAndNeverOnWhileOff)
{
    const QRegularExpression on(QStringLiteral("\\bON\\b"));
    int flipped = 0;
    for (const char* tab : {"SpeakerPanel", "PeqTab", "NotchTab", "GeqTab", "LimiterTab"})
    {
        SpeakerTest::skinWarnings().clear();
        QQuickItem* item = showTab(tab, 760, 900);
        ASSERT_NE(item, nullptr) << tab;
        std::vector<QQuickItem*> switches;
        collect(
            item, [](QQuickItem* i) { return i->property("toggle").toBool(); }, switches);
        ASSERT_FALSE(switches.empty()) << tab;
        for (QQuickItem* button : switches)
        {
            const std::string where =
                std::string(tab) + " \"" + button->property("text").toString().toStdString() + "\"";
            auto text = [&] { return button->property("shownText").toString(); };
            auto colour = [&] { return button->property("color").value<QColor>(); };
            const bool wasOn = button->property("checked").toBool();
            if (!wasOn)
            {
                EXPECT_FALSE(on.match(text()).hasMatch())
                    << where << " reads \"" << text().toStdString() << "\" while off";
            }
            if (!button->isEnabled())
                continue; // the solo of a speaker in no room
            const QString before = text();
            const QColor colourBefore = colour();
            QMetaObject::invokeMethod(button, "clicked");
            ASSERT_NE(button->property("checked").toBool(), wasOn) << where << " did not switch";
            EXPECT_FALSE(before.isEmpty() || text().isEmpty()) << where << " shows no text in one state";
            EXPECT_NE(text(), before) << where << " reads the same in both states";
            EXPECT_NE(colour(), colourBefore) << where << " looks the same in both states";
            if (wasOn)
            {
                EXPECT_FALSE(on.match(text()).hasMatch())
                    << where << " reads \"" << text().toStdString() << "\" while off";
            }
            QMetaObject::invokeMethod(button, "clicked");
            EXPECT_EQ(text(), before) << where << " back";
            ++flipped;
        }
        EXPECT_TRUE(SpeakerTest::skinWarnings().isEmpty()) << tab << ": " << SpeakerTest::skinWarnings().join("\n").toStdString();
    }
    EXPECT_GE(flipped, 20) << "the switches of the five tabs were found";

    // The parametric equaliser's all-bands switch, by its names.
    QQuickItem* item = showTab("PeqTab");
    ASSERT_NE(item, nullptr);
    QQuickItem* all = named(item, "eqAllOn").at(0);
    Tessel::IParameter* eqallon = param("line/ch1/eq/eqallon");
    ASSERT_NE(eqallon, nullptr);
    eqallon->setValue(Tessel::Variant(1), true);
    EXPECT_EQ(all->property("shownText").toString().toStdString(), "EQ ON");
    eqallon->setValue(Tessel::Variant(0), true);
    EXPECT_EQ(all->property("shownText").toString().toStdString(), "EQ OFF");
}

TEST_F(InspectorLooks, DbScalesStandBesideTheFadersAndMetersAndAgreeWithThem)
{
    QQuickItem* panel = showTab("SpeakerPanel", 300, 760);
    ASSERT_NE(panel, nullptr);

    // The volume fader: 0 dB and both ends of its range, the cap on the mark of its value.
    QQuickItem* faderScale = named(panel, "faderScale").at(0);
    expectReadableScale(faderScale, {10, 0, -84});
    QQuickItem* fader = faderScale->parentItem();
    Tessel::IParameter* volume = param("line/ch1/volume");
    for (double db : {0.0, -10.0, -20.0})
    {
        volume->setValue(Tessel::Variant(db), true);
        const std::vector<Tick> ticks = ticksOf(faderScale);
        const Tick* tick = tickAt(ticks, db);
        ASSERT_NE(tick, nullptr) << db;
        const double top = fader->property("trackTop").toDouble();
        const double travel = fader->property("trackHeight").toDouble();
        EXPECT_NEAR(tick->y, top + (1 - volume->getNormalized()) * travel, 0.5)
            << "the cap at " << db << " dB";
    }

    // The input meter: its scale marks the levels where the meter draws them (-12 dB is half way
    // up the meter's curve, not where a linear scale would put it).
    QQuickItem* inputScale = named(panel, "inputScale").at(0);
    expectReadableScale(inputScale, {0, -12, -72});
    QQuickItem* meter = named(panel, "inputMeter").at(0);
    const Tick* half = tickAt(ticksOf(inputScale), -12);
    ASSERT_NE(half, nullptr);
    const double meterTop = meter->mapToItem(inputScale, QPointF(0, 1)).y();
    const double meterTravel = meter->height() - 2;
    EXPECT_NEAR(half->y, meterTop + 0.5 * meterTravel, 1.0);

    // The four gain-reduction meters beside the limiter: 0 dB at the top, -12 dB at the bottom.
    QQuickItem* reduction = named(panel, "reductionScale").at(0);
    expectReadableScale(reduction, {0, -6, -12});
    EXPECT_EQ(named(panel, "reductionMeter").size(), 4u);

    QQuickItem* limiter = showTab("LimiterTab");
    ASSERT_NE(limiter, nullptr);
    expectReadableScale(named(limiter, "reductionScale").at(0), {0, -3, -6, -9, -12});

    // The graphic equaliser's bands share one scale, its 0 dB on the faders' centre line.
    QQuickItem* geq = showTab("GeqTab");
    ASSERT_NE(geq, nullptr);
    QQuickItem* geqScale = named(geq, "geqScale").at(0);
    expectReadableScale(geqScale, {12, 6, 0, -6, -12});
    const Tick* zero = tickAt(ticksOf(geqScale), 0);
    ASSERT_NE(zero, nullptr);
    const double travelTop = geqScale->property("travelTop").toDouble();
    const double travel = geqScale->property("travelHeight").toDouble();
    EXPECT_NEAR(zero->y, travelTop + travel / 2, 0.5);

    // The panels as a window of 1920 × 1080 shows them: the right column taller, the equaliser
    // tab over the centre wider; the scales keep their marks readable.
    ASSERT_NE(showTab("SpeakerPanel", 300, 1000), nullptr);
    expectReadableScale(named(shown, "faderScale").at(0), {10, 0, -84});
    keepPicture("speaker-1920");
    ASSERT_NE(showTab("LimiterTab", 1640, 1000), nullptr);
    keepPicture("limiter-1920");
    ASSERT_NE(showTab("GeqTab", 1640, 1000), nullptr);
    expectReadableScale(named(shown, "geqScale").at(0), {12, 6, 0, -6, -12});
    keepPicture("geq-1920");
    EXPECT_TRUE(SpeakerTest::skinWarnings().isEmpty()) << SpeakerTest::skinWarnings().join("\n").toStdString();
}

TEST_F(InspectorLooks, TheInputMetersColoursChangeAtTheLevelsItsScaleNames)
{
    QQuickItem* panel = showTab("SpeakerPanel", 300, 760);
    ASSERT_NE(panel, nullptr);
    QQuickItem* meter = named(panel, "inputMeter").at(0);
    QQuickItem* bar = named(meter, "meterBar").at(0);
    ASSERT_TRUE(bar->property("valid").toBool());
    // -6 dB: three quarters up the meter's curve, between the amber -12 dB and the red -3 dB.
    double position = 0;
    QMetaObject::invokeMethod(bar, "positionOf", Q_RETURN_ARG(double, position), Q_ARG(double, -6.0));
    ASSERT_NEAR(position, 0.75, 1e-3);
    speaker->getViewBallistics(0).push(float(position), 1000);
    platform.setTime(1000);
    speaker->idleTick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->property("drawnFill").toInt() > 0; }, 5000));
    const QPointF topOfLevel =
        meter->mapToScene(QPointF(meter->width() / 2, meter->height() - 1 - 0.74 * (meter->height() - 2)));
    const QPointF low =
        meter->mapToScene(QPointF(meter->width() / 2, meter->height() - 1 - 0.3 * (meter->height() - 2)));
    QImage image;
    ASSERT_TRUE(QTest::qWaitFor(
        [&]
        {
            image = window->grabWindow();
            return !image.isNull() && image.pixelColor(low.toPoint()) == QColor(0x4c, 0xd9, 0x64);
        },
        5000));
    EXPECT_EQ(image.pixelColor(topOfLevel.toPoint()), QColor(0xff, 0xb0, 0x20)) << "-6 dB is drawn amber";
}

TEST_F(InspectorLooks, GainReductionMetersHangToTheMarkOfTheOutputsReduction)
{
    QQuickItem* tab = showTab("LimiterTab");
    ASSERT_NE(tab, nullptr);
    std::vector<QQuickItem*> meters = named(tab, "reductionMeter");
    ASSERT_EQ(meters.size(), 4u);
    QQuickItem* second = named(meters[1], "meterBar").at(0);
    ASSERT_TRUE(second->property("valid").toBool());
    EXPECT_EQ(second->property("drawnFill").toInt(), 0) << "no reduction at rest";

    // 6 dB of peak gain reduction on output 2, as the speaker reports it.
    speaker->handleMeterValue(Vellaris::LK::kMeterKindGainReduction, 4, 1, float(std::pow(10.0, -6.0 / 20)),
                              1000);
    platform.setTime(1000);
    speaker->idleTick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return second->property("drawnFill").toInt() > 0; }, 5000));
    QQuickItem* scale = named(tab, "reductionScale").at(0);
    const Tick* six = tickAt(ticksOf(scale), -6);
    ASSERT_NE(six, nullptr);
    const double foot = second->mapToItem(scale, QPointF(0, 1 + second->property("drawnFill").toInt())).y();
    EXPECT_NEAR(foot, six->y, 1.5) << "the bar reaches the -6 dB mark";
    EXPECT_EQ(named(meters[0], "meterBar").at(0)->property("drawnFill").toInt(), 0)
        << "output 1 holds nothing back";
}

TEST_F(InspectorLooks, TheTemperatureShowsTheFormattersTextWithItsUnit)
{
    QQuickItem* panel = showTab("SpeakerPanel", 300, 760);
    ASSERT_NE(panel, nullptr);
    Tessel::IParameter* celsius = param("temperature_c");
    ASSERT_NE(celsius, nullptr);
    celsius->setValue(Tessel::Variant(17), true);
    QQuickItem* text = named(panel, "temperature").at(0);
    EXPECT_EQ(text->property("text").toString().toStdString(), celsius->toString());
    EXPECT_EQ(text->property("text").toString(), QStringLiteral("17 °C"));
}

// The axis labels of a graphic equaliser's response, as drawn: [x, right] of each frequency label.
std::vector<std::pair<double, double>> spans(const QVariantList& labels)
{
    std::vector<std::pair<double, double>> out;
    for (const QVariant& label : labels)
    {
        const QVariantMap map = label.toMap();
        out.push_back({map["x"].toDouble(), map["x"].toDouble() + map["width"].toDouble()});
    }
    return out;
}

TEST_F(InspectorLooks, GeqLabelsNeverTouchOrLeaveTheViewAtAnyWidth)
{
    // The master column at the design size (280 px), the equaliser tab there (740) and in a
    // window of 1920 × 1080.
    for (int width : {280, 740, 1640})
    {
        QQuickItem* bank =
            show("GeqBank", QStringLiteral("geq: \"%1/line/ch1/geq\"").arg(speakerPath()), width, 460);
        ASSERT_NE(bank, nullptr);
        QQuickItem* display = named(bank, "geqCurve").at(0);
        const auto frequencies = spans(display->property("frequencyLabels").toList());
        ASSERT_GE(frequencies.size(), 3u) << width;
        for (size_t i = 0; i < frequencies.size(); ++i)
        {
            EXPECT_GE(frequencies[i].first, 0) << width;
            EXPECT_LE(frequencies[i].second, display->width() + 0.5) << width;
            if (i > 0)
            {
                EXPECT_GE(frequencies[i].first - frequencies[i - 1].second, 4.0)
                    << width << ": labels " << i - 1 << " and " << i << " touch";
            }
        }
        const QVariantList first = display->property("frequencyLabels").toList();
        EXPECT_EQ(first.front().toMap()["text"].toString(), "20 Hz") << width;
        EXPECT_EQ(first.back().toMap()["text"].toString(), "20 kHz") << width;
        // The level axis reads -12 whole, inside the view.
        bool minus12 = false;
        for (const QVariant& label : display->property("levelLabels").toList())
        {
            const QVariantMap map = label.toMap();
            EXPECT_GE(map["x"].toDouble(), 0) << map["text"].toString().toStdString();
            EXPECT_LE(map["y"].toDouble() + map["height"].toDouble(), display->height());
            minus12 = minus12 || map["text"].toString() == "-12";
        }
        EXPECT_TRUE(minus12);

        // The bands' own labels below the faders: those shown never overlap on their row.
        std::vector<QRectF> shownBands;
        for (QQuickItem* label : named(bank, "bandLabel"))
            if (label->isVisible())
                shownBands.push_back(label->mapRectToScene(QRectF(0, 0, label->width(), label->height())));
        ASSERT_GE(shownBands.size(), 8u) << width;
        for (size_t i = 0; i < shownBands.size(); ++i)
            for (size_t j = i + 1; j < shownBands.size(); ++j)
                EXPECT_FALSE(shownBands[i].intersects(shownBands[j]))
                    << width << ": band labels " << i << ", " << j;
        EXPECT_TRUE(SpeakerTest::skinWarnings().isEmpty()) << SpeakerTest::skinWarnings().join("\n").toStdString();
    }
}

} // namespace
