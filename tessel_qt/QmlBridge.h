#pragma once

class QQmlEngine;

namespace Tessel::Qt
{

class SkinContext;

// The QML bridge between the skin and the component tree. After registerQmlTypes() a form can
//     import Tessel 1.0
// and use:
//   Param { address: "://roomdesk/<component path>/<parameter>" }   one parameter (ParamBinding.h)
//   Prop  { address: "://roomdesk/<component path>/<property>" }    one property (PropBinding.h)
//   View  { component: "://roomdesk/<component path>"; name: "MeterDisplay0" }
//                                                                   a view the component makes
//   ContextMenuModel { component: "://roomdesk/<component path>" }  entries of a context menu
//   TableItems { address: "://roomdesk/<component path>" }         a list model's rows and columns
//   DropTarget, DragSource                                          drags between views
//   Skin                                                            text variables, commands, menus,
//                                                                   the style table
// Addresses may be relative to a `base` address (for delegates that show one item of a list).
// An address that does not resolve logs "Unresolved skin address: ..." as a QML warning; the skin
// tests fail on any.
void registerQmlTypes();

// The "Skin" singleton of `engine` (made on first use, owned by the engine).
SkinContext* getSkinContext(QQmlEngine* engine);

} // namespace Tessel::Qt
