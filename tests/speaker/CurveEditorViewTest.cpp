// The response-curve editor in a real (offscreen) window, driven by mouse events as a user drives
// it: a drag is exactly one edit gesture on the speaker's side, Shift+drag and the wheel change Q
// only, a double click resets the band, a click on empty plot selects nothing.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QQuickWindow>
#include <QTest>

#include <cmath>
#include <memory>

#include "roomdesk/views/EqCurveItem.h"
#include "roomdesk/views/EqCurvePainter.h"
#include "tessel/Component.h"
#include "tests/speaker/SpeakerTestSupport.h"

namespace
{

using SpeakerTest::EditCounter;

class QtEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "curve_editor_tests";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app.reset(); }
    std::unique_ptr<QGuiApplication> app;
};

const auto* environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

class CurveEditor : public SpeakerTest::SpeakerFixture
{
protected:
    void SetUp() override
    {
        SpeakerFixture::SetUp();
        // The editor finds its equaliser by path below the root, as the skin gives it.
        Tessel::getRootComponent()->addChild(root.get());
        root->retain(); // the tree's reference; the fixture keeps its own
        window = std::make_unique<QQuickWindow>();
        window->resize(700, 340);
        editor = new Vellaris::CurveDisplay(window->contentItem());
        editor->setSize(QSizeF(700, 340));
        editor->setComponent(QString::fromStdString(componentPath()));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(editor->valid()) << componentPath();
        ASSERT_EQ(editor->numBands(), 16);
    }
    void TearDown() override
    {
        window.reset();
        Tessel::getRootComponent()->removeChild(root.get());
    }

    std::string componentPath() const { return root->getName() + "/" + speaker->getName() + "/compeq"; }

    // Where band `band`'s handle lies in the window.
    QPoint handleOf(int band) const
    {
        float x = 0, y = 0;
        editor->getGesture().getHandle(band, x, y);
        const QRectF plot =
            Vellaris::EqCurvePainter::plotRect(QRectF(0, 0, editor->width(), editor->height()), true);
        return QPointF(plot.left() + x * plot.width(), plot.top() + y * plot.height()).toPoint();
    }

    std::unique_ptr<QQuickWindow> window;
    Vellaris::CurveDisplay* editor = nullptr; // owned by the window
};

TEST_F(CurveEditor, ADragIsOneEditGestureOnTheSpeakerSideAndMovesFrequencyAndGain)
{
    eq()->setType(2, Filtra::FilterKind::kPeaking);
    eq()->setActive(2, true);
    Tessel::AutoPtr<EditCounter> gain = new EditCounter(param("line/ch1/eq/eqgain3"));
    Tessel::AutoPtr<EditCounter> freq = new EditCounter(param("line/ch1/eq/eqfreq3"));
    Tessel::AutoPtr<EditCounter> q = new EditCounter(param("line/ch1/eq/eqq3"));
    const float startFreq = eq()->getFreq(2);
    // Notch band 3 lies on parametric band 3 by default; the PEQ tab offers only the parametric
    // handles, so the press finds the parametric band.
    editor->setHandleCount(8);
    network.clear();

    const QPoint start = handleOf(2);
    QTest::mousePress(window.get(), Qt::LeftButton, {}, start);
    EXPECT_TRUE(editor->dragging());
    EXPECT_EQ(editor->currentBand(), 2) << "the press selects the band";
    EXPECT_EQ(gain->begins, 1);
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(window.get(), start + QPoint(8 * step, -6 * step));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, start + QPoint(80, -60));
    EXPECT_FALSE(editor->dragging());

    for (EditCounter* counter : {gain.get(), freq.get(), q.get()})
    {
        EXPECT_EQ(counter->begins, 1);
        EXPECT_EQ(counter->ends, 1);
    }
    EXPECT_GT(eq()->getFreq(2), startFreq * 1.2f);
    EXPECT_GT(eq()->getGain(2), 3.0f);
    EXPECT_GT(sentValues("line/ch1/eq/eqgain3"), 0) << "the moves reached the speaker";
    EXPECT_EQ(sentValues("line/ch1/eq/eqq3"), 0) << "a plain drag leaves Q alone";
}

TEST_F(CurveEditor, ShiftDragAndTheWheelChangeOnlyQAndADoubleClickResetsTheBand)
{
    eq()->setType(4, Filtra::FilterKind::kPeaking);
    eq()->setGain(4, 6.0f);
    const float freq = eq()->getFreq(4);
    const float q = eq()->getQ(4);
    Tessel::AutoPtr<EditCounter> qCounter = new EditCounter(param("line/ch1/eq/eqq5"));

    const QPoint start = handleOf(4);
    QTest::mousePress(window.get(), Qt::LeftButton, Qt::ShiftModifier, start);
    QTest::mouseMove(window.get(), start + QPoint(40, -40));
    QTest::mouseRelease(window.get(), Qt::LeftButton, Qt::ShiftModifier, start + QPoint(40, -40));
    EXPECT_EQ(qCounter->begins, 1);
    EXPECT_EQ(qCounter->ends, 1);
    EXPECT_GT(eq()->getQ(4), q) << "up makes the band narrower";
    EXPECT_FLOAT_EQ(eq()->getFreq(4), freq);
    EXPECT_FLOAT_EQ(eq()->getGain(4), 6.0f);

    const float dragged = eq()->getQ(4);
    QWheelEvent wheel(QPointF(handleOf(4)), QPointF(window->mapToGlobal(handleOf(4))), QPoint(),
                      QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QGuiApplication::sendEvent(window.get(), &wheel);
    EXPECT_LT(eq()->getQ(4), dragged);
    EXPECT_FLOAT_EQ(eq()->getGain(4), 6.0f);

    QTest::mouseDClick(window.get(), Qt::LeftButton, {}, handleOf(4));
    EXPECT_FLOAT_EQ(eq()->getGain(4), float(param("line/ch1/eq/eqgain5")->getDefaultValue().asDouble()));
    EXPECT_FLOAT_EQ(eq()->getQ(4), float(param("line/ch1/eq/eqq5")->getDefaultValue().asDouble()));
    EXPECT_EQ(qCounter->begins, qCounter->ends) << "no gesture is left open";
}

TEST_F(CurveEditor, APressAwayFromEveryHandleStartsNoGesture)
{
    Tessel::AutoPtr<EditCounter> gain = new EditCounter(param("line/ch1/eq/eqgain1"));
    network.clear();
    // The plot's bottom-right corner, far from the handles on the 0 dB line.
    const QPoint corner(int(editor->width()) - 10, int(editor->height()) - 10);
    QTest::mousePress(window.get(), Qt::LeftButton, {}, corner);
    QTest::mouseMove(window.get(), corner - QPoint(100, 100));
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, corner - QPoint(100, 100));
    EXPECT_FALSE(editor->dragging());
    EXPECT_EQ(gain->begins, 0);
    EXPECT_EQ(editor->currentBand(), -1);
    EXPECT_TRUE(network.ofType(lknet::kPacketParamValue).empty());
}

} // namespace
