#include "tarnsim/SettingsCompletion.h"

#include <cstdio>

namespace Vellaris::Tarn
{

void SettingsCompletion::saveCompleted(const std::string& path)
{
    std::printf("Save file \"%s\" completed\n", path.c_str());
    std::fflush(stdout);
}

void SettingsCompletion::loadCompleted(Core::Portable::MemoryStream*, const std::string& path)
{
    std::printf("Load file \"%s\" completed\n", path.c_str());
    std::fflush(stdout);
}

} // namespace Vellaris::Tarn
