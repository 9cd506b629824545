#pragma once

// Names of the JSON messages and of their members.

namespace Vellaris::LK::Message
{

// Message ids (member "id").
constexpr const char* kSubscribe = "Subscribe";
constexpr const char* kSubscriptionReply = "SubscriptionReply";
constexpr const char* kSynchronize = "Synchronize";
constexpr const char* kUnsubscribe = "Unsubscribe";
constexpr const char* kSubscriptionLost = "SubscriptionLost";
constexpr const char* kUpdateMenu = "UpdateMenu";
constexpr const char* kInvokeMenu = "InvokeMenu";
constexpr const char* kRequestNetworkChange = "requestNetworkChange";

// Members.
constexpr const char* kId = "id";
constexpr const char* kUrl = "url";
constexpr const char* kClientName = "clientName";
constexpr const char* kClientType = "clientType";
constexpr const char* kClientDescription = "clientDescription";
constexpr const char* kClientIdentifier = "clientIdentifier";
constexpr const char* kParamName = "paramName";
constexpr const char* kCommandCategory = "commandCategory";
constexpr const char* kCommandName = "commandName";
// "UpdateMenu" from a speaker: the menu's entries, each an object with "title", "commandCategory"
// and "commandName" (texts).
constexpr const char* kMenuItems = "menuItems";
constexpr const char* kTitle = "title";
constexpr const char* kRequestNetworkSSID = "requestNetworkSSID";
constexpr const char* kRequestNetworkPw = "requestNetworkPw";

// Members of a "Synchronize" component object.
constexpr const char* kValues = "values";
constexpr const char* kStrings = "strings";
constexpr const char* kRanges = "ranges";
constexpr const char* kStates = "states";
constexpr const char* kChildren = "children";
// Members of a "ranges" entry.
constexpr const char* kMin = "min";
constexpr const char* kMax = "max";
constexpr const char* kDef = "def";
constexpr const char* kUnits = "units";
constexpr const char* kCurve = "curve";
constexpr const char* kMid = "mid";

} // namespace Vellaris::LK::Message
