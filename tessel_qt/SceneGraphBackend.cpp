#include "tessel_qt/SceneGraphBackend.h"

#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QtGui/qtguiglobal.h>

#if QT_CONFIG(opengl)
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#endif

namespace Tessel::Qt
{

bool isSoftwareRasterizer(const QString& rendererName)
{
    // The names drivers report for OpenGL done on the CPU ("llvmpipe (LLVM 15.0.6, 256 bits)").
    static const char* const kSoftwareNames[] = {
        "llvmpipe", "softpipe", "swrast", "software rasterizer", "mesa x11", "mesa offscreen",
        "gdi generic", "basic render driver",
    };
    for (const char* name : kSoftwareNames)
        if (rendererName.contains(QLatin1String(name), ::Qt::CaseInsensitive))
            return true;
    return false;
}

SceneGraphBackend chooseSceneGraphBackend(bool userChose, const QString& rendererName)
{
    if (userChose)
        return SceneGraphBackend::Default;
    // OpenGL emulated on the CPU draws the whole window again for every frame in which anything
    // moved (a meter is enough), which with a few meters running costs most of a core. Qt Quick's
    // software renderer repaints only the changed region, a few small rectangles per meter frame.
    if (rendererName.trimmed().isEmpty() || isSoftwareRasterizer(rendererName))
        return SceneGraphBackend::Software;
    return SceneGraphBackend::Default;
}

QString probeOpenGLRenderer()
{
#if QT_CONFIG(opengl)
    QOpenGLContext context;
    if (!context.create())
        return {};
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return {};
    const auto* name = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    QString renderer = name ? QString::fromLatin1(name) : QString();
    context.doneCurrent();
    return renderer;
#else
    return {};
#endif
}

SceneGraphBackend selectSceneGraphBackend()
{
    const bool userChose =
        !qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") || !qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND");
    // Only look at OpenGL when the answer matters: making a context loads the driver.
    const SceneGraphBackend backend =
        userChose ? SceneGraphBackend::Default : chooseSceneGraphBackend(false, probeOpenGLRenderer());
    if (backend == SceneGraphBackend::Software)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    return backend;
}

} // namespace Tessel::Qt
