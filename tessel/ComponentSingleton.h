#pragma once

#include "tessel/Component.h"

namespace Tessel
{

// The process-wide instance of an application-wide component T: create() makes it on first need
// and adds it below the root component (which then owns it); instance() answers it or nullptr.
// T calls attach(this) in its constructor and detach(this) in its destructor.
template <class T> class ComponentSingleton
{
public:
    static T* create()
    {
        if (!theInstance)
            Tessel::getRootComponent()->addChild(new T);
        return theInstance;
    }
    static T* instance() { return theInstance; }

protected:
    static void attach(T* object) { theInstance = object; }
    static void detach(T* object)
    {
        if (theInstance == object)
            theInstance = nullptr;
    }

private:
    static inline T* theInstance = nullptr;
};

} // namespace Tessel
