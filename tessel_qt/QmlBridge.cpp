#include "tessel_qt/QmlBridge.h"

#include <QQmlEngine>

#include "tessel_qt/ContextMenuModel.h"
#include "tessel_qt/DragDropItems.h"
#include "tessel_qt/ListModelAdapter.h"
#include "tessel_qt/ParamBinding.h"
#include "tessel_qt/PropBinding.h"
#include "tessel_qt/SkinContext.h"
#include "tessel_qt/ViewBinding.h"
#include "tessel_qt/WindowGeometry.h"

namespace Tessel::Qt
{

namespace
{
const char* const kUri = "Tessel";
}

void registerQmlTypes()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    qmlRegisterType<ParamBinding>(kUri, 1, 0, "Param");
    qmlRegisterType<PropBinding>(kUri, 1, 0, "Prop");
    qmlRegisterType<ViewBinding>(kUri, 1, 0, "View");
    qmlRegisterType<ContextMenuModel>(kUri, 1, 0, "ContextMenuModel");
    qmlRegisterType<ListModelAdapter>(kUri, 1, 0, "TableItems");
    qmlRegisterType<DropTargetItem>(kUri, 1, 0, "DropTarget");
    qmlRegisterType<DragSourceHelper>(kUri, 1, 0, "DragSource");
    qmlRegisterType<WindowGeometry>(kUri, 1, 0, "WindowGeometry");
    qmlRegisterSingletonType<SkinContext>(kUri, 1, 0, "Skin",
                                          [](QQmlEngine* engine, QJSEngine*) -> QObject*
                                          { return getSkinContext(engine); });
}

SkinContext* getSkinContext(QQmlEngine* engine)
{
    auto* context = engine->findChild<SkinContext*>(QString(), ::Qt::FindDirectChildrenOnly);
    if (!context)
    {
        context = new SkinContext(engine);
        QQmlEngine::setObjectOwnership(context, QQmlEngine::CppOwnership);
    }
    return context;
}

} // namespace Tessel::Qt
