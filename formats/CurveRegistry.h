#pragma once

#include "formats/Interpolator.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Core
{

// Makes a new curve with its starting range and shape.
using CurveFactory = std::unique_ptr<Interpolator> (*)();

// The list of curves by name. A registry holds "linear", "log" and "zoom" from its creation;
// others are appended by registerCurve. The process has one global registry (global(), and the
// free functions below); tests make their own instances. All operations are safe to call from
// several threads.
class CurveRegistry
{
public:
    CurveRegistry();
    ~CurveRegistry();

    CurveRegistry(const CurveRegistry&) = delete;
    CurveRegistry& operator=(const CurveRegistry&) = delete;

    // The process-wide registry, created on first use (safe during static initialisation) and
    // never destroyed.
    static CurveRegistry& global();

    // Appends the pair; the name is copied. An empty name or a null factory is ignored.
    void registerCurve(const char* name, CurveFactory factory);

    // True when a curve of exactly this name is registered.
    bool contains(const char* name) const;

    // A new curve from the first pair whose name equals name exactly (case-sensitive), or null for
    // an empty or unknown name. The caller owns it and normally calls setRange next.
    std::unique_ptr<Interpolator> createCurve(const char* name) const;

    size_t count() const;

private:
    struct Entry
    {
        std::string name;
        CurveFactory factory;
    };

    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};

// Appends the pair to the global registry.
void registerCurve(const char* name, CurveFactory factory);

// A new curve of that name from the global registry, or null (see CurveRegistry::createCurve).
std::unique_ptr<Interpolator> createCurve(const char* name);

} // namespace Core
