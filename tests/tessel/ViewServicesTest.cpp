#include <gtest/gtest.h>

#include "tessel/Attributes.h"
#include "tessel/Component.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/ListModel.h"
#include "tessel/Style.h"
#include "tessel/SystemPower.h"

using namespace Tessel;

namespace
{
// A view a component makes of itself; it keeps its component alive.
class LevelView : public Object
{
public:
    explicit LevelView(Component* shown, std::string name) : shown(shown), name(std::move(name)) {}
    bool getProperty(const std::string& property, Variant& value) const override
    {
        if (property != "name")
            return false;
        value = Variant(name);
        return true;
    }
    SharedPtr<Component> shown;
    std::string name;
};

class Meter : public Component
{
public:
    Object* createView(const std::string& viewName, const Attributes& arguments) override
    {
        if (viewName == "MeterDisplay0")
            return new LevelView(this, viewName + arguments.getString("style"));
        return Component::createView(viewName, arguments);
    }
    using Component::createView;
};

// An extension that makes one more view for whatever it is attached to.
class HistoryViews : public Object, public IViewFactory
{
public:
    void* queryInterface(const UID& iid) override
    {
        TESSEL_QUERY_INTERFACE(IViewFactory)
        return Object::queryInterface(iid);
    }
    int retain() override { return Object::retain(); }
    int release() override { return Object::release(); }
    Object* createView(const std::string& viewName, const Attributes&) override
    {
        return viewName == "HistoryList" ? new LevelView(nullptr, "history") : nullptr;
    }
};

std::string nameOf(Object* view)
{
    AutoPtr<Object> held = view;
    Variant name;
    return held && held->getProperty("name", name) ? name.asString() : "(none)";
}
} // namespace

TEST(ViewFactory, ComponentsMakeTheirViewsByNameThroughTheInterface)
{
    AutoPtr<Meter> meter = new Meter;
    IViewFactory* factory = unknownCast<IViewFactory>(static_cast<Object*>(meter.get()));
    ASSERT_NE(factory, nullptr);
    Attributes arguments;
    arguments.setString("style", "/small");
    EXPECT_EQ(nameOf(factory->createView("MeterDisplay0", arguments)), "MeterDisplay0/small");
    EXPECT_EQ(nameOf(meter->createView("MeterDisplay0")), "MeterDisplay0");
    EXPECT_EQ(meter->createView("CurveDisplay"), nullptr);

    // A view keeps what it shows alive after the caller let go of the component.
    Object* view = meter->createView("MeterDisplay0");
    Meter* raw = meter.get();
    raw->retain();
    meter = nullptr;
    EXPECT_EQ(static_cast<LevelView*>(view)->shown.get(), raw);
    raw->release();
    view->release();
}

TEST(Extensible, ExtensionsAddViewsAndInterfacesToAComponent)
{
    AutoPtr<Meter> meter = new Meter;
    AutoPtr<HistoryViews> history = new HistoryViews;
    EXPECT_EQ(meter->getExtension<IViewFactory>(), nullptr);
    EXPECT_TRUE(meter->addExtension(history));
    EXPECT_FALSE(meter->addExtension(history)); // once
    EXPECT_FALSE(meter->addExtension(nullptr));
    EXPECT_EQ(meter->getExtension<IViewFactory>(), static_cast<IViewFactory*>(history.get()));
    // The component's own views first, then the extension's.
    EXPECT_EQ(nameOf(meter->createView("MeterDisplay0")), "MeterDisplay0");
    EXPECT_EQ(nameOf(meter->createView("HistoryList")), "history");
    EXPECT_TRUE(meter->removeExtension(history));
    EXPECT_FALSE(meter->removeExtension(history));
    EXPECT_EQ(meter->createView("HistoryList"), nullptr);
}

TEST(Style, ReadsEachKindByNameAndFallsBackForWhatItLacks)
{
    Style style;
    AutoPtr<Attributes> data = new Attributes;
    data->newAttributes("metrics")->setInt("gridX", 24);
    data->getAttributes("metrics")->setString("gridY", "wide"); // not a number
    Attributes* colors = data->newAttributes("colors");
    colors->setString("accent", "#3fa9f5");
    colors->setString("shade", "#803FA9F5");
    colors->setString("bad", "#3fa9f");
    colors->setString("worse", "#3fa9g5");
    Attributes* font = data->newAttributes("fonts")->newAttributes("textfont");
    font->setString("family", "DejaVu Sans");
    font->setInt("size", 11);
    font->setInt("bold", 1);
    data->getAttributes("fonts")->newAttributes("nofamily")->setInt("size", 11);
    data->newAttributes("images")->setString("wifiLock", "qrc:/skin/images/wifiLock.png");
    data->getAttributes("images")->setInt("deleteIcon", 3);

    EXPECT_EQ(style.load(*data), 5);
    EXPECT_DOUBLE_EQ(style.getMetric("gridX"), 24);
    EXPECT_FALSE(style.hasMetric("gridY"));
    EXPECT_DOUBLE_EQ(style.getMetric("gridY", 8), 8);
    EXPECT_EQ(style.getColor("accent"), 0xFF3FA9F5u);
    EXPECT_EQ(style.getColor("shade"), 0x803FA9F5u);
    EXPECT_EQ(style.getColor("bad", 0x12345678u), 0x12345678u);
    EXPECT_EQ(style.getColor("worse", 1u), 1u);
    Style::Font text = style.getFont("textfont");
    EXPECT_EQ(text.family, "DejaVu Sans");
    EXPECT_DOUBLE_EQ(text.size, 11);
    EXPECT_TRUE(text.bold);
    EXPECT_EQ(style.getFont("nofamily", {"Fallback", 9, false}).family, "Fallback");
    EXPECT_EQ(style.getImage("wifiLock"), "qrc:/skin/images/wifiLock.png");
    EXPECT_EQ(style.getImage("deleteIcon"), "");

    // A table that cannot be read leaves the old one.
    HeadlessPlatform platform;
    EXPECT_FALSE(style.loadFromFile("file:///nonexistent/style.json"));
    EXPECT_DOUBLE_EQ(style.getMetric("gridX"), 24);
}

namespace
{
class Presets : public ListModel
{
public:
    std::vector<std::string> names{"Club", "Hall", "Outdoor", "Stage"};
    std::vector<int> opened;
    std::vector<std::string> signals;
    Presets()
    {
        addColumn("name", "Name");
        addColumn("date", "Modified");
    }
    int countRows() const override { return int(names.size()); }
    Variant getCell(int row, int column) const override
    {
        if (row < 0 || row >= countRows())
            return {};
        return column == 0 ? Variant(names[size_t(row)]) : column == 1 ? Variant(2026) : Variant();
    }
    void cellOpened(int row, int) override { opened.push_back(row); }
    std::vector<int> selection() const
    {
        std::vector<int> rows;
        for (int i = 0; i < countRows(); ++i)
            if (isRowSelected(i))
                rows.push_back(i);
        return rows;
    }
};

class SignalLog : public Object
{
public:
    std::vector<std::string> ids;
    void notify(ISubject*, const Message& msg) override { ids.push_back(msg.getID()); }
};
} // namespace

TEST(ListModel, ClicksMoveFocusAndSelectionAsTheModifiersSay)
{
    AutoPtr<Presets> presets = new Presets;
    AutoPtr<SignalLog> log = new SignalLog;
    presets->addObserver(log);
    IListModel* model = unknownCast<IListModel>(static_cast<Object*>(presets.get()));
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->countColumns(), 2);
    EXPECT_EQ(model->getColumnTitle(1), "Modified");
    EXPECT_EQ(model->getColumnId(2), "");
    EXPECT_EQ(model->getFocusRow(), -1);

    EXPECT_TRUE(model->clickCell(1, 0, {}));
    EXPECT_EQ(presets->selection(), (std::vector<int>{1}));
    EXPECT_EQ(model->getFocusRow(), 1);
    EXPECT_TRUE(model->clickCell(3, 1, {CellClick::Kind::kSingle, CellClick::kShift}));
    EXPECT_EQ(presets->selection(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(model->getFocusRow(), 1); // the anchor stays
    EXPECT_TRUE(model->clickCell(2, 0, {CellClick::Kind::kSingle, CellClick::kControl}));
    EXPECT_EQ(presets->selection(), (std::vector<int>{1, 3}));
    EXPECT_TRUE(model->clickCell(0, 0, {}));
    EXPECT_EQ(presets->selection(), (std::vector<int>{0}));
    EXPECT_TRUE(presets->opened.empty());
    EXPECT_TRUE(model->clickCell(2, 1, {CellClick::Kind::kDouble}));
    EXPECT_EQ(presets->opened, (std::vector<int>{2}));
    EXPECT_EQ(presets->selection(), (std::vector<int>{2}));
    // Cells that are not there.
    EXPECT_FALSE(model->clickCell(4, 0, {}));
    EXPECT_FALSE(model->clickCell(0, 2, {}));
    EXPECT_FALSE(model->setFocusRow(4));
    EXPECT_EQ(std::count(log->ids.begin(), log->ids.end(), "selectionChanged"), 5);

    // Rows go away: focus and selection past the end are forgotten.
    presets->names.resize(2);
    presets->rowsChanged();
    EXPECT_EQ(model->getFocusRow(), -1);
    EXPECT_EQ(model->countSelectedRows(), 0);
    EXPECT_EQ(log->ids.back(), "changed");
    presets->removeObserver(log);
}

namespace
{
class ApplicationStandIn : public Component
{
public:
    ApplicationStandIn() : Component("Application") {}
    std::vector<std::string> heard;
    void notify(ISubject*, const Message& msg) override { heard.push_back(msg.getID()); }
};
} // namespace

TEST(SystemPower, TheApplicationHearsEachSleepAndWakeOnceAndInTurn)
{
    HeadlessPlatform platform;
    SystemPower& power = SystemPower::get();
    power.reset();
    power.willSleep(); // no application yet: nothing to remember
    EXPECT_FALSE(power.isAsleep());
    auto* application = new ApplicationStandIn;
    getRootComponent()->addChild(application);
    power.didWake(); // a wake without a sleep
    power.willSleep();
    power.willSleep(); // a second source reports the same sleep
    power.didWake();
    power.didWake();
    power.willSleep();
    power.didWake();
    EXPECT_EQ(application->heard,
              (std::vector<std::string>{"appSuspended", "appResumed", "appSuspended", "appResumed"}));
    destroyRootComponent();
    power.reset();
}
