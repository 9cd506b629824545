#pragma once

#include "tarnsim/FileIOManager.h"

namespace Vellaris::Tarn
{

// Prints the completion line of a background load or save of the settings.
class SettingsCompletion : public Core::Portable::FileIOCompletionHandler
{
public:
    void saveCompleted(const std::string& path) override;
    void loadCompleted(Core::Portable::MemoryStream* data, const std::string& path) override;
};

} // namespace Vellaris::Tarn
