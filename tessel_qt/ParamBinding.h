#pragma once

#include <QStringList>
#include <QVariant>

#include "tessel/SharedPtr.h"
#include "tessel_qt/SkinBinding.h"
#include "tessel_qt/SubjectLink.h"

namespace Tessel
{
class IParameter;
}

namespace Tessel::Qt
{

// QML type "Param" (import Tessel 1.0): binds a view to one parameter by skin address.
//
//     Param { id: volume; address: "://roomdesk/Inspector/volume" }
//     Slider { value: volume.normalized; onMoved: volume.normalized = value
//              onPressedChanged: pressed ? volume.beginEdit() : volume.endEdit() }
//
// Every property follows the parameter: a change of its value, range, entries or state emits
// changed(). Writing `value`, `normalized` or calling setText() changes the parameter with
// notification, so its controller (and through it a speaker) sees the change. Drags should be
// wrapped in beginEdit()/endEdit() so the controller knows the user holds the control, and a
// click that sets a value goes through editTo(); `editing`
// follows every edit gesture on the parameter, from this view or any other, and editingChanged()
// reports each begin and end. When the component replaces the parameter by another one, the
// binding follows the new parameter (on the next turn of the event loop) and emits changed(). An
// address that does not resolve leaves `valid` false and logs one warning.
class ParamBinding : public SkinBinding
{
    Q_OBJECT
    Q_PROPERTY(bool valid READ valid NOTIFY changed)
    Q_PROPERTY(QString name READ name NOTIFY changed)
    Q_PROPERTY(int type READ type NOTIFY changed)
    Q_PROPERTY(QVariant value READ value WRITE setValue NOTIFY changed)
    Q_PROPERTY(double normalized READ normalized WRITE setNormalized NOTIFY changed)
    Q_PROPERTY(QString text READ text NOTIFY changed)
    Q_PROPERTY(QVariant min READ min NOTIFY changed)
    Q_PROPERTY(QVariant max READ max NOTIFY changed)
    Q_PROPERTY(QVariant defaultValue READ defaultValue NOTIFY changed)
    Q_PROPERTY(int steps READ steps NOTIFY changed)
    Q_PROPERTY(QStringList entries READ entries NOTIFY changed)
    Q_PROPERTY(bool enabled READ enabled NOTIFY changed)
    Q_PROPERTY(bool readOnly READ readOnly NOTIFY changed)
    Q_PROPERTY(bool bipolar READ bipolar NOTIFY changed)
    Q_PROPERTY(bool editing READ editing NOTIFY changed)

public:
    explicit ParamBinding(QObject* parent = nullptr);
    ~ParamBinding() override;

    bool valid() const { return parameter.get() != nullptr; }
    QString name() const;
    int type() const;
    QVariant value() const;
    void setValue(const QVariant& value);
    double normalized() const;
    void setNormalized(double normalized);
    QString text() const;
    QVariant min() const;
    QVariant max() const;
    QVariant defaultValue() const;
    int steps() const;
    QStringList entries() const;
    bool enabled() const;
    bool readOnly() const;
    bool bipolar() const;
    bool editing() const;

    // Sets the parameter from its text form; false when the text was refused.
    Q_INVOKABLE bool setText(const QString& text);
    Q_INVOKABLE void beginEdit();
    Q_INVOKABLE void endEdit();
    // Sets the value in one edit gesture of its own (begin, set, end), as a click on a button or a
    // segment is one: the controller sees the change as the user's, like the end of a drag.
    // Inside a gesture that is already open (a drag), only sets the value.
    Q_INVOKABLE void editTo(const QVariant& value);
    // Sets the parameter to its default value (double click on a control).
    Q_INVOKABLE void reset();
    // Sends a preview to the controller: kind 2 while dragging (value: normalised), kind 4 for text.
    Q_INVOKABLE void preview(int kind, const QVariant& value);
    // For command parameters: runs the command (sets the parameter, which invokes it).
    Q_INVOKABLE void invoke();
    // Steps the value by `delta` steps (or by 1 for integers and lists).
    Q_INVOKABLE void step(int delta);
    // Steps the value by `delta` points of its unit's grid (0.5 dB, a twelfth of an octave, 0.1 ms,
    // the Q list); `shift`: the grid's other step (Shift held). A parameter whose unit has no grid
    // steps as step() does.
    Q_INVOKABLE void stepOnGrid(int delta, bool shift);
    // Reads a value the user typed and sets it in one edit gesture (one undo step). Returns "" when
    // it was taken, else why it was refused ("Cannot read …", "… is out of range: …"); a refused
    // text changes nothing.
    Q_INVOKABLE QString enterText(const QString& text);
    // The text form of an arbitrary plain value of this parameter.
    Q_INVOKABLE QString format(const QVariant& plainValue) const;
    // Where an arbitrary plain value of this parameter lies on its control (0..1, through its
    // curve), for scales drawn beside a control; 0 without a parameter.
    Q_INVOKABLE double normalize(const QVariant& plainValue) const;

    // The bound parameter (borrowed), for C++ views.
    IParameter* getParameter() const { return parameter.get(); }

Q_SIGNALS:
    void changed();
    void editingChanged(bool editing);

private:
    void rebind() override;
    void follow(IParameter* param);
    void unbind();

    SharedPtr<IParameter> parameter;
    SubjectLink link;
};

} // namespace Tessel::Qt
