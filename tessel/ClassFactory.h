#pragma once

#include <string>
#include <vector>

namespace Tessel
{

class MetaClass;
class Object;

// The process-wide registry of meta classes by name. Used at start-up and from the GUI thread.
class ClassFactory
{
public:
    // Registers `metaClass` (kept by pointer; it must outlive the program's use of the factory).
    // Registering the same meta class again does nothing; a different class under a name that is
    // already taken replaces it (the last registration wins) and returns false.
    static bool registerClass(const MetaClass& metaClass);
    // Removes the registration of `metaClass` if it is the one registered under its name.
    static void unregisterClass(const MetaClass& metaClass);
    // The meta class registered under `name`, or nullptr.
    static const MetaClass* findClass(const std::string& name);
    // A new object of the class named `name` (reference count 1, owned by the caller), or nullptr
    // when the name is unknown or the class cannot be created.
    static Object* createObject(const std::string& name);
    // Names of every registered class, sorted.
    static std::vector<std::string> getClassNames();
};

} // namespace Tessel
