#pragma once

#include <string>

namespace Tessel
{

class IUnknown;

// Windows of the application.
class IWindowManager
{
public:
    // Opens the skin form `formName` ("ApplicationWindow", "AboutApplication") with `controller`
    // (retained by the window while it is open) as its binding root; `show` makes it visible at
    // once. Returns false when the form does not exist.
    virtual bool openWindow(const std::string& formName, IUnknown* controller, bool show = true) = 0;
    // Asks the running instance of application `applicationId` to bring its main window forward
    // (`activate`: also give it focus). Returns false when no such instance answers.
    virtual bool bringToFront(const std::string& applicationId, bool activate = true) = 0;

protected:
    virtual ~IWindowManager() = default;
};

} // namespace Tessel
