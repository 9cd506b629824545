#pragma once

#include <QObject>
#include <QTimer>

#include "tessel/qt/ViewLink.h"

namespace Vellaris
{

// QML type "MeterDisplay" (import Roomdesk 1.0): one meter view of a speaker ("MeterDisplay0" for
// the input, 1 to 4 for the outputs' gain reduction), made by the speaker's view factory and read
// after every move of its ballistics.
//     MeterDisplay { speaker: "SpeakerNetwork/123456789//Speaker"; index: 0 }
// `level` and `peak` are positions 0..1 along the meter's scale, `levelDb` and `peakDb` decibels.
// `changed` is emitted at most once per frame of the screen: a move within a frame after the last
// emission waits for the frame's end and is then read at its newest.
class MeterDisplay : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString speaker READ speaker WRITE setSpeaker NOTIFY bindingChanged)
    Q_PROPERTY(int index READ index WRITE setIndex NOTIFY bindingChanged)
    Q_PROPERTY(bool valid READ valid NOTIFY bindingChanged)
    Q_PROPERTY(double level READ level NOTIFY changed)
    Q_PROPERTY(double peak READ peak NOTIFY changed)
    Q_PROPERTY(double levelDb READ levelDb NOTIFY changed)
    Q_PROPERTY(double peakDb READ peakDb NOTIFY changed)

public:
    explicit MeterDisplay(QObject* parent = nullptr);
    ~MeterDisplay() override;

    QString speaker() const { return speakerPath; }
    void setSpeaker(const QString& path);
    int index() const { return viewIndex; }
    void setIndex(int index);
    bool valid() const { return link.isBound(); }
    double level() const { return read("level"); }
    double peak() const { return read("peak"); }
    double levelDb() const { return read("levelDb"); }
    double peakDb() const { return read("peakDb"); }

Q_SIGNALS:
    void bindingChanged();
    void changed();

private:
    void rebind();
    void unbind();
    double read(const char* name) const;
    void meterMoved();
    void frameEnded();

    QString speakerPath;
    int viewIndex = 0;
    Tessel::Qt::ViewLink link;
    QTimer frame;
    bool movedInFrame = false;
};

} // namespace Vellaris
