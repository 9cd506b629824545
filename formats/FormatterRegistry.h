#pragma once

#include "formats/Formatter.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Core
{

class RangeTextFormatter;

// The list of formatters by name. Registration order is search order. The process has one global
// registry (global(), and the free functions below); tests make their own instances.
// All operations are safe to call from several threads.
class FormatterRegistry
{
public:
    FormatterRegistry();
    ~FormatterRegistry();

    FormatterRegistry(const FormatterRegistry&) = delete;
    FormatterRegistry& operator=(const FormatterRegistry&) = delete;

    // The process-wide registry, created on first use (safe during static initialisation) and
    // never destroyed.
    static FormatterRegistry& global();

    // Appends formatter (not owned; it must live as long as the registry is used). A null pointer
    // is ignored.
    void registerFormatter(Formatter* formatter);

    // True when this very object is registered.
    bool contains(const Formatter* formatter) const;

    // The first formatter whose name equals name exactly, or null for an empty or unknown name.
    // A name "base/min/max" whose base is known yields a RangeTextFormatter ("~" stands for no
    // text), created and registered on the first lookup and owned by the registry; later lookups
    // of that name return the same object.
    Formatter* findFormatter(const char* name);

    // Number of registered formatters, created ones included.
    size_t count() const;

private:
    Formatter* findExact(const char* name) const;
    Formatter* findOrCreateRanged(const char* name);

    struct Created
    {
        std::string key; // the whole name looked up, which may be longer than the formatter's name
        std::unique_ptr<RangeTextFormatter> formatter;
    };

    mutable std::mutex mutex_;
    std::vector<Formatter*> formatters_;
    std::vector<Created> created_;
};

// Appends formatter to the global registry.
void registerFormatter(Formatter* formatter);

// Looks name up in the global registry (see FormatterRegistry::findFormatter).
Formatter* findFormatter(const char* name);

} // namespace Core
