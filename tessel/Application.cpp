#include "tessel/Application.h"

#include <filesystem>

#include "tessel/CommandParam.h"
#include "tessel/ICommandTable.h"
#include "tessel/IExecutableLoader.h"
#include "tessel/IGUI.h"
#include "tessel/ISystem.h"
#include "tessel/IWindowManager.h"
#include "tessel/Platform.h"
#include "tessel/StringParam.h"
#include "tessel/TextVariables.h"
#include "tessel/UndoHistory.h"

namespace Tessel
{

TESSEL_DEFINE_ABSTRACT_CLASS(Application, Component, "Application")

namespace
{
Application* theApplication = nullptr;

// Framework service components that live below the root beside the application: user options
// and the keyboard shortcuts. They hold nothing yet; their names are reserved for the skin.
Component* makeServiceComponent(const char* name)
{
    return new Component(name, name);
}
} // namespace

Application::Application(const std::string& identifier, const std::string& title, const std::string& company,
                         const std::string& version)
    : Component("Application", title), identifier(identifier), appTitle(title), company(company),
      version(version)
{
    theApplication = this;
    Component* root = getRootComponent();
    root->addChild(this);
    root->addChild(makeServiceComponent("Options"));
    root->addChild(makeServiceComponent("Shortcuts"));

    if (UndoHistory* installed = GetUndoHistory())
        undoHistory = retained(installed);
    else
    {
        undoHistory = adopt(new UndoHistory);
        setUndoHistory(undoHistory.get());
        ownsUndoHistory = true;
    }
    undoHistory->addObserver(this);
    ParamContainer& params = getParams();
    undoParam = params.addCommand("Edit", "Undo", "undo");
    redoParam = params.addCommand("Edit", "Redo", "redo");
    undoName = params.addString("undoName");
    redoName = params.addString("redoName");
    undoStatus = params.addString("undoStatus");
    for (Parameter* text : {undoName, redoName, undoStatus})
        text->setFlag(ParamFlags::kReadOnly, true);
    statusMessage = params.addString("statusMessage");
    undoHistoryChanged();
}

void Application::showStatus(const std::string& text)
{
    statusMessage->setValue(Variant(std::string()), false);
    statusMessage->setValue(Variant(text), true);
}

Application::~Application()
{
    undoHistory->removeObserver(this);
    if (ownsUndoHistory && GetUndoHistory() == undoHistory.get())
        setUndoHistory(nullptr);
    if (theApplication == this)
        theApplication = nullptr;
}

void Application::notify(ISubject* subject, const Message& msg)
{
    if (subject == static_cast<ISubject*>(undoHistory.get()) && msg.is(Messages::kChanged))
    {
        undoHistoryChanged();
        return;
    }
    Component::notify(subject, msg);
}

void Application::undoHistoryChanged()
{
    undoParam->enable(undoHistory->canUndo());
    redoParam->enable(undoHistory->canRedo());
    undoName->setValue(Variant(undoHistory->getUndoName()), false);
    redoName->setValue(Variant(undoHistory->getRedoName()), false);
    undoStatus->setValue(Variant(undoHistory->getStatus()), false);
}

bool Application::onUndo(const CommandMsg& msg)
{
    if (msg.checkOnly)
        return undoHistory->canUndo();
    return undoHistory->undo();
}

bool Application::onRedo(const CommandMsg& msg)
{
    if (msg.checkOnly)
        return undoHistory->canRedo();
    return undoHistory->redo();
}

Application* Application::getApplication()
{
    return theApplication;
}

void Application::initializeApplication()
{
    setTextVariable("APPNAME", appTitle);
    setTextVariable("APPCOMPANY", company);
    setTextVariable("APPVERSION", version);
    GetCommandTable()->load("resource:///commands.xml");
}

bool Application::startup()
{
    std::string welcome = "Welcome to " + appTitle + "!\n";
    DebugPrintCString(welcome.c_str());
    menuBar.load("resource:///menubar.xml", MenuBar::isDebugBuild());
    menuBar.extend(*this);
    return true;
}

void Application::shutdown()
{
    getRootComponent()->terminate();
}

bool Application::acceptsCommandCategory(const std::string& category) const
{
    if (category == "File" || category == "Help" || category == "Application" || category == "Edit")
        return true;
    return Component::acceptsCommandCategory(category);
}

bool Application::getProperty(const std::string& propertyName, Variant& value) const
{
    if (propertyName == "identifier")
    {
        value = identifier;
        return true;
    }
    if (propertyName == "version")
    {
        value = version;
        return true;
    }
    return Component::getProperty(propertyName, value);
}

bool Application::onQuit(const CommandMsg& msg)
{
    if (!msg.checkOnly)
        GetGUI()->quit(0);
    return true;
}

bool Application::onAbout(const CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    return GetWindowManager()->openWindow("AboutApplication", static_cast<Component*>(this), true);
}

// Help contents, context help, the website and the options dialogs have nothing to show in this
// program; the commands exist so that key bindings and scripts find them.
bool Application::onNothingToShow(const CommandMsg& msg)
{
    return true;
}

bool Application::onOpenSettingsFolder(const CommandMsg& msg)
{
    if (msg.checkOnly)
        return true;
    std::string folder = GetSystem()->getLocation(Location::kSettings);
    if (folder.empty())
        return false;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return GetExecutableLoader()->start("xdg-open", {folder});
}

TESSEL_BEGIN_COMMANDS(Application)
TESSEL_COMMAND("File", "Quit", Application::onQuit)
TESSEL_COMMAND("Help", "About", Application::onAbout)
TESSEL_COMMAND("Help", "Contents", Application::onNothingToShow)
TESSEL_COMMAND("Help", "Context Help", Application::onNothingToShow)
TESSEL_COMMAND("Help", "Keyboard Shortcuts", Application::onNothingToShow)
TESSEL_COMMAND("Help", "Website", Application::onNothingToShow)
TESSEL_COMMAND("Help", "Open Settings Folder", Application::onOpenSettingsFolder)
TESSEL_COMMAND("Application", "Options", Application::onNothingToShow)
TESSEL_COMMAND("Application", "Keyboard Shortcuts", Application::onNothingToShow)
TESSEL_COMMAND("Edit", "Undo", Application::onUndo)
TESSEL_COMMAND("Edit", "Redo", Application::onRedo)
TESSEL_END_COMMANDS(Application, Component)

} // namespace Tessel
