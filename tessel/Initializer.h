#pragma once

namespace Tessel
{

// A start-up initializer: a named function with an order number. Define one as a static object in
// the source file of the code it sets up:
//     static Tessel::Initializer speakerInit("SpeakerComponent", 1000, &registerSpeakerClasses);
// runInitializers() runs every registered initializer once, in ascending order (equal numbers in
// the order of registration). The framework's own initializer "Runtime" has order 900. Names are
// unique: registering a second initializer under a name already taken is a warning.
// A static object in a static library is only linked when its object file is referenced, and an
// optimising compiler drops references that nothing reads. So each library that defines an
// initializer also defines an accessor for it beside it, and a program that needs the library's
// start-up calls keep() with that accessor's result from code it runs.
class Initializer
{
public:
    using Function = bool (*)();

    // Registers the entry; `name` must be a literal or otherwise outlive the program.
    Initializer(const char* name, int order, Function function);
    ~Initializer();
    Initializer(const Initializer&) = delete;
    Initializer& operator=(const Initializer&) = delete;

    const char* getName() const { return name; }
    int getOrder() const { return order; }
    bool hasRun() const { return ran; }

    // Runs every registered initializer that has not run yet, in ascending order; one registered
    // while this runs also runs in the same call. A function returning false is reported as a
    // warning; the others still run. Returns false when any failed.
    static bool runInitializers();
    // Number of registered initializers (for diagnostics).
    static int countInitializers();
    // Keeps `initializer` in the program (see above); answers whether it is registered.
    static bool keep(const Initializer& initializer);

private:
    const char* name;
    int order;
    Function function;
    bool ran = false;
    friend struct InitializerRegistry;
};

// Same as Initializer::runInitializers().
inline bool runInitializers()
{
    return Initializer::runInitializers();
}

} // namespace Tessel
