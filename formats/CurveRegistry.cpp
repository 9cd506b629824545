#include "formats/CurveRegistry.h"

#include "formats/LinearInterpolator.h"
#include "formats/LogInterpolator.h"
#include "formats/ZoomInterpolator.h"

#include <cstring>

namespace Core
{

CurveRegistry::CurveRegistry()
{
    entries_.push_back({"linear", [] { return std::unique_ptr<Interpolator>(new LinearInterpolator); }});
    entries_.push_back({"log", [] { return std::unique_ptr<Interpolator>(new LogInterpolator); }});
    entries_.push_back({"zoom", [] { return std::unique_ptr<Interpolator>(new ZoomInterpolator); }});
}

CurveRegistry::~CurveRegistry() = default;

CurveRegistry& CurveRegistry::global()
{
    // Never destroyed: parameters torn down at exit may still hold formatters and curves from it.
    static CurveRegistry* registry = new CurveRegistry;
    return *registry;
}

void CurveRegistry::registerCurve(const char* name, CurveFactory factory)
{
    if (!name || !*name || !factory)
        return;
    std::lock_guard lock(mutex_);
    entries_.push_back({name, factory});
}

bool CurveRegistry::contains(const char* name) const
{
    if (!name)
        return false;
    std::lock_guard lock(mutex_);
    for (const Entry& entry : entries_)
    {
        if (entry.name == name)
            return true;
    }
    return false;
}

std::unique_ptr<Interpolator> CurveRegistry::createCurve(const char* name) const
{
    if (!name || !*name)
        return nullptr;
    CurveFactory factory = nullptr;
    {
        std::lock_guard lock(mutex_);
        for (const Entry& entry : entries_)
        {
            if (entry.name == name)
            {
                factory = entry.factory;
                break;
            }
        }
    }
    return factory ? factory() : nullptr;
}

size_t CurveRegistry::count() const
{
    std::lock_guard lock(mutex_);
    return entries_.size();
}

void registerCurve(const char* name, CurveFactory factory)
{
    CurveRegistry::global().registerCurve(name, factory);
}

std::unique_ptr<Interpolator> createCurve(const char* name)
{
    return CurveRegistry::global().createCurve(name);
}

} // namespace Core
