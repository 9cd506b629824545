#include "tarnsim/SettingFile.h"

#include "core/FileStream.h"
#include "core/JsonReader.h"
#include "core/JsonWriter.h"
#include "core/MemoryStream.h"
#include "tarnsim/FileIOManager.h"

#include <cstdlib>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#endif

namespace Core::Portable
{

SettingFile& SettingFile::instance()
{
    static SettingFile* settings = new SettingFile();
    return *settings;
}

#ifdef _WIN32

// %APPDATA%\Vellaris\Tarn\Tarn.settings; an unset APPDATA leaves the path rooted at the
// current drive, as Windows reads a path that starts with a backslash.
std::string SettingFile::settingsPath()
{
    const char* appData = std::getenv("APPDATA");
    std::string base = appData ? appData : "";
    while (!base.empty() && (base.back() == '\\' || base.back() == '/'))
        base.pop_back();
    return base + "\\Vellaris\\Tarn\\" + kFileName;
}

void SettingFile::buildPath()
{
    path_ = settingsPath();
    const std::size_t tarn = path_.rfind('\\');
    const std::size_t vellaris = path_.rfind('\\', tarn - 1);
    ::_mkdir(path_.substr(0, vellaris).c_str());
    ::_mkdir(path_.substr(0, tarn).c_str());
}

#else

std::string SettingFile::settingsPath()
{
    std::string base;
    const char* appData = std::getenv("APPDATA");
    if (appData && appData[0])
    {
        base = appData;
    }
    else
    {
        const char* config = std::getenv("XDG_CONFIG_HOME");
        if (config && config[0])
        {
            base = config;
        }
        else
        {
            const char* home = std::getenv("HOME");
            base = std::string(home ? home : "") + "/.config";
        }
    }
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base + "/Vellaris/Tarn/" + kFileName;
}

void SettingFile::buildPath()
{
    path_ = settingsPath();
    const std::size_t tarn = path_.rfind('/');
    const std::size_t vellaris = path_.rfind('/', tarn - 1);
    ::mkdir(path_.substr(0, vellaris).c_str(), 0755);
    ::mkdir(path_.substr(0, tarn).c_str(), 0755);
}

#endif

bool SettingFile::readNow()
{
    attributes_.clear();
    MemoryStream contents;
    if (!FileStream::readAll(path_, contents))
        return false;
    return JsonReader::parse(contents.data(), contents.size(), attributes_);
}

bool SettingFile::writeNow() const
{
    if (attributes_.isEmpty())
        return false;
    MemoryStream contents;
    if (!JsonWriter::write(contents, attributes_, JsonLayout::Indented))
        return false;
    return FileStream::writeAtomically(path_, contents.view());
}

bool SettingFile::saveInBackground(FileIOManager& manager,
                                   std::unique_ptr<FileIOCompletionHandler> handler) const
{
    if (attributes_.isEmpty())
        return false;
    auto contents = std::make_unique<MemoryStream>();
    if (!JsonWriter::write(*contents, attributes_, JsonLayout::Indented))
        return false;
    manager.saveInBackground(path_, std::move(contents), std::move(handler));
    return true;
}

void SettingFile::storeSpeakerState(const Attributes& state)
{
    attributes_.setAttributes("Speaker", state);
}

void SettingFile::loadInBackground(FileIOManager& manager,
                                   std::unique_ptr<FileIOCompletionHandler> handler) const
{
    manager.loadInBackground(path_, std::move(handler));
}

} // namespace Core::Portable
