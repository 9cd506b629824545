#pragma once

#include <cstddef>
#include <cstring>

#include "tessel/CommandMsg.h"

namespace Tessel
{

// Static command tables for a class T. A table is an array of rows {category, name, handler,
// offset} ended by a row with an empty (or null) category. A row matches a command when its
// category equals the command's and its name is empty or equals the command's (exact byte
// comparison); the first matching row's handler runs and its result is the answer. The offset is
// added (in bytes) to the object pointer before the handler runs, for handlers that live in a
// sub-object; it is 0 for handlers of T itself.
//
// Usage:
//     class Foo : public Tessel::Component, public Tessel::CommandDispatcher<Foo> {
//         TESSEL_DECLARE_COMMANDS(Foo)
//         bool onQuit(const Tessel::CommandMsg& msg);
//     };
//     TESSEL_BEGIN_COMMANDS(Foo)
//         TESSEL_COMMAND("File", "Quit", Foo::onQuit)
//     TESSEL_END_COMMANDS(Foo, Tessel::Component)
// The generated interpretCommand consults Foo's table and then passes to the base class.
template <class T> class CommandDispatcher
{
public:
    using Handler = bool (T::*)(const CommandMsg&);
    struct Entry
    {
        const char* category;
        const char* name;
        Handler handler;
        std::ptrdiff_t offset;
    };

    // Looks `msg` up in `table`. When a row matches, runs its handler on `object`, stores the
    // handler's answer in `result` and returns true; returns false when no row matches.
    static bool dispatchCommand(T* object, const Entry* table, const CommandMsg& msg, bool& result)
    {
        for (const Entry* row = table; row->category && row->category[0]; ++row)
        {
            if (msg.category != row->category)
                continue;
            if (row->name && row->name[0] && msg.name != row->name)
                continue;
            T* target = reinterpret_cast<T*>(reinterpret_cast<char*>(object) + row->offset);
            result = (target->*(row->handler))(msg);
            return true;
        }
        return false;
    }

    // Returns the first row of `table` that matches `msg`, or nullptr (for menus and tests).
    static const Entry* findEntry(const Entry* table, const CommandMsg& msg)
    {
        for (const Entry* row = table; row->category && row->category[0]; ++row)
        {
            if (msg.category == row->category && (!row->name || !row->name[0] || msg.name == row->name))
                return row;
        }
        return nullptr;
    }
};

} // namespace Tessel

// Inside the class body: declares the table and the interpretCommand override.
#define TESSEL_DECLARE_COMMANDS(Class)                                                                       \
public:                                                                                                      \
    static const Tessel::CommandDispatcher<Class>::Entry commandTable[];                                     \
    bool interpretCommand(const Tessel::CommandMsg& msg) override;                                           \
                                                                                                             \
private:

// In the source file: opens the table of Class.
#define TESSEL_BEGIN_COMMANDS(Class) const Tessel::CommandDispatcher<Class>::Entry Class::commandTable[] = {
// One row; `method` is a member function of the class, e.g. Foo::onQuit.
#define TESSEL_COMMAND(category, name, method) {category, name, &method, 0},
// Closes the table and defines interpretCommand: the table first, then Base::interpretCommand.
#define TESSEL_END_COMMANDS(Class, Base)                                                                     \
    {                                                                                                        \
        nullptr, nullptr, nullptr, 0                                                                         \
    }                                                                                                        \
    }                                                                                                        \
    ;                                                                                                        \
    bool Class::interpretCommand(const Tessel::CommandMsg& msg)                                              \
    {                                                                                                        \
        bool result = false;                                                                                 \
        if (Tessel::CommandDispatcher<Class>::dispatchCommand(this, commandTable, msg, result))              \
            return result;                                                                                   \
        return Base::interpretCommand(msg);                                                                  \
    }
