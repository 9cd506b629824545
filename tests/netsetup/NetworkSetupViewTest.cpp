// The Wi-Fi setup view, offscreen: the list of networks, the password popup with its keys, and
// the join that reaches every speaker.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <memory>

#include "netsetup/NetworkSetupManager.h"
#include "protocol/MessageNames.h"
#include "roomdesk/views/RoomdeskViews.h"
#include "speaker/SpeakerClasses.h"
#include "speaker/SpeakerComponent.h"
#include "speaker/SpeakerNetworkItem.h"
#include "speaker/SpeakerNetworkManager.h"
#include "tessel/IParameter.h"
#include "tessel/ListParam.h"
#include "tessel/Platform.h"
#include "tessel_qt/QtPlatform.h"
#include "tests/common/FakeLibrary.h"

namespace
{

using Vellaris::NetworkSetupManager;

QStringList& warnings()
{
    static QStringList captured;
    return captured;
}

void capture(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        warnings().append(text);
}

class NetworkSetupView : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "netsetup_view_tests";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
        platform = std::make_unique<Tessel::Qt::QtPlatform>();
        Vellaris::registerRoomdeskViews();
        ASSERT_TRUE(Vellaris::registerSpeakerClasses());
    }
    static void TearDownTestSuite()
    {
        Tessel::destroyRootComponent();
        platform.reset();
        app.reset();
    }

    void SetUp() override
    {
        setup = NetworkSetupManager::create();
        speakers = new Vellaris::SpeakerNetworkManager(&library);
        Tessel::getRootComponent()->addChild(speakers);
        speakers->startup();
        for (int server : {1, 2})
        {
            library.setDevice(server, "127.0.0.1", "", uint16_t(4000 + server));
            library.announce(server, "TX10A", "SPK", std::to_string(server).c_str());
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return speakers->countSpeakers() == 2; }, 5000));
        report(0, {"Home<&#&>75<&#&>locked", "Cafe<&#&>40<&#&>open", "Far<&#&>10<&#&>open"});
        report(1, {"Home<&#&>80<&#&>locked", "Cafe<&#&>90<&#&>open"});
        setup->rebuildList();

        warnings().clear();
        qInstallMessageHandler(capture);
        QQmlComponent component(platform->getEngine());
        component.setData("import QtQuick\nimport QtQuick.Window\nimport \"file:" SKIN_DIR "\"\n"
                          "Window { width: 700; height: 500; visible: true\n"
                          "  NetworkSetupView { anchors.fill: parent } }",
                          QUrl(QStringLiteral("memory:/view.qml")));
        (void)QTest::qWaitFor([&] { return !component.isLoading(); }, 10000);
        window.reset(qobject_cast<QQuickWindow*>(component.create()));
        ASSERT_TRUE(window) << component.errorString().toStdString();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override
    {
        window.reset();
        qInstallMessageHandler(nullptr);
        Tessel::getRootComponent()->removeChild(speakers);
        Tessel::getRootComponent()->removeChild(setup);
        QCoreApplication::processEvents();
    }

    void report(int index, const std::vector<std::string>& entries)
    {
        Tessel::IParameter* list =
            speakers->getSpeaker(index)->getSpeakerComponent()->findParameter("networklist");
        dynamic_cast<Tessel::ListParam*>(list->getOriginal())->setEntries(entries);
    }
    QQuickItem* item(const char* name) const { return window->findChild<QQuickItem*>(name); }
    bool popupShown() const { return setup->findParameter("showPassword")->getValue().asInt() != 0; }
    int joinRequests() const
    {
        int count = 0;
        for (const auto& message : library.messages)
            count += message.messageId() == Vellaris::LK::Message::kRequestNetworkChange;
        return count;
    }
    // Clicks the row `row` of the list (rows are 40 px high, 1 px apart).
    void clickRow(int row)
    {
        QQuickItem* list = item("wifiList");
        QPointF at = list->mapToScene(QPointF(100, row * 41 + 20));
        QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, at.toPoint());
    }

    static inline std::unique_ptr<QGuiApplication> app;
    static inline std::unique_ptr<Tessel::Qt::QtPlatform> platform;
    NetworkTest::FakeLibrary library;
    NetworkSetupManager* setup = nullptr;
    Vellaris::SpeakerNetworkManager* speakers = nullptr;
    std::unique_ptr<QQuickWindow> window;
};

TEST_F(NetworkSetupView, ListsTheNetworksAndASecuredOneJoinsWithEnter)
{
    QQuickItem* list = item("wifiList");
    ASSERT_TRUE(list);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->property("count").toInt() == 3; }, 5000));
    EXPECT_TRUE(warnings().isEmpty()) << warnings().join("\n").toStdString();

    clickRow(0); // "Home", common and secured, weakest report 75
    ASSERT_TRUE(QTest::qWaitFor([&] { return popupShown(); }, 2000));
    EXPECT_EQ(setup->getJoinSsid(), "Home");
    QQuickItem* input = item("passwordInput");
    ASSERT_TRUE(input);
    ASSERT_TRUE(QTest::qWaitFor([&] { return input->hasActiveFocus(); }, 2000))
        << "the field of a secured network takes the keys";
    EXPECT_EQ(input->property("echoMode").toInt(), 2) << "dots while hidden";

    for (char c : std::string("s3cret"))
        QTest::keyClick(window.get(), c);
    EXPECT_EQ(input->property("text").toString(), QStringLiteral("s3cret"));
    EXPECT_EQ(setup->getJoinPassword(), "") << "the typed text stays in the field until the join";
    QTest::keyClick(window.get(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !popupShown(); }, 2000));
    EXPECT_EQ(joinRequests(), 2);
    for (const auto& message : library.messages)
        if (message.messageId() == Vellaris::LK::Message::kRequestNetworkChange)
            EXPECT_EQ(message.getText(Vellaris::LK::Message::kRequestNetworkPw), "s3cret");
    EXPECT_EQ(setup->getJoinPassword(), "");
    EXPECT_EQ(input->property("text").toString(), QString());
    QQuickItem* message = item("joinMessage");
    ASSERT_TRUE(message);
    EXPECT_TRUE(QTest::qWaitFor([&] { return message->isVisible(); }, 2000));
}

TEST_F(NetworkSetupView, EscapeCancelsWithoutSending)
{
    QQuickItem* list = item("wifiList");
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->property("count").toInt() == 3; }, 5000));
    clickRow(1); // "Cafe", open
    ASSERT_TRUE(QTest::qWaitFor([&] { return popupShown(); }, 2000));
    EXPECT_EQ(setup->getJoinSsid(), "Cafe");
    QQuickItem* popup = item("passwordPopup");
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->hasActiveFocus(); }, 2000));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !popupShown(); }, 2000));
    EXPECT_EQ(joinRequests(), 0);
    EXPECT_EQ(setup->getJoinSsid(), "Cafe");
}

TEST_F(NetworkSetupView, AJoinNotEverySpeakerCanFollowIsAskedFirstAndTheBannerCountsWhoCameBack)
{
    QQuickItem* list = item("wifiList");
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->property("count").toInt() == 3; }, 5000));
    clickRow(2); // "Far", open, seen by the first speaker only
    ASSERT_TRUE(QTest::qWaitFor([&] { return popupShown(); }, 2000));
    ASSERT_EQ(setup->getJoinSsid(), "Far");
    QQuickItem* popup = item("passwordPopup");
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->hasActiveFocus(); }, 2000));

    QTest::keyClick(window.get(), Qt::Key_Return);
    QQuickItem* question = item("joinConfirmation");
    ASSERT_TRUE(question);
    ASSERT_TRUE(QTest::qWaitFor([&] { return question->isVisible(); }, 2000));
    EXPECT_EQ(item("joinConfirmationText")->property("text").toString(),
              QStringLiteral("1 of 2 speakers see Far; the others will stay on the wired network"));
    EXPECT_EQ(joinRequests(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return question->hasActiveFocus(); }, 2000))
        << "the question takes the keys";

    // Escape goes back to the popup, which has the keys again.
    QTest::keyClick(window.get(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !question->isVisible(); }, 2000));
    EXPECT_TRUE(popupShown());
    EXPECT_EQ(joinRequests(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->hasActiveFocus(); }, 2000));

    // Asked again, Enter sends.
    QTest::keyClick(window.get(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return question->isVisible(); }, 2000));
    QTest::keyClick(window.get(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return joinRequests() == 2; }, 2000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !popupShown() && !question->isVisible(); }, 2000));

    QQuickItem* banner = item("joinMessage");
    ASSERT_TRUE(QTest::qWaitFor([&] { return banner->isVisible(); }, 2000));
    // The second speaker leaves and comes back on the new network.
    library.withdraw(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return speakers->countSpeakers() == 1; }, 5000));
    library.announce(2, "TX10A", "SPK", "2");
    QQuickItem* text = item("joinMessageText");
    EXPECT_TRUE(QTest::qWaitFor(
        [&]
        {
            return text->property("text").toString() ==
                   QStringLiteral("Speakers joining network: Far ... 1 of 2 joined");
        },
        5000))
        << text->property("text").toString().toStdString();
    EXPECT_TRUE(warnings().isEmpty()) << warnings().join("\n").toStdString();
}

TEST_F(NetworkSetupView, APasswordOutsideAsciiIsRefusedOnScreenAndCanBeCorrected)
{
    QQuickItem* list = item("wifiList");
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->property("count").toInt() == 3; }, 5000));
    clickRow(0); // "Home", secured, seen by both
    ASSERT_TRUE(QTest::qWaitFor([&] { return popupShown(); }, 2000));
    QQuickItem* input = item("passwordInput");
    ASSERT_TRUE(QTest::qWaitFor([&] { return input->hasActiveFocus(); }, 2000));
    for (QChar c : QStringLiteral("caf\u00e9"))
        QTest::sendKeyEvent(QTest::Click, window.get(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    ASSERT_EQ(input->property("text").toString(), QStringLiteral("caf\u00e9"));
    QTest::keyClick(window.get(), Qt::Key_Return);

    QQuickItem* error = item("joinError");
    ASSERT_TRUE(error);
    ASSERT_TRUE(QTest::qWaitFor([&] { return error->isVisible(); }, 2000));
    EXPECT_TRUE(error->property("text").toString().contains(QStringLiteral("ASCII")));
    EXPECT_EQ(joinRequests(), 0) << "nothing reaches the speakers";
    EXPECT_TRUE(popupShown());
    EXPECT_EQ(input->property("text").toString(), QStringLiteral("caf\u00e9")) << "kept to be corrected";

    QTest::keyClick(window.get(), Qt::Key_Backspace);
    QTest::keyClick(window.get(), 'e');
    QTest::keyClick(window.get(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return joinRequests() == 2; }, 2000));
    for (const auto& message : library.messages)
    {
        if (message.messageId() != Vellaris::LK::Message::kRequestNetworkChange)
            continue;
        EXPECT_EQ(message.getText(Vellaris::LK::Message::kRequestNetworkPw), "cafe");
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !popupShown(); }, 2000));
    EXPECT_TRUE(warnings().isEmpty()) << warnings().join("\n").toStdString();
}

} // namespace
