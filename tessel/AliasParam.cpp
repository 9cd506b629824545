#include "tessel/AliasParam.h"

#include "tessel/IParamObserver.h"

namespace Tessel
{

TESSEL_DEFINE_CLASS(AliasParam, Parameter)

AliasParam::AliasParam(const std::string& name) : Parameter(ParamType::kToggle, 0, 1, name) {}

AliasParam::~AliasParam()
{
    if (target)
        if (ISubject* subject = unknownCast<ISubject>(target.get()))
            subject->removeObserver(this);
}

void AliasParam::setTarget(IParameter* newTarget)
{
    if (newTarget == target.get() || newTarget == this)
        return;
    if (target)
        if (ISubject* subject = unknownCast<ISubject>(target.get()))
            subject->removeObserver(this);
    target = Tessel::retained(newTarget);
    if (target)
        if (ISubject* subject = unknownCast<ISubject>(target.get()))
            subject->addObserver(this);
    notifyViews();
}

void AliasParam::notify(ISubject* subject, const Message& msg)
{
    if (!target || subject != unknownCast<ISubject>(target.get()))
        return;
    if (msg.is(Messages::kChanged))
        notifyViews();
    // The target's component swapped it for another parameter: stand for that one from now on.
    else if (msg.is(Messages::kReplaced))
        setTarget(unknownCast<IParameter>(msg.getArg(0).asObject()));
}

// A change through the alias notifies the alias's own controller (the alias stands for the target
// in its component); the target's controller hears of it when `notify` reaches it too.
int AliasParam::getType() const
{
    return target ? target->getType() : Parameter::getType();
}

bool AliasParam::isFlag(uint32_t mask) const
{
    // An alias must not become a way to read a secret.
    if ((mask & ParamFlags::kSecret) && target && target->isFlag(ParamFlags::kSecret))
        return true;
    return Parameter::isFlag(mask);
}

void AliasParam::setValue(const Variant& v, bool notify)
{
    if (!target)
        return Parameter::setValue(v, notify);
    Variant before = target->getValue();
    target->setValue(v, notify);
    if (notify && target->getValue() != before)
        notifyController();
}

void AliasParam::setMin(const Variant& v)
{
    target ? target->setMin(v) : Parameter::setMin(v);
}

void AliasParam::setMax(const Variant& v)
{
    target ? target->setMax(v) : Parameter::setMax(v);
}

void AliasParam::setDefaultValue(const Variant& v)
{
    target ? target->setDefaultValue(v) : Parameter::setDefaultValue(v);
}

void AliasParam::setSteps(int n)
{
    target ? target->setSteps(n) : Parameter::setSteps(n);
}

void AliasParam::setNormalized(double normalized, bool notify)
{
    if (!target)
        return Parameter::setNormalized(normalized, notify);
    Variant before = target->getValue();
    target->setNormalized(normalized, notify);
    if (notify && target->getValue() != before)
        notifyController();
}

double AliasParam::getValueNormalized(const Variant& v) const
{
    return target ? target->getValueNormalized(v) : Parameter::getValueNormalized(v);
}

IParamCurve* AliasParam::getCurve() const
{
    return target ? target->getCurve() : Parameter::getCurve();
}

void AliasParam::setCurve(IParamCurve* c)
{
    target ? target->setCurve(c) : Parameter::setCurve(c);
}

void AliasParam::setFormatter(IParamFormatter* f)
{
    target ? target->setFormatter(f) : Parameter::setFormatter(f);
}

std::string AliasParam::toString() const
{
    return target ? target->toString() : Parameter::toString();
}

bool AliasParam::fromString(const std::string& text, bool notify)
{
    if (!target)
        return Parameter::fromString(text, notify);
    Variant before = target->getValue();
    bool ok = target->fromString(text, notify);
    if (ok && notify && target->getValue() != before)
        notifyController();
    return ok;
}

Variant AliasParam::getValue() const
{
    return target ? target->getValue() : Parameter::getValue();
}

Variant AliasParam::getMin() const
{
    return target ? target->getMin() : Parameter::getMin();
}

Variant AliasParam::getMax() const
{
    return target ? target->getMax() : Parameter::getMax();
}

Variant AliasParam::getDefaultValue() const
{
    return target ? target->getDefaultValue() : Parameter::getDefaultValue();
}

int AliasParam::getSteps() const
{
    return target ? target->getSteps() : Parameter::getSteps();
}

double AliasParam::getNormalized() const
{
    return target ? target->getNormalized() : Parameter::getNormalized();
}

IParamFormatter* AliasParam::getFormatter() const
{
    return target ? target->getFormatter() : Parameter::getFormatter();
}

std::string AliasParam::valueToString(const Variant& v) const
{
    return target ? target->valueToString(v) : Parameter::valueToString(v);
}

void AliasParam::beginEdit()
{
    if (target)
        target->beginEdit();
    Parameter::beginEdit();
}

void AliasParam::endEdit()
{
    if (target)
        target->endEdit();
    Parameter::endEdit();
}

int AliasParam::countEntries() const
{
    return target ? target->countEntries() : 0;
}

std::string AliasParam::getEntry(int index) const
{
    return target ? target->getEntry(index) : std::string();
}

void AliasParam::clearEntries()
{
    if (target)
        target->clearEntries();
}

void AliasParam::appendEntry(const std::string& text)
{
    if (target)
        target->appendEntry(text);
}

IParameter* AliasParam::getOriginal()
{
    return target ? target->getOriginal() : this;
}

} // namespace Tessel
