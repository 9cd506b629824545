// The inspector's equaliser and limiter tabs over a mirrored speaker, offscreen: every tab binds
// without a warning, the editors find their equalisers, and a text edited in place reaches the
// speaker on Enter and not on Escape.
#include <gtest/gtest.h>

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <memory>

#include "roomdesk/views/RoomdeskViews.h"
#include "tessel/Component.h"
#include "tessel_qt/QmlBridge.h"
#include "tests/speaker/SpeakerTestSupport.h"

namespace
{

QStringList& warnings()
{
    static QStringList list;
    return list;
}

void captureWarnings(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        warnings().append(text);
}

class InspectorTabs : public SpeakerTest::SpeakerFixture
{
protected:
    void SetUp() override
    {
        SpeakerFixture::SetUp();
        Tessel::getRootComponent()->addChild(root.get());
        root->retain(); // the tree's reference; the fixture keeps its own
        static bool registered = false;
        if (!registered)
        {
            Tessel::Qt::registerQmlTypes();
            Vellaris::registerRoomdeskViews();
            registered = true;
        }
        engine = std::make_unique<QQmlEngine>();
        warnings().clear();
        qInstallMessageHandler(captureWarnings);
    }
    void TearDown() override
    {
        qInstallMessageHandler(nullptr);
        window.reset();
        engine.reset();
        Tessel::getRootComponent()->removeChild(root.get());
    }

    QString speakerPath() const { return QString::fromStdString(root->getName() + "/" + speaker->getName()); }

    // Makes `type { properties }` from the skin in a window of its own.
    QQuickItem* show(const QString& type, const QString& properties)
    {
        QQmlComponent component(engine.get());
        const QString source =
            QStringLiteral("import QtQuick\nimport \"file://%1\"\n%2 { width: 760; height: "
                           "620; %3 }\n")
                .arg(QStringLiteral(SKIN_DIR), type, properties);
        component.setData(source.toUtf8(), QUrl(QStringLiteral("memory:/tab.qml")));
        (void)QTest::qWaitFor([&] { return !component.isLoading(); }, 10000);
        auto* item = qobject_cast<QQuickItem*>(component.create());
        if (!item)
        {
            ADD_FAILURE() << component.errorString().toStdString();
            return nullptr;
        }
        window = std::make_unique<QQuickWindow>();
        window->resize(760, 620);
        item->setParentItem(window->contentItem());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return item;
    }

    void type(const char* text)
    {
        for (const char* c = text; *c; ++c)
            QTest::keyClick(window.get(), *c);
    }

    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<QQuickWindow> window;
};

TEST_F(InspectorTabs, EveryTabBindsItsControlsWithoutAWarning)
{
    for (const char* tab : {"PeqTab", "NotchTab", "GeqTab", "LimiterTab"})
    {
        warnings().clear();
        QQuickItem* item = show(tab, QStringLiteral("speaker: \"%1\"").arg(speakerPath()));
        ASSERT_NE(item, nullptr) << tab;
        EXPECT_TRUE(warnings().isEmpty()) << tab << ": " << warnings().join("\n").toStdString();
        if (QObject* editor = item->findChild<QObject*>("curveEditor"))
        {
            EXPECT_TRUE(editor->property("valid").toBool()) << tab;
            EXPECT_GE(editor->property("numBands").toInt(), 8) << tab;
        }
        else
            EXPECT_TRUE(std::string(tab) == "GeqTab" || std::string(tab) == "LimiterTab")
                << tab << " has no editor";
        delete item;
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
    EXPECT_TRUE(warnings().isEmpty()) << warnings().join("\n").toStdString();
    delete item;
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
    delete item;
}

} // namespace
