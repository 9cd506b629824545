// Frame time of the response-curve editor while a handle is dragged: each frame moves the mouse,
// which changes the band (and sends it to the stand-in speaker), and renders the window. Runs
// offscreen unless a display is given (DISPLAY under Xvfb). Goal: every frame well under 16.7 ms,
// so the editor holds 60 frames per second.
#include <QGuiApplication>
#include <QQuickWindow>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "roomdesk/views/EqCurveItem.h"
#include "roomdesk/views/EqCurvePainter.h"
#include "bench/speaker/EqSpeaker.h"
#include "tessel/Component.h"

int main(int argc, char** argv)
{
    if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(10, std::atoi(argv[1])) : 600;

    EqBench::EqSpeaker eq;
    Tessel::getRootComponent()->addChild(eq.root.get());
    eq.root->retain(); // the tree's reference

    QQuickWindow window;
    window.resize(740, 330); // the PEQ tab's editor
    auto* editor = new Vellaris::CurveDisplay(window.contentItem());
    editor->setSize(QSizeF(740, 330));
    editor->setComponent(
        QString::fromStdString(eq.root->getName() + "/" + eq.speaker->getName() + "/compeq"));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window) || !editor->valid())
    {
        std::fprintf(stderr, "bench_curve_editor: the editor could not be shown\n");
        return 1;
    }

    const int band = 2;
    float hx = 0, hy = 0;
    editor->getGesture().getHandle(band, hx, hy);
    const QRectF plot = Vellaris::EqCurvePainter::plotRect(QRectF(0, 0, 740, 330), true);
    const QPoint start = QPointF(plot.left() + hx * plot.width(), plot.top() + hy * plot.height()).toPoint();
    QTest::mousePress(&window, Qt::LeftButton, {}, start);

    std::vector<double> times;
    times.reserve(size_t(frames));
    for (int frame = 0; frame < frames; ++frame)
    {
        // Back and forth over 200 px and up and down over 100 px.
        const int phase = frame % 400;
        const int dx = phase < 200 ? phase : 400 - phase;
        const QPoint at = start + QPoint(dx, -(dx / 2));
        const auto begin = std::chrono::steady_clock::now();
        QTest::mouseMove(&window, at);
        QImage shown = window.grabWindow(); // renders the frame now
        const auto end = std::chrono::steady_clock::now();
        if (shown.isNull())
        {
            std::fprintf(stderr, "bench_curve_editor: no frame rendered\n");
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(end - begin).count());
    }
    QTest::mouseRelease(&window, Qt::LeftButton, {}, start);

    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    const double mean = sum / double(times.size());
    const auto at = [&](double q)
    { return sorted[std::min(sorted.size() - 1, size_t(q * double(sorted.size())))]; };
    std::printf("curve editor 740x330, 16 bands, dragging band %d (%s, %s): %d frames\n", band + 1,
                qPrintable(QGuiApplication::platformName()),
                window.rendererInterface()->graphicsApi() == QSGRendererInterface::Software ? "software"
                                                                                            : "hardware API",
                frames);
    std::printf(
        "frame time: mean %.2f ms, median %.2f ms, p99 %.2f ms, max %.2f ms (%.0f frames/s at the mean)\n",
        mean, at(0.5), at(0.99), sorted.back(), 1000.0 / mean);
    std::printf("speaker side: %zu values sent\n", eq.network.sent.size());
    Tessel::getRootComponent()->removeChild(eq.root.get());
    return 0;
}
