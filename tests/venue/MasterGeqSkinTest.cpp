// The room's master graphic equaliser in the main window at its design size, with a venue of real
// size open, offscreen: its frequency labels never touch, its level axis reads -12 whole, its band
// labels stay apart, and its switches say their state. SKIN_SHOT_DIR names a folder for a picture
// of the window (master.png), for a look by eye.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <vector>

#include "app/Roomdesk.h"
#include "roomdesk/views/RoomdeskViews.h"
#include "tessel/Component.h"
#include "tessel/IParameter.h"
#include "tessel/IWindowManager.h"
#include "tessel/Initializer.h"
#include "tessel/Platform.h"
#include "tessel_qt/QtPlatform.h"
#include "tests/common/LargeVenue.h"
#include "tests/common/QuickTestSupport.h"
#include "venue/VenueManager.h"

namespace
{

using namespace QuickTestSupport;

std::vector<QQuickItem*> named(QQuickItem* root, const QString& name)
{
    std::vector<QQuickItem*> out;
    std::function<void(QQuickItem*)> walk = [&](QQuickItem* item)
    {
        if (item->objectName() == name)
            out.push_back(item);
        for (QQuickItem* child : item->childItems())
            walk(child);
    };
    walk(root);
    return out;
}

TEST(MasterGeqSkin, TheMasterColumnReadsWholeAtTheDesignSizeWithTheBigVenueOpen)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string home = usePrivateHome("master-geq-skin-");
    ::setenv("LKNET_DISCOVERY_PORT", std::to_string(40000 + (::getpid() + 13) % 20000).c_str(), 1);
    LargeVenue::write(home);
    int argc = 1;
    char name[] = "master_geq_skin_tests";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    Tessel::runInitializers(); // the component model, for the rooms' master equalisers
    auto platform = std::make_unique<Tessel::Qt::QtPlatform>();
    Vellaris::registerRoomdeskViews();
    platform->setSkinUrl(QUrl::fromLocalFile(QStringLiteral(SKIN_DIR "/")));
    Tessel::setModuleIdentifier("roomdesk");
    qInstallMessageHandler(captureMessages);

    Vellaris::Roomdesk::createComponents();
    Tessel::Application* application = Tessel::Application::getApplication();
    application->initializeApplication();
    ASSERT_TRUE(application->startup());
    ASSERT_TRUE(Tessel::GetWindowManager()->openWindow("ApplicationWindow", application, true));
    auto* window = qobject_cast<QQuickWindow*>(platform->findForm("ApplicationWindow"));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    ASSERT_EQ(window->width(), 1024);
    ASSERT_EQ(window->height(), 748);

    const std::string entry =
        std::string("VenueManager/HistoryList/") + LargeVenue::kTitle + "_" + LargeVenue::kVenueID;
    Tessel::IParameter* load = Tessel::getRootComponent()->lookupParameter(entry + "/loadVenue");
    ASSERT_NE(load, nullptr) << entry;
    load->setValue(Tessel::Variant(1), true);
    QQuickItem* master = nullptr;
    ASSERT_TRUE(waitFor(
        [&]
        {
            std::vector<QQuickItem*> found = named(window->contentItem(), "masterGeq");
            master = found.empty() ? nullptr : found[0];
            return master && master->isVisible() && !named(master, "geqCurve").empty();
        }))
        << "the master column did not show";
    QTest::qWait(100);

    // The column's equaliser read whole at the window's current size.
    auto checkMaster = [&](const char* size)
    {
        SCOPED_TRACE(size);
        // The response above the faders, inside the window: its labels apart and whole.
        QQuickItem* curve = named(master, "geqCurve").at(0);
        const QRectF curveInWindow = curve->mapRectToScene(QRectF(0, 0, curve->width(), curve->height()));
        EXPECT_GE(curveInWindow.left(), 0);
        EXPECT_LE(curveInWindow.right(), window->width());
        const QVariantList frequencies = curve->property("frequencyLabels").toList();
        EXPECT_GE(frequencies.size(), 3);
        EXPECT_EQ(frequencies.front().toMap()["text"].toString(), "20 Hz");
        EXPECT_EQ(frequencies.back().toMap()["text"].toString(), "20 kHz");
        for (int i = 1; i < frequencies.size(); ++i)
        {
            const QVariantMap before = frequencies[i - 1].toMap();
            const QVariantMap label = frequencies[i].toMap();
            EXPECT_GT(label["x"].toDouble(), before["x"].toDouble() + before["width"].toDouble())
                << before["text"].toString().toStdString() << " touches "
                << label["text"].toString().toStdString();
            EXPECT_LE(label["x"].toDouble() + label["width"].toDouble(), curve->width());
        }
        bool minus12 = false;
        for (const QVariant& level : curve->property("levelLabels").toList())
        {
            const QVariantMap map = level.toMap();
            if (map["text"].toString() != "-12")
                continue;
            minus12 = true;
            EXPECT_GE(map["x"].toDouble(), 0) << "-12 is cut off on the left";
            EXPECT_LE(map["y"].toDouble() + map["height"].toDouble(), curve->height());
        }
        EXPECT_TRUE(minus12);

        // The band labels under the faders: apart, and drawn at full size (the bank is not shrunk).
        std::vector<QRectF> bands;
        for (QQuickItem* label : named(master, "bandLabel"))
            if (label->isVisible())
                bands.push_back(label->mapRectToScene(QRectF(0, 0, label->width(), label->height())));
        EXPECT_GE(bands.size(), 8u);
        for (size_t i = 0; i < bands.size(); ++i)
        {
            EXPECT_LE(bands[i].right(), window->width());
            for (size_t j = i + 1; j < bands.size(); ++j)
                EXPECT_FALSE(bands[i].intersects(bands[j]))
                    << "band labels " << i << " and " << j << " overlap";
        }
        EXPECT_DOUBLE_EQ(named(master, "bandLabel").at(0)->scale(), 1.0);
        QQuickItem* scale = named(master, "geqScale").at(0);
        EXPECT_GE(scale->property("shownTicks").toList().size(), 3);
    };
    checkMaster("1024 x 748");
    const char* shots = std::getenv("SKIN_SHOT_DIR");
    if (shots)
        window->grabWindow().save(QString::fromLocal8Bit(shots) + "/master.png");

    // The same at 1920 x 1080: the right column takes its share of the larger window, never less
    // than its design width, and still reads whole.
    window->setProperty("maximumWidth", 1920);
    window->setProperty("maximumHeight", 1080);
    window->setProperty("width", 1920);
    window->setProperty("height", 1080);
    const qreal columnWidth = master->width();
    ASSERT_TRUE(waitFor([&] { return window->width() == 1920 && window->height() == 1080; }));
    QTest::qWait(100);
    EXPECT_GE(master->width(), columnWidth);
    checkMaster("1920 x 1080");
    if (shots)
        window->grabWindow().save(QString::fromLocal8Bit(shots) + "/master-1920.png");

    // The master's on-switch says its state in words.
    QQuickItem* on = named(master, "geqOn").at(0);
    EXPECT_EQ(on->property("shownText").toString(), on->property("checked").toBool() ? "GEQ ON" : "GEQ OFF");

    // The offscreen platform has no window manager to tell of size limits; that is no fault of the skin.
    capturedWarnings().removeIf([](const QString& w) { return w.contains("propagateSizeHints"); });
    EXPECT_TRUE(capturedWarnings().isEmpty()) << capturedWarnings().join("\n").toStdString();

    window->close();
    application->shutdown();
    qInstallMessageHandler(nullptr);
    Tessel::destroyRootComponent();
    platform.reset();
    std::filesystem::remove_all(home);
}

} // namespace
