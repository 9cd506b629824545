#pragma once

#include <string>

#include "tessel/CommandDispatcher.h"
#include "tessel/Component.h"
#include "tessel/MenuBar.h"
#include "tessel/SharedPtr.h"

namespace Tessel
{

class StringParam;
class UndoHistory;

// The application component "Application": identity texts, the menu bar, the framework's own
// commands, and the hooks that the start-up routine calls. One instance per process; it adds
// itself below the root component at construction (the root then owns it).
//
// It also makes the desk's undo history and installs it (unless one is installed already), and
// publishes it: command parameters "undo" and "redo" ("Edit"/"Undo", "Edit"/"Redo"; enabled while
// there is something to undo / redo) and the read-only texts "undoName" and "redoName" (the step's
// name, "" when there is none) and "undoStatus" (what the last undo or redo did). The text
// "statusMessage" is the status line's general message (why an action was refused); showStatus
// sets it, and the skin may write it too.
class Application : public Component, public IMenuExtension, public CommandDispatcher<Application>
{
    TESSEL_DECLARE_CLASS(Application)
    TESSEL_DECLARE_COMMANDS(Application)
public:
    // `identifier` is the first segment of skin addresses and the name of the single-instance
    // semaphore; `title`, `company` and `version` become the text variables APPNAME, APPCOMPANY
    // and APPVERSION.
    Application(const std::string& identifier = "tessel", const std::string& title = "Tessel",
                const std::string& company = {}, const std::string& version = {});

    // The process-wide application, or nullptr when none exists.
    static Application* getApplication();

    const std::string& getIdentifier() const { return identifier; }
    const std::string& getAppTitle() const { return appTitle; }
    const std::string& getCompany() const { return company; }
    const std::string& getVersion() const { return version; }
    bool isSingleInstance() const { return singleInstance; }
    void setSingleInstance(bool state) { singleInstance = state; }

    // Publishes the text variables and loads "resource:///commands.xml" into the command table.
    virtual void initializeApplication();
    // Start-up hook: the base writes "Welcome to <title>!" and builds the menu bar from
    // "resource:///menubar.xml". Returns false when start-up must fail.
    virtual bool startup();
    // Shutdown hook; the base terminates the component tree below the root.
    virtual void shutdown();
    // Called when a second instance could not bring the first one forward.
    virtual void onStartupFailed() {}

    // The menu bar as built at start-up (after the menu extension ran).
    const MenuBar& getMenuBar() const { return menuBar; }
    // IMenuExtension: the base fills no placeholder.
    void extendMenu(const std::string& placeholderName, Menu& menu) override {}

    bool acceptsCommandCategory(const std::string& category) const override;

    bool getProperty(const std::string& propertyName, Variant& value) const override;
    // The history's "changed": the undo parameters follow it.
    void notify(ISubject* subject, const Message& msg) override;

    // The history this application publishes (the installed one).
    UndoHistory* getUndoHistory() const { return undoHistory.get(); }
    // Puts `text` into "statusMessage", announced also when it equals the text shown before.
    void showStatus(const std::string& text);

protected:
    ~Application() override;

    bool onQuit(const CommandMsg& msg);
    bool onAbout(const CommandMsg& msg);
    bool onNothingToShow(const CommandMsg& msg);
    bool onOpenSettingsFolder(const CommandMsg& msg);
    bool onUndo(const CommandMsg& msg);
    bool onRedo(const CommandMsg& msg);

private:
    bool singleInstance = true;
    std::string identifier;
    std::string appTitle;
    std::string company;
    std::string version;
    MenuBar menuBar;
    SharedPtr<UndoHistory> undoHistory;
    bool ownsUndoHistory = false;
    Parameter* undoParam = nullptr;
    Parameter* redoParam = nullptr;
    StringParam* undoName = nullptr;
    StringParam* redoName = nullptr;
    StringParam* undoStatus = nullptr;
    StringParam* statusMessage = nullptr;

    void undoHistoryChanged();
};

} // namespace Tessel
