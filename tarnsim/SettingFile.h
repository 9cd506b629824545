#pragma once

#include "core/Attributes.h"

#include <memory>
#include <string>

namespace Core::Portable
{

class FileIOCompletionHandler;
class FileIOManager;

// The simulator's settings: one attribute set kept in a JSON file. The
// speaker's state lives under "Speaker"; other members read from the file are
// written back unchanged.
class SettingFile
{
public:
    static constexpr const char* kFileName = "Tarn.settings";

    SettingFile() = default;

    // The process-wide settings.
    static SettingFile& instance();

    // The path of the settings file for an environment: APPDATA when set and
    // not empty, else $XDG_CONFIG_HOME, else ~/.config; then
    // "/Vellaris/Tarn/Tarn.settings".
    static std::string settingsPath();
    // Sets the path from settingsPath() and creates its two folders (failures
    // are ignored: reads and writes then fail).
    void buildPath();
    void setPath(std::string path) { path_ = std::move(path); }
    const std::string& path() const { return path_; }

    Attributes& attributes() { return attributes_; }
    const Attributes& attributes() const { return attributes_; }

    // Reads and parses the whole file into the set (cleared first). A missing
    // file leaves the set empty; a text that is not JSON keeps what was read
    // before the error (a byte-order mark refuses the whole text). False when
    // the file could not be read or did not parse completely.
    bool readNow();
    // Writes the set, indented, replacing the file through a temporary file in
    // the same folder. False (the old file intact) when writing failed; an
    // empty set writes nothing and answers false.
    bool writeNow() const;
    // Writes the set into memory and queues a background save; the handler
    // hears about it from the manager's deliver(). False (nothing queued) when
    // the set is empty (there is nothing worth a file yet) or could not be
    // written.
    bool saveInBackground(FileIOManager& manager, std::unique_ptr<FileIOCompletionHandler> handler) const;
    // Replaces the "Speaker" member with `state` (the speaker's current state).
    void storeSpeakerState(const Attributes& state);
    // Queues a background read of the file (its data only reach the handler).
    void loadInBackground(FileIOManager& manager, std::unique_ptr<FileIOCompletionHandler> handler) const;

private:
    std::string path_;
    Attributes attributes_;
};

} // namespace Core::Portable
