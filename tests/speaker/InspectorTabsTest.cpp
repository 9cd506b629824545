// The inspector's equaliser and limiter tabs over a mirrored speaker, offscreen: every tab binds
// without a warning, the editors find their equalisers, and a text edited in place reaches the
// speaker on Enter and not on Escape.
#include <gtest/gtest.h>

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <cmath>
#include <memory>

#include "roomdesk/views/RoomdeskViews.h"
#include "tessel/Component.h"
#include "tessel/UndoHistory.h"
#include "tessel_qt/QmlBridge.h"
#include "tests/speaker/SkinPanelFixture.h"

namespace
{

class InspectorTabs : public SpeakerTest::SkinPanelFixture
{
protected:
    QQuickItem* show(const QString& type, const QString& properties)
    {
        return SkinPanelFixture::show(type, properties, 760, 620);
    }

    void type(const char* text)
    {
        for (const char* c = text; *c; ++c)
            QTest::keyClick(window.get(), *c);
    }
};

TEST_F(InspectorTabs, EveryTabBindsItsControlsWithoutAWarning)
{
    for (const char* tab : {"PeqTab", "NotchTab", "GeqTab", "LimiterTab"})
    {
        SpeakerTest::skinWarnings().clear();
        QQuickItem* item = show(tab, QStringLiteral("speaker: \"%1\"").arg(speakerPath()));
        ASSERT_NE(item, nullptr) << tab;
        EXPECT_TRUE(SpeakerTest::skinWarnings().isEmpty()) << tab << ": " << SpeakerTest::skinWarnings().join("\n").toStdString();
        if (QObject* editor = item->findChild<QObject*>("curveEditor"))
        {
            EXPECT_TRUE(editor->property("valid").toBool()) << tab;
            EXPECT_GE(editor->property("numBands").toInt(), 8) << tab;
        }
        else
            EXPECT_TRUE(std::string(tab) == "GeqTab" || std::string(tab) == "LimiterTab")
                << tab << " has no editor";
    }
}

TEST_F(InspectorTabs, TheBandInspectorFollowsTheBandSelectedOnTheCurve)
{
    QQuickItem* item = show("PeqTab", QStringLiteral("speaker: \"%1\"").arg(speakerPath()));
    ASSERT_NE(item, nullptr);
    QObject* editor = item->findChild<QObject*>("curveEditor");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->property("handleCount").toInt(), 8) << "the parametric bands only";
    editor->setProperty("currentBand", 5);
    EXPECT_EQ(composite()->getCurrentBand(), 5);
    // The type choice writes the band's type through "selectedType".
    QObject* choice = item->findChild<QObject*>("bandType");
    ASSERT_NE(choice, nullptr);
    EXPECT_TRUE(choice->property("visible").toBool());
    Tessel::IParameter* selectedType = composite()->findParameter("selectedType");
    selectedType->setValue(Tessel::Variant(0), true);
    EXPECT_EQ(eq()->getType(5), Filtra::FilterKind::kLowCut);
    EXPECT_TRUE(SpeakerTest::skinWarnings().isEmpty()) << SpeakerTest::skinWarnings().join("\n").toStdString();
}

TEST_F(InspectorTabs, ATextEditedInPlaceReachesTheSpeakerOnEnterAndNotOnEscape)
{
    QQuickItem* item =
        show("ParamTextEdit", QStringLiteral("base: \"%1\"; address: \"nickname\"").arg(speakerPath()));
    ASSERT_NE(item, nullptr);
    auto* input = item->findChild<QQuickItem*>("input");
    ASSERT_NE(input, nullptr);
    Tessel::IParameter* nickname = speaker->findParameter("nickname");
    network.clear();

    input->forceActiveFocus();
    type("Foyer");
    EXPECT_EQ(nickname->toString(), "") << "nothing is sent while typing";
    QTest::keyClick(window.get(), Qt::Key_Return);
    EXPECT_EQ(nickname->toString(), "Foyer");
    EXPECT_FALSE(network.sent.empty()) << "the edit travels to the speaker";
    EXPECT_FALSE(input->hasActiveFocus());

    network.clear();
    input->forceActiveFocus();
    type(" hall");
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(nickname->toString(), "Foyer");
    EXPECT_EQ(input->property("text").toString(), "Foyer") << "the typed text is dropped";
    EXPECT_TRUE(network.sent.empty());

    // The speaker renames it: the field follows again after the cancelled edit.
    nickname->setValue(Tessel::Variant("Balcony"), false);
    EXPECT_EQ(input->property("text").toString(), "Balcony");
}

// One kind of value editor: the form it lives on, the field's name there, the parameter behind
// it, a text to type and the value it reads as.
struct ValueEditor
{
    const char* form;
    const char* field;
    const char* path;
    const char* typed;
    double value;
};

class TypedValues : public InspectorTabs
{
protected:
    void SetUp() override
    {
        InspectorTabs::SetUp();
        Tessel::setUndoHistory(&history);
    }
    void TearDown() override
    {
        Tessel::setUndoHistory(nullptr);
        InspectorTabs::TearDown();
    }

    // The item named `name` below `root`, through the visual tree (a Repeater's rows included).
    static QQuickItem* findItem(QQuickItem* root, const QString& name)
    {
        for (QQuickItem* child : root->childItems())
        {
            if (child->objectName() == name)
                return child;
            if (QQuickItem* found = findItem(child, name))
                return found;
        }
        return nullptr;
    }
    // The centre of `item` in the window.
    QPoint centreOf(QQuickItem* item) const
    {
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    }
    // Selects all the editor holds and types `text` over it.
    void retype(const char* text)
    {
        QTest::keyClick(window.get(), Qt::Key_A, Qt::ControlModifier);
        type(text);
    }

    Tessel::UndoHistory history;
};

TEST_F(TypedValues, EveryValueEditorTakesATypedValueAsOneUndoStepAndRefusesABadOne)
{
    const ValueEditor editors[] = {
        {"SpeakerPanel", "faderValue", "line/ch1/volume", "-6", -6.0},
        {"SpeakerPanel", "delay", "line/ch1/delay", "12.5 ms", 12.5},
        {"SpeakerPanel", "threshold", "line/ch1/limit/threshold", "-6.5 dB", -6.5},
        {"LimiterTab", "release", "line/ch1/limit/release", "120 ms", 0.12},
        {"PeqTab", "bandFreq", "line/ch1/eq/eqfreq3", "1.2 kHz", 1200.0},
        {"PeqTab", "bandGain", "line/ch1/eq/eqgain3", "-6", -6.0},
        {"PeqTab", "bandQ", "line/ch1/eq/eqq3", "1.4", 1.4},
        {"NotchTab", "notchFreq2", "line/ch1/notch/notchfreq2", "2.5k", 2500.0},
        {"NotchTab", "notchGain2", "line/ch1/notch/notchgain2", "-12", -12.0},
        {"GeqTab", "geqBandValue", "line/ch1/geq/gain12", "+2.5", 2.5},
    };
    for (const ValueEditor& e : editors)
    {
        SCOPED_TRACE(std::string(e.form) + " " + e.field);
        SpeakerTest::skinWarnings().clear();
        QQuickItem* form = show(e.form, QStringLiteral("speaker: \"%1\"").arg(speakerPath()));
        ASSERT_NE(form, nullptr);
        composite()->setCurrentBand(2);
        // The graphic equaliser's field shows the band last pressed.
        for (QObject* child : form->findChildren<QObject*>())
            if (child->property("selectedBand").isValid())
                child->setProperty("selectedBand", 11);
        auto* value = findItem(form, e.field);
        ASSERT_NE(value, nullptr);
        auto* field = value->findChild<QQuickItem*>("valueField");
        auto* editor = value->findChild<QQuickItem*>("valueEditor");
        ASSERT_TRUE(field && editor);
        ASSERT_TRUE(QTest::qWaitFor([&] { return field->isVisible() && field->width() > 0; }, 2000));
        Tessel::IParameter* param = speaker->lookupParameter(e.path);
        ASSERT_NE(param, nullptr);
        param->setFlag(Tessel::ParamFlags::kUndoable, true);
        const double before = param->getValue().asDouble();
        const std::string beforeText = param->toString();
        const size_t steps = history.countUndoSteps();

        // A double click opens the editor with the value's text, all selected.
        QTest::mouseDClick(window.get(), Qt::LeftButton, Qt::NoModifier, centreOf(field));
        ASSERT_TRUE(editor->isVisible());
        EXPECT_TRUE(editor->hasActiveFocus());
        EXPECT_EQ(editor->property("selectedText").toString().toStdString(), beforeText);

        // A text that does not read is refused: the field is marked and says why, nothing changes.
        type("loud");
        QTest::keyClick(window.get(), Qt::Key_Return);
        EXPECT_TRUE(editor->isVisible()) << "the editor stays open for another try";
        EXPECT_TRUE(value->property("error").toString().startsWith("Cannot read \"loud\""))
            << value->property("error").toString().toStdString();
        EXPECT_EQ(field->property("border").value<QObject*>()->property("color").value<QColor>(),
                  QColor("#ff3b30"));
        EXPECT_DOUBLE_EQ(param->getValue().asDouble(), before);
        EXPECT_EQ(history.countUndoSteps(), steps);

        // The unit's own text is read, set in one gesture: one undo step.
        retype(e.typed);
        QTest::keyClick(window.get(), Qt::Key_Return);
        EXPECT_FALSE(editor->isVisible());
        EXPECT_EQ(value->property("error").toString(), QString());
        EXPECT_NEAR(param->getValue().asDouble(), e.value, 1e-4 * std::max(1.0, std::fabs(e.value)));
        EXPECT_FALSE(param->isFlag(Tessel::ParamFlags::kEditing));
        EXPECT_EQ(history.countUndoSteps(), steps + 1);
        ASSERT_TRUE(history.undo());
        EXPECT_NEAR(param->getValue().asDouble(), before, 1e-6);

        // Enter on the focused value opens it too; Escape drops what was typed.
        EXPECT_TRUE(field->hasActiveFocus()) << "the focus stays on the value";
        QTest::keyClick(window.get(), Qt::Key_Return);
        ASSERT_TRUE(editor->isVisible());
        retype(e.typed);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        EXPECT_FALSE(editor->isVisible());
        EXPECT_NEAR(param->getValue().asDouble(), before, 1e-6);
        // The panel's model name comes from the speaker list, which this fixture has not.
        SpeakerTest::skinWarnings().removeAll(QStringLiteral("Unresolved skin address: name "));
        EXPECT_TRUE(SpeakerTest::skinWarnings().isEmpty()) << SpeakerTest::skinWarnings().join("\n").toStdString();
        param->setFlag(Tessel::ParamFlags::kUndoable, false);
    }
}

TEST_F(TypedValues, TheWheelAndTheStepButtonsMoveOnTheUnitsGrid)
{
    QQuickItem* form = show("PeqTab", QStringLiteral("speaker: \"%1\"").arg(speakerPath()));
    ASSERT_NE(form, nullptr);
    composite()->setCurrentBand(2);
    eq()->setGain(2, 6.26f);
    eq()->setFreq(2, 257.2f);
    auto field = [&](const char* name)
    { return form->findChild<QQuickItem*>(name)->findChild<QQuickItem*>("valueField"); };
    auto button = [&](const char* name, const char* which)
    { return form->findChild<QQuickItem*>(name)->findChild<QQuickItem*>(which); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return field("bandGain")->width() > 0; }, 2000));

    QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, centreOf(button("bandGain", "stepUp")));
    EXPECT_FLOAT_EQ(eq()->getGain(2), 6.5f);
    QTest::mouseClick(window.get(), Qt::LeftButton, Qt::ShiftModifier,
                      centreOf(button("bandGain", "stepUp")));
    EXPECT_FLOAT_EQ(eq()->getGain(2), 6.6f);
    QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, centreOf(button("bandFreq", "stepUp")));
    EXPECT_FLOAT_EQ(eq()->getFreq(2), 265.0f) << "no 257.2 Hz + a 12th: the next clean value";
    EXPECT_EQ(param("line/ch1/eq/eqfreq3")->toString(), "265.0 Hz");

    // A wheel notch on the Q value: the next value of the Q list.
    eq()->setQ(2, 0.71f);
    const QPoint at = centreOf(field("bandQ"));
    QWheelEvent wheel(at, window->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window.get(), &wheel);
    EXPECT_FLOAT_EQ(eq()->getQ(2), 1.0f);
}

} // namespace
