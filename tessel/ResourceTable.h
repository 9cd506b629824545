#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace Tessel
{

// Resources compiled into the program: name ("tarndefs.xml", "skin/Main.qml") to bytes. Filled
// before main() by the registrars that tessel_embed_resources() generates; read-only afterwards.
class ResourceTable
{
public:
    struct Resource
    {
        const unsigned char* data;
        size_t size;
    };

    // Registers `name` (the bytes are not copied and must live as long as the program). A later
    // registration of the same name replaces the earlier one.
    static void add(const char* name, const unsigned char* data, size_t size);
    // The resource `name` (a leading "/" is ignored), or nullptr.
    static const Resource* find(const std::string& name);
    // Every registered name, sorted.
    static std::vector<std::string> names();
};

// Registers one resource at static initialisation (used by generated code).
struct ResourceRegistrar
{
    ResourceRegistrar(const char* name, const unsigned char* data, size_t size)
    {
        ResourceTable::add(name, data, size);
    }
};

} // namespace Tessel
