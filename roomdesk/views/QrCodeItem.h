#pragma once

#include <QColor>
#include <QQuickPaintedItem>
#include <QString>

#include "roomdesk/views/QrCode.h"

namespace Vellaris
{

// QML type "QrCode" (import Roomdesk 1.0): the QR code of `text`, for a phone's camera to read off
// the screen.
//     QrCode { text: "http://192.168.1.20:8080/"; width: 180; height: 180 }
// Dark modules on a light square that keeps the quiet zone a reader needs on every side. Every
// module is the same whole number of pixels, the largest that fits the item, so the code stays
// crisp at any size; the code is centred in the item. Nothing is drawn for an empty text or one
// too long for a code (`modules` is 0 then).
class QrCodeItem : public QQuickPaintedItem
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    // Modules on each side of the code (21 for the smallest), 0 while nothing is drawn.
    Q_PROPERTY(int modules READ modules NOTIFY textChanged)
    // Pixels per module at the item's present size (0 while nothing is drawn).
    Q_PROPERTY(int modulePixels READ modulePixels NOTIFY layoutChanged)
    Q_PROPERTY(QColor darkColor MEMBER darkColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor lightColor MEMBER lightColor NOTIFY colorsChanged)

public:
    explicit QrCodeItem(QQuickItem* parent = nullptr);

    QString text() const { return shownText; }
    void setText(const QString& text);
    int modules() const { return matrix.size; }
    int modulePixels() const;

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void textChanged();
    void layoutChanged();
    void colorsChanged();

protected:
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    QString shownText;
    QrMatrix matrix;
    QColor darkColor{0, 0, 0};
    QColor lightColor{255, 255, 255};
};

} // namespace Vellaris
