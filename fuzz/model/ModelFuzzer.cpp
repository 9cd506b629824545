// Feeds arbitrary bytes to the component-model loader as a document and builds every template
// it declares (and one it may not) into a fresh component. Bad documents must be reported, never
// crash, hang or leak.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/UniversalComponent.h"
#include "model/UniversalComponentBuilder.h"
#include "tessel/HeadlessPlatform.h"
#include "tessel/Initializer.h"
#include "tessel/SharedPtr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Tessel::HeadlessPlatform platform;
    static const bool initialized = Tessel::runInitializers();
    (void)initialized;
    platform.clearRecords();

    Tessel::AutoPtr<Vellaris::UniversalComponentBuilder> builder = new Vellaris::UniversalComponentBuilder;
    // Includes resolve below a folder that does not exist, so they are reported, not read.
    if (!builder->getModel().loadFromMemory(std::string(reinterpret_cast<const char*>(data), size),
                                            "/nonexistent-model-fuzz/main.xml"))
        return 0;

    std::vector<std::string> ids = {"Speaker"};
    if (Vellaris::SectionNode* templates = builder->getModel().getTemplates())
    {
        for (const auto& child : templates->getChildren())
            ids.push_back(child->getId());
    }
    for (const std::string& id : ids)
    {
        Tessel::AutoPtr<Vellaris::UniversalComponent> root = new Vellaris::UniversalComponent;
        builder->buildTemplate(root, id, Vellaris::UniversalComponent::metaClass);
    }
    return 0;
}
