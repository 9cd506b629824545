#pragma once

#include <QFont>
#include <QQuickPaintedItem>
#include <QRectF>
#include <QString>
#include <QVariantList>
#include <vector>

#include "speaker/eq/BandResponse.h"
#include "tessel_qt/ViewLink.h"

namespace Vellaris
{

// QML type "GEQDisplay" (import Roomdesk 1.0): the overall response of a graphic equaliser, bound
// by the path of its component, which makes the view (IResponseView); dimmed while the equaliser
// is off. The level axis on the left reads -12 … +12 dB; the frequency axis above labels as many
// of its grid lines as fit the width without two labels touching (20 Hz, 20 kHz and 1 kHz first).
//     GEQDisplay { component: panel.speaker + "/line/ch1/geq" }
class GeqDisplay : public QQuickPaintedItem
{
    Q_OBJECT
    Q_PROPERTY(QString component READ component WRITE setComponent NOTIFY bindingChanged)
    Q_PROPERTY(bool valid READ valid NOTIFY bindingChanged)
    // The axis labels as drawn at the item's size (for tests): [{text, x, y, width, height}].
    Q_PROPERTY(QVariantList frequencyLabels READ frequencyLabels)
    Q_PROPERTY(QVariantList levelLabels READ levelLabels)

public:
    explicit GeqDisplay(QQuickItem* parent = nullptr);
    ~GeqDisplay() override;

    QString component() const { return componentPath; }
    void setComponent(const QString& path);
    bool valid() const { return link.isBound(); }
    void paint(QPainter* painter) override;
    QVariantList frequencyLabels() const;
    QVariantList levelLabels() const;

Q_SIGNALS:
    void bindingChanged();

public:
    // An axis label and where it is drawn.
    struct Label
    {
        QString text;
        QRectF box;
    };

private:
    // The plot and its axis labels at the item's current size.
    struct Layout
    {
        QFont font;
        QRectF plot;
        std::vector<float> lines; // frequency grid lines
        std::vector<Label> frequencies;
        std::vector<Label> levels;
        std::vector<float> levelValues;
    };
    Layout layout() const;
    void rebind();

    QString componentPath;
    Tessel::Qt::ViewLink link;
    Filtra::ResponseGrid grid;
    std::vector<float> curve;
};

// QML types "GEQCurveDisplay" and "GEQBandDisplay": a sentence centred in the item, in the skin's
// font. They stand in for views the graphic equaliser tab draws itself.
class GeqPlaceholder : public QQuickPaintedItem
{
    Q_OBJECT
public:
    GeqPlaceholder(const char* text, QQuickItem* parent);
    void paint(QPainter* painter) override;

private:
    QString text;
};

class GEQCurveDisplay : public GeqPlaceholder
{
    Q_OBJECT
public:
    explicit GEQCurveDisplay(QQuickItem* parent = nullptr)
        : GeqPlaceholder("This is the GEQ Curve Display", parent)
    {
    }
};

class GEQBandDisplay : public GeqPlaceholder
{
    Q_OBJECT
public:
    explicit GEQBandDisplay(QQuickItem* parent = nullptr)
        : GeqPlaceholder("This is the GEQ Band Display", parent)
    {
    }
};

} // namespace Vellaris
