#pragma once

// The skin's inspector panels over a mirrored speaker, offscreen: a speaker fixture whose tree
// hangs below the root component, a QML engine of its own, a window per shown panel, and the Qt
// warnings captured for the test to read.

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

namespace SpeakerTest
{

// The warnings Qt gave since the fixture's last clear.
inline QStringList& skinWarnings()
{
    static QStringList list;
    return list;
}

inline void captureSkinWarnings(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        skinWarnings().append(text);
}

class SkinPanelFixture : public SpeakerFixture
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
        skinWarnings().clear();
        qInstallMessageHandler(captureSkinWarnings);
    }
    void TearDown() override
    {
        qInstallMessageHandler(nullptr);
        delete shown;
        window.reset();
        engine.reset();
        Tessel::getRootComponent()->removeChild(root.get());
    }

    QString speakerPath() const { return QString::fromStdString(root->getName() + "/" + speaker->getName()); }

    // Makes `type { properties }` from the skin, `width` × `height`, in a window of its own (the
    // one shown before goes).
    QQuickItem* show(const QString& type, const QString& properties, int width, int height)
    {
        delete shown;
        shown = nullptr;
        window.reset();
        QQmlComponent component(engine.get());
        const QString source =
            QStringLiteral("import QtQuick\nimport \"file://%1\"\n%2 { width: %3; height: %4; %5 }\n")
                .arg(QStringLiteral(SKIN_DIR), type)
                .arg(width)
                .arg(height)
                .arg(properties);
        component.setData(source.toUtf8(), QUrl(QStringLiteral("memory:/panel.qml")));
        (void)QTest::qWaitFor([&] { return !component.isLoading(); }, 10000);
        shown = qobject_cast<QQuickItem*>(component.create());
        if (!shown)
        {
            ADD_FAILURE() << component.errorString().toStdString();
            return nullptr;
        }
        window = std::make_unique<QQuickWindow>();
        window->resize(width, height);
        shown->setParentItem(window->contentItem());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return shown;
    }

    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<QQuickWindow> window;
    QQuickItem* shown = nullptr;
};

} // namespace SpeakerTest
