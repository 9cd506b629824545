#include "tessel_qt/ParamBinding.h"

#include "tessel/IParameter.h"
#include "tessel/ISubject.h"
#include "tessel/TypedValue.h"
#include "tessel_qt/SkinAddress.h"
#include "tessel_qt/VariantConversion.h"

namespace Tessel::Qt
{

ParamBinding::ParamBinding(QObject* parent) : SkinBinding(parent) {}

ParamBinding::~ParamBinding()
{
    unbind();
}

void ParamBinding::unbind()
{
    link.clear();
    parameter = nullptr;
}

void ParamBinding::rebind()
{
    unbind();
    if (address().isEmpty())
    {
        Q_EMIT changed();
        return;
    }
    SkinTarget target = resolveSkinAddress(address().toStdString(), base().toStdString());
    if (!target.parameter)
    {
        warnUnresolved();
        Q_EMIT changed();
        return;
    }
    follow(target.parameter);
}

void ParamBinding::follow(IParameter* param)
{
    link.clear();
    parameter = Tessel::retained(param);
    link.watch(unknownCast<ISubject>(parameter.get()),
               [this](const Message& msg)
               {
                   if (msg.is(Messages::kChanged))
                   {
                       Q_EMIT changed();
                   }
                   else if (msg.is(Messages::kBeginEdit) || msg.is(Messages::kEndEdit))
                   {
                       Q_EMIT changed();
                       Q_EMIT editingChanged(msg.is(Messages::kBeginEdit));
                   }
                   else if (msg.is(Messages::kReplaced))
                   {
                       // The component swapped the parameter: the binding now shows the successor.
                       // Deferred past the delivery, which still runs on the old parameter's list.
                       SharedPtr<IParameter> successor(msg.getArg(0).asInterface<IParameter>());
                       if (!successor)
                           return;
                       QMetaObject::invokeMethod(
                           this, [this, successor]() { follow(successor.get()); }, ::Qt::QueuedConnection);
                   }
               });
    Q_EMIT changed();
}

QString ParamBinding::name() const
{
    return parameter ? QString::fromStdString(parameter->getName()) : QString();
}

int ParamBinding::type() const
{
    return parameter ? parameter->getType() : -1;
}

QVariant ParamBinding::value() const
{
    return parameter ? toQVariant(parameter->getValue()) : QVariant();
}

void ParamBinding::setValue(const QVariant& value)
{
    if (parameter)
        parameter->setValue(fromQVariant(value), true);
}

double ParamBinding::normalized() const
{
    return parameter ? parameter->getNormalized() : 0.0;
}

void ParamBinding::setNormalized(double normalized)
{
    if (parameter)
        parameter->setNormalized(normalized, true);
}

QString ParamBinding::text() const
{
    return parameter ? QString::fromStdString(parameter->toString()) : QString();
}

QVariant ParamBinding::min() const
{
    return parameter ? toQVariant(parameter->getMin()) : QVariant();
}

QVariant ParamBinding::max() const
{
    return parameter ? toQVariant(parameter->getMax()) : QVariant();
}

QVariant ParamBinding::defaultValue() const
{
    return parameter ? toQVariant(parameter->getDefaultValue()) : QVariant();
}

int ParamBinding::steps() const
{
    return parameter ? parameter->getSteps() : 0;
}

QStringList ParamBinding::entries() const
{
    QStringList list;
    if (!parameter)
        return list;
    int count = parameter->countEntries();
    for (int i = 0; i < count; ++i)
        list.append(QString::fromStdString(parameter->getEntry(i)));
    return list;
}

bool ParamBinding::enabled() const
{
    return parameter && parameter->isEnabled();
}

bool ParamBinding::readOnly() const
{
    return parameter && parameter->isFlag(ParamFlags::kReadOnly);
}

bool ParamBinding::bipolar() const
{
    return parameter && parameter->isFlag(ParamFlags::kBipolar);
}

bool ParamBinding::editing() const
{
    return parameter && parameter->isFlag(ParamFlags::kEditing);
}

bool ParamBinding::setText(const QString& text)
{
    return parameter && parameter->fromString(text.toStdString(), true);
}

void ParamBinding::beginEdit()
{
    if (parameter)
        parameter->beginEdit();
}

void ParamBinding::endEdit()
{
    if (parameter)
        parameter->endEdit();
}

void ParamBinding::editTo(const QVariant& value)
{
    if (!parameter)
        return;
    // Held for the whole gesture: the controller may replace the parameter while it changes.
    SharedPtr<IParameter> held = parameter;
    const bool ownGesture = !held->isFlag(ParamFlags::kEditing);
    if (ownGesture)
        held->beginEdit();
    held->setValue(fromQVariant(value), true);
    if (ownGesture)
        held->endEdit();
}

void ParamBinding::reset()
{
    if (parameter)
        parameter->setValue(parameter->getDefaultValue(), true);
}

void ParamBinding::preview(int kind, const QVariant& value)
{
    if (!parameter)
        return;
    ParamPreviewEvent event;
    event.kind = kind;
    event.value = value.toDouble();
    parameter->preview(event);
}

void ParamBinding::invoke()
{
    if (parameter)
        parameter->setValue(Variant(1), true);
}

void ParamBinding::step(int delta)
{
    if (!parameter)
        return;
    int type = parameter->getType();
    if (type == ParamType::kInteger || type == ParamType::kList || type == ParamType::kToggle)
    {
        parameter->setValue(Variant(parameter->getValue().asInt() + delta), true);
        return;
    }
    int steps = parameter->getSteps();
    double increment = steps > 0 ? 1.0 / steps : 0.01;
    parameter->setNormalized(parameter->getNormalized() + delta * increment, true);
}

void ParamBinding::stepOnGrid(int delta, bool shift)
{
    if (!parameter || delta == 0)
        return;
    SharedPtr<IParameter> held = parameter;
    if (!stepParamOnGrid(*held, delta, shift ? StepSize::kShift : StepSize::kNormal))
        step(delta);
}

QString ParamBinding::enterText(const QString& text)
{
    if (!parameter)
        return QStringLiteral("Nothing to set");
    SharedPtr<IParameter> held = parameter;
    return QString::fromStdString(enterTypedValue(*held, text.toStdString()).message);
}

QString ParamBinding::format(const QVariant& plainValue) const
{
    return parameter ? QString::fromStdString(parameter->valueToString(fromQVariant(plainValue))) : QString();
}

double ParamBinding::normalize(const QVariant& plainValue) const
{
    return parameter ? parameter->getValueNormalized(fromQVariant(plainValue)) : 0.0;
}

} // namespace Tessel::Qt
