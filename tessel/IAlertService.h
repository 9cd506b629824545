#pragma once

#include <string>

namespace Tessel
{

// Alerts to the user.
class IAlertService
{
public:
    // Shows `text` to the user (modal on the desktop; recorded by the headless platform).
    virtual void showAlert(const std::string& text) = 0;

protected:
    virtual ~IAlertService() = default;
};

} // namespace Tessel
