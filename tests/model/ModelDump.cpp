// Prints the "Speaker" tree built from the shipped model: one line per component and one per
// parameter with path, display name, type, range, default, units, curve, flags and tag.
//     model_dump [template]

#include <cstdio>
#include <string>

#include "model/ModelParamCurve.h"
#include "model/ModelParamFormatter.h"
#include "model/UniversalComponent.h"
#include "model/UniversalComponentBuilder.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/Initializer.h"
#include "tessel/SharedPtr.h"

#ifdef MODEL_TESTS_HAVE_SPEAKER_CLASSES
#include "speaker/SpeakerClasses.h"
#endif

namespace
{

const char* typeName(int type)
{
    switch (type)
    {
    case Tessel::ParamType::kToggle:
        return "toggle";
    case Tessel::ParamType::kInteger:
        return "int";
    case Tessel::ParamType::kFloat:
        return "float";
    case Tessel::ParamType::kString:
        return "string";
    case Tessel::ParamType::kList:
        return "list";
    case Tessel::ParamType::kColor:
        return "color";
    default:
        return "?";
    }
}

std::string flagText(const Tessel::IParameter& p)
{
    using namespace Tessel::ParamFlags;
    std::string text;
    const std::pair<uint32_t, const char*> names[] = {{kPublic, "public"},     {kStorable, "storable"},
                                                      {kLinkable, "linkable"}, {kMutable, "mutable"},
                                                      {kReadOnly, "readonly"}, {kBipolar, "bipolar"}};
    for (const auto& [bit, name] : names)
    {
        if (p.isFlag(bit))
            text += (text.empty() ? "" : " ") + std::string(name);
    }
    return text;
}

void dump(const Vellaris::UniversalComponent* component, const Tessel::Component& c)
{
    const std::string path = c.getComponentPath();
    std::printf("[%s] %s (%d parameters)\n", path.c_str(), c.getClassName(), c.countParameters());
    for (int i = 0; i < c.countParameters(); ++i)
    {
        const Tessel::IParameter& p = *c.getParameterAt(i);
        auto* formatter = dynamic_cast<const Vellaris::ModelParamFormatter*>(p.getFormatter());
        auto* curve = dynamic_cast<const Vellaris::ModelParamCurve*>(p.getCurve());
        std::string range = p.getType() == Tessel::ParamType::kList
                                ? std::to_string(p.countEntries()) + " entries"
                                : p.getMin().asString() + ".." + p.getMax().asString();
        std::printf("  %-40s %-28s %-6s %-16s def=%-8s %-10s %-6s %-36s tag=%d\n",
                    c.getParameterPath(&p).c_str(),
                    component ? ("\"" + component->getDisplayName(p.getName()) + "\"").c_str() : "",
                    typeName(p.getType()), range.c_str(), p.getDefaultValue().asString().c_str(),
                    formatter ? formatter->getFormatter().name() : "-",
                    curve ? curve->getName().c_str() : "-", flagText(p).c_str(), p.getTag());
    }
    for (int i = 0; i < c.countChildren(); ++i)
        dump(Tessel::classCast<Vellaris::UniversalComponent>(c.getChild(i)), *c.getChild(i));
}

} // namespace

int main(int argc, char** argv)
{
    Tessel::HeadlessPlatform platform;
    platform.setEchoToStderr(true);
    Tessel::runInitializers();
#ifdef MODEL_TESTS_HAVE_SPEAKER_CLASSES
    Vellaris::registerSpeakerClasses();
#else
    Vellaris::UniversalComponentBuilder::getGlobal().load(Vellaris::UniversalComponentBuilder::kModelUrl);
#endif
    const std::string templateId = argc > 1 ? argv[1] : "Speaker";
    Tessel::AutoPtr<Vellaris::UniversalComponent> root = new Vellaris::UniversalComponent;
    root->setName(templateId);
    if (!Vellaris::UniversalComponentBuilder::getGlobal().buildTemplate(
            root, templateId, Vellaris::UniversalComponent::metaClass))
        return 1;
    dump(root, *root);
    return platform.getWarnings().empty() ? 0 : 2;
}
