#pragma once

#include <QQuickPaintedItem>
#include <vector>

#include "speaker/eq/BandResponse.h"
#include "tessel_qt/ViewLink.h"

namespace Vellaris
{

// QML type "GEQDisplay" (import Roomdesk 1.0): the overall response of a graphic equaliser, bound
// by the path of its component, which makes the view (IResponseView); dimmed while the equaliser
// is off.
//     GEQDisplay { component: panel.speaker + "/line/ch1/geq" }
class GeqDisplay : public QQuickPaintedItem
{
    Q_OBJECT
    Q_PROPERTY(QString component READ component WRITE setComponent NOTIFY bindingChanged)
    Q_PROPERTY(bool valid READ valid NOTIFY bindingChanged)

public:
    explicit GeqDisplay(QQuickItem* parent = nullptr);
    ~GeqDisplay() override;

    QString component() const { return componentPath; }
    void setComponent(const QString& path);
    bool valid() const { return link.isBound(); }
    void paint(QPainter* painter) override;

Q_SIGNALS:
    void bindingChanged();

private:
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
