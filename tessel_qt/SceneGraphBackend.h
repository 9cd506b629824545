#pragma once

#include <QString>

namespace Tessel::Qt
{

// How Qt Quick draws the windows of the product.
enum class SceneGraphBackend
{
    Default,  // Qt's own choice (OpenGL on a desktop)
    Software, // Qt Quick's software renderer
};

// Whether an OpenGL renderer name (as the driver reports it) is a rasteriser that runs on the CPU
// rather than a GPU. Matching ignores case.
bool isSoftwareRasterizer(const QString& rendererName);

// The backend for the windows: Software when the only OpenGL is a CPU rasteriser or when there is
// none (`rendererName` empty), else Default. `userChose` (QT_QUICK_BACKEND or QSG_RHI_BACKEND set)
// always keeps Default, so Qt follows the user's setting.
SceneGraphBackend chooseSceneGraphBackend(bool userChose, const QString& rendererName);

// The renderer name of the OpenGL the platform offers, read from a short-lived context; "" when no
// OpenGL context can be made. Needs the QGuiApplication.
QString probeOpenGLRenderer();

// Makes the choice above for this process and applies it; call after the QGuiApplication exists
// and before the first Qt Quick window. Returns the backend chosen.
SceneGraphBackend selectSceneGraphBackend();

} // namespace Tessel::Qt
