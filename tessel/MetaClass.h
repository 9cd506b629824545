#pragma once

#include <string>

namespace Tessel
{

class Object;

// Class information: name, parent class and creation function. Every MetaClass made with the
// TESSEL_DEFINE_CLASS macros registers itself with the ClassFactory when it is constructed.
class MetaClass
{
public:
    using CreateFunction = Object* (*)();

    // `parent` may be null for the root class; `create` null for a class that cannot be created
    // by name. The name must stay valid for the life of the program (a literal).
    MetaClass(const char* name, const MetaClass* parent, CreateFunction create, bool registerClass = true);

    const char* getName() const { return name; }
    const MetaClass* getParent() const { return parent; }
    // A new instance with reference count 1 owned by the caller, or nullptr when not creatable.
    Object* createObject() const { return create ? create() : nullptr; }
    bool canCreate() const { return create != nullptr; }
    // True when this class is `other` or derives from it (walks the parent chain).
    bool isKindOf(const MetaClass& other) const;
    // Same check by class name.
    bool isKindOf(const std::string& className) const;

private:
    const char* name;
    const MetaClass* parent;
    CreateFunction create;
};

} // namespace Tessel

// Inside a class derived from Tessel::Object: declares the class's meta class and overrides
// getMetaClass(). Pair with TESSEL_DEFINE_CLASS in the source file.
#define TESSEL_DECLARE_CLASS(Class)                                                                          \
public:                                                                                                      \
    static const Tessel::MetaClass metaClass;                                                                \
    const Tessel::MetaClass& getMetaClass() const override                                                   \
    {                                                                                                        \
        return metaClass;                                                                                    \
    }                                                                                                        \
                                                                                                             \
private:

// Defines the meta class of a default-constructible Class derived from Parent and registers it,
// so the class factory can create it by the name #Class.
#define TESSEL_DEFINE_CLASS(Class, Parent)                                                                   \
    const Tessel::MetaClass Class::metaClass(#Class, &Parent::metaClass,                                     \
                                             []() -> Tessel::Object* { return new Class; });

// Same with a class name other than the C++ name (for classes inside namespaces, say).
#define TESSEL_DEFINE_CLASS_NAMED(Class, Parent, name)                                                       \
    const Tessel::MetaClass Class::metaClass(name, &Parent::metaClass,                                       \
                                             []() -> Tessel::Object* { return new Class; });

// Defines the meta class of a class that cannot be created by name (abstract or needing arguments).
#define TESSEL_DEFINE_ABSTRACT_CLASS(Class, Parent, name)                                                    \
    const Tessel::MetaClass Class::metaClass(name, &Parent::metaClass, nullptr);
