// The choice of Qt Quick's renderer: the software renderer where OpenGL runs on the CPU or is
// missing, Qt's own choice on a GPU and whenever the user named a backend.
#include <gtest/gtest.h>

#include <QQuickWindow>
#include <QSGRendererInterface>

#include "tessel_qt/SceneGraphBackend.h"

using Tessel::Qt::chooseSceneGraphBackend;
using Tessel::Qt::isSoftwareRasterizer;
using Tessel::Qt::SceneGraphBackend;

TEST(SceneGraphBackend, CpuRasterisersAreKnownByTheNamesTheirDriversReport)
{
    EXPECT_TRUE(isSoftwareRasterizer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(isSoftwareRasterizer("softpipe"));
    EXPECT_TRUE(isSoftwareRasterizer("Software Rasterizer"));
    EXPECT_TRUE(isSoftwareRasterizer("Mesa swrast"));
    EXPECT_TRUE(isSoftwareRasterizer("LLVMPIPE"));
    EXPECT_FALSE(isSoftwareRasterizer("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
    EXPECT_FALSE(isSoftwareRasterizer("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)"));
    EXPECT_FALSE(isSoftwareRasterizer(""));
}

TEST(SceneGraphBackend, SoftwareRendererOnlyWithoutAGpuAndWithoutTheUsersOwnChoice)
{
    EXPECT_EQ(chooseSceneGraphBackend(false, "llvmpipe (LLVM 15.0.6, 256 bits)"), SceneGraphBackend::Software);
    EXPECT_EQ(chooseSceneGraphBackend(false, ""), SceneGraphBackend::Software);
    EXPECT_EQ(chooseSceneGraphBackend(false, "Mesa Intel(R) UHD Graphics 620"), SceneGraphBackend::Default);
    // The user's QT_QUICK_BACKEND or QSG_RHI_BACKEND wins, whatever draws.
    EXPECT_EQ(chooseSceneGraphBackend(true, "llvmpipe (LLVM 15.0.6, 256 bits)"), SceneGraphBackend::Default);
    EXPECT_EQ(chooseSceneGraphBackend(true, ""), SceneGraphBackend::Default);
}

TEST(SceneGraphBackend, ABackendTheUserNamedIsLeftToQt)
{
    const QSGRendererInterface::GraphicsApi before = QQuickWindow::graphicsApi();
    qputenv("QSG_RHI_BACKEND", "opengl");
    EXPECT_EQ(Tessel::Qt::selectSceneGraphBackend(), SceneGraphBackend::Default);
    qunsetenv("QSG_RHI_BACKEND");
    EXPECT_EQ(QQuickWindow::graphicsApi(), before);
}
