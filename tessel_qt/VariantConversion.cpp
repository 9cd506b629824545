#include "tessel_qt/VariantConversion.h"

namespace Tessel::Qt
{

QVariant toQVariant(const Variant& value)
{
    switch (value.getType())
    {
    case Variant::kInt:
        return QVariant::fromValue<qlonglong>(value.asInt());
    case Variant::kFloat:
        return QVariant(value.asDouble());
    case Variant::kString:
        return QVariant(QString::fromStdString(value.getText()));
    default:
        return QVariant();
    }
}

Variant fromQVariant(const QVariant& value)
{
    switch (value.typeId())
    {
    case QMetaType::Bool:
        return Variant(value.toBool());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return Variant((long long)value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return Variant(value.toDouble());
    case QMetaType::QString:
        return Variant(value.toString().toStdString());
    default:
        return value.isValid() ? Variant(value.toString().toStdString()) : Variant();
    }
}

} // namespace Tessel::Qt
