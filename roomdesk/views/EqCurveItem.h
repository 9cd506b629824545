#pragma once

#include <QQuickPaintedItem>

#include "roomdesk/views/EqCurvePainter.h"
#include "speaker/CurveEditGesture.h"
#include "tessel_qt/ViewLink.h"

namespace Filtra
{
class EQComponent;
} // namespace Filtra

namespace Vellaris
{

// The equaliser curve views of the skin (import Roomdesk 1.0), bound by the path of an equaliser
// component, whose view factory makes the view of that name (answering IEqualiserView):
//     CurveDisplay { component: panel.speaker + "/compeq" }
// "CurveDisplay" is the response editor: drag a handle for frequency and gain (Shift+drag: Q), the
// wheel on a handle (or on the selected band) steps Q through its list, a double click returns the
// band to its defaults, a click selects it. Every drag is one edit gesture; dragged values land on
// twelfths of an octave and 0.5 dB (0.1 dB while Shift is held after the press). "CurveMicroDisplay" draws
// the summed curve only; "CurveSelectDisplay" is a row of band buttons that select the current band.
class EqCurveItem : public QQuickPaintedItem
{
    Q_OBJECT
    Q_PROPERTY(QString component READ component WRITE setComponent NOTIFY bindingChanged)
    Q_PROPERTY(bool valid READ valid NOTIFY bindingChanged)
    Q_PROPERTY(int numBands READ numBands NOTIFY changed)
    Q_PROPERTY(int currentBand READ currentBand WRITE setCurrentBand NOTIFY changed)
    Q_PROPERTY(bool dragging READ dragging NOTIFY changed)
    // The bands the editor offers handles for (a tab shows its own equaliser's bands over the
    // composite curve): firstHandle … firstHandle + handleCount − 1, numbered from 1; handleCount
    // −1 means every band from firstHandle on.
    Q_PROPERTY(int firstHandle READ firstHandle WRITE setFirstHandle NOTIFY handlesChanged)
    Q_PROPERTY(int handleCount READ handleCount WRITE setHandleCount NOTIFY handlesChanged)

public:
    enum class Mode
    {
        kEditor,
        kMicro,
        kSelect,
    };

    explicit EqCurveItem(Mode mode, QQuickItem* parent = nullptr);
    ~EqCurveItem() override;

    QString component() const { return componentPath; }
    void setComponent(const QString& path);
    bool valid() const;
    int numBands() const;
    int currentBand() const;
    void setCurrentBand(int band);
    bool dragging() const { return gesture.isDragging(); }
    int firstHandle() const { return handleFirst; }
    void setFirstHandle(int band);
    int handleCount() const { return handles; }
    void setHandleCount(int count);
    // Whether `band` has a handle in this editor.
    bool hasHandle(int band) const;
    // The bound equaliser (borrowed), for tests and benchmarks.
    Filtra::EQComponent* getEqualiser() const;
    Filtra::CurveEditGesture& getGesture() { return gesture; }

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void bindingChanged();
    void changed();
    void handlesChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseUngrabEvent() override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void rebind();
    QRectF plot() const;
    // The band under a point of the item, −1 when none.
    int bandAt(const QPointF& point) const;
    QPointF toPlot(const QPointF& point) const;
    void paintSelector(QPainter& painter);

    Mode mode;
    QString componentPath;
    Tessel::Qt::ViewLink view;
    Filtra::CurveEditGesture gesture;
    EqCurvePainter painter;
    int handleFirst = 0;
    int handles = -1;
};

// QML type "CurveDisplay": the response editor.
class CurveDisplay : public EqCurveItem
{
    Q_OBJECT
public:
    explicit CurveDisplay(QQuickItem* parent = nullptr) : EqCurveItem(Mode::kEditor, parent) {}
};

// QML type "CurveMicroDisplay": the summed curve, small, without handles.
class CurveMicroDisplay : public EqCurveItem
{
    Q_OBJECT
public:
    explicit CurveMicroDisplay(QQuickItem* parent = nullptr) : EqCurveItem(Mode::kMicro, parent) {}
};

// QML type "CurveSelectDisplay": one button per band; a click selects the band.
class CurveSelectDisplay : public EqCurveItem
{
    Q_OBJECT
public:
    explicit CurveSelectDisplay(QQuickItem* parent = nullptr) : EqCurveItem(Mode::kSelect, parent) {}
};

} // namespace Vellaris
