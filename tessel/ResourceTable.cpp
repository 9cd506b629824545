#include "tessel/ResourceTable.h"

#include <map>

namespace Tessel
{

namespace
{
std::map<std::string, ResourceTable::Resource>& table()
{
    static std::map<std::string, ResourceTable::Resource> resources;
    return resources;
}
} // namespace

void ResourceTable::add(const char* name, const unsigned char* data, size_t size)
{
    if (name)
        table()[name] = Resource{data, size};
}

const ResourceTable::Resource* ResourceTable::find(const std::string& name)
{
    size_t start = 0;
    while (start < name.size() && name[start] == '/')
        ++start;
    auto& resources = table();
    auto it = resources.find(name.substr(start));
    return it == resources.end() ? nullptr : &it->second;
}

std::vector<std::string> ResourceTable::names()
{
    std::vector<std::string> result;
    for (const auto& entry : table())
        result.push_back(entry.first);
    return result;
}

} // namespace Tessel
